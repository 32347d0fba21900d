// Importing a large "time,value" table: 10 million lines (about 250 MB)
// written into a temporary folder, read and resampled to 16384 points,
// against the floor measured in the same run: a bare loop that reads the
// same file in large blocks and converts every number with std::from_chars
// into a sum. The ratio of the two medians is the figure that counts; on a
// machine shared with other work, the median ratio of the pairs measured in
// turn (BM_ImportOverFloorInPairs) is the steadier one.
#include "bench/BenchMain.h"
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

namespace
{

constexpr int kLines = 10'000'000;
constexpr qint64 kBlock = qint64{4} << 20;

QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The table, written once per run.
QString TablePath()
{
    static const QString path = [] {
        const QString p = Folder().filePath(QStringLiteral("table.csv"));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write("time,value\n");
        std::vector<char> block;
        block.reserve(kBlock + 64);
        for (int i = 0; i < kLines; ++i) {
            char line[64];
            auto r = std::to_chars(line, line + 32, i * 1e-7, std::chars_format::fixed, 7);
            *r.ptr++ = ',';
            r = std::to_chars(r.ptr, line + 62, std::sin(i * 0.001) * 0.9, std::chars_format::fixed, 12);
            *r.ptr++ = '\n';
            block.insert(block.end(), line, r.ptr);
            if (block.size() >= static_cast<std::size_t>(kBlock)) {
                f.write(block.data(), static_cast<qint64>(block.size()));
                block.clear();
            }
        }
        f.write(block.data(), static_cast<qint64>(block.size()));
        return p;
    }();
    return path;
}

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

// The import as the command runs it: read, first choices, shaped to 16384
// points. False when the table was not read whole.
bool ImportPass(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const arb::ImportReadResult r = arb::ReadImport(f);
    if (r.error != arb::ImportError::None || r.table.rows() != static_cast<std::size_t>(kLines))
        return false;
    const arb::ImportedPoints p = arb::ShapeImport(r.table, arb::DefaultImportChoices(r.table));
    benchmark::DoNotOptimize(p.points.data());
    return true;
}

void BM_FromCharsFloor(benchmark::State &state)
{
    const QString path = TablePath();
    std::vector<char> buf(static_cast<std::size_t>(kBlock) + 256);
    for (auto _ : state)
        benchmark::DoNotOptimize(FloorPass(path, buf));
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportAndResample(benchmark::State &state)
{
    const QString path = TablePath();
    for (auto _ : state) {
        if (!ImportPass(path)) {
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
    const QString path = TablePath();
    std::vector<char> buf(static_cast<std::size_t>(kBlock) + 256);
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        double w[2] = {};
        double c[2] = {};
        for (int k = 0; k < 2; ++k) {
            const bool isImport = k == static_cast<int>(wall.size() % 2);
            const auto w0 = std::chrono::steady_clock::now();
            const std::clock_t c0 = std::clock();
            if (isImport) {
                if (!ImportPass(path)) {
                    state.SkipWithError("the table was not read");
                    return;
                }
            } else {
                benchmark::DoNotOptimize(FloorPass(path, buf));
            }
            c[isImport] = static_cast<double>(std::clock() - c0);
            w[isImport] = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        }
        wall.push_back(w[1] / w[0]);
        cpu.push_back(c[1] / c[0]);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    state.counters["ratio"] = median(wall);
    state.counters["cpu_ratio"] = median(cpu);
}
BENCHMARK(BM_ImportOverFloorInPairs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(9);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
