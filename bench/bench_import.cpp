// Importing a large "time,value" table: 10 million lines (about 250 MB)
// written into a temporary folder, read and resampled to 16384 points,
// against the floor measured in the same run: a bare loop that reads the
// same file in large blocks and converts every number with std::from_chars
// into a sum. The ratio of the two medians is the figure that counts.
#include "bench/BenchMain.h"
#include "core/ImportReader.h"
#include "core/ImportShaping.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cmath>
#include <cstring>
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

void BM_FromCharsFloor(benchmark::State &state)
{
    const QString path = TablePath();
    std::vector<char> buf(static_cast<std::size_t>(kBlock) + 256);
    for (auto _ : state) {
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
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportAndResample(benchmark::State &state)
{
    const QString path = TablePath();
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const arb::ImportReadResult r = arb::ReadImport(f);
        if (r.error != arb::ImportError::None || r.table.rows() != static_cast<std::size_t>(kLines)) {
            state.SkipWithError("the table was not read");
            break;
        }
        const arb::ImportedPoints p = arb::ShapeImport(r.table, arb::DefaultImportChoices(r.table));
        benchmark::DoNotOptimize(p.points.data());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_ImportAndResample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
