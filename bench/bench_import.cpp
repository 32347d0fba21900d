// Importing a large "time,value" table: 10 million lines (about 250 MB)
// written into a temporary folder, read and resampled to 16384 points,
// against the floor measured in the same run: a bare loop that reads the
// same file in large blocks and converts every number with std::from_chars
// into a sum. The ratio of the two medians is the figure that counts; on a
// machine shared with other work, the median ratio of the pairs measured in
// turn (BM_ImportOverFloorInPairs) is the steadier one.
#include "bench/BenchMain.h"
#include "bench/LargeTable.h"
#include "bench/PairedRatio.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{

using arb::bench::ImportLargeTable;
using arb::bench::LargeTablePath;
constexpr qint64 kBlock = arb::bench::kLargeTableBlock;

// The floor: the file read in large blocks, every number converted with
// std::from_chars into a sum.
double FloorPass(const QString &path, std::vector<char> &buf)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    double sum = 0.0;
    std::size_t carry = 0;
    for (;;) {
        const qint64 n = f.read(buf.data() + carry, kBlock);
        if (n <= 0)
            break;
        const char *p = buf.data();
        const char *end = buf.data() + carry + n;
        // Numbers up to the last line end; the rest is carried over.
        const char *stop = end;
        while (stop > p && stop[-1] != '\n')
            --stop;
        while (p < stop) {
            double v = 0.0;
            const auto r = std::from_chars(p, stop, v);
            if (r.ec == std::errc()) {
                sum += v;
                p = r.ptr;
            } else {
                ++p;
            }
        }
        carry = static_cast<std::size_t>(end - stop);
        std::memmove(buf.data(), stop, carry);
    }
    return sum;
}

void BM_FromCharsFloor(benchmark::State &state)
{
    const QString path = LargeTablePath();
    std::vector<char> buf(static_cast<std::size_t>(kBlock) + 256);
    for (auto _ : state)
        benchmark::DoNotOptimize(FloorPass(path, buf));
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportAndResample(benchmark::State &state)
{
    const QString path = LargeTablePath();
    for (auto _ : state) {
        if (!ImportLargeTable(path)) {
            state.SkipWithError("the table was not read");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_ImportAndResample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor and the import in turn, in alternating order, so that a load
// that comes and goes on the machine falls on both alike: the median of the
// pairs' time ratios (import / floor), in wall time and in process CPU time.
void BM_ImportOverFloorInPairs(benchmark::State &state)
{
    const QString path = LargeTablePath();
    std::vector<char> buf(static_cast<std::size_t>(kBlock) + 256);
    arb::bench::MeasureInPairs(
        state, [&] { return ImportLargeTable(path); },
        [&] {
            benchmark::DoNotOptimize(FloorPass(path, buf));
            return true;
        },
        "the table was not read");
}
BENCHMARK(BM_ImportOverFloorInPairs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(9);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
