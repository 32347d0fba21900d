#pragma once

// The import benchmark's table, shared by the benchmarks that read it: a
// "time,value" table of 10 million lines (about 250 MB) written once per run
// into a temporary folder, and the import as the command runs it.
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cmath>
#include <vector>

namespace arb::bench
{

constexpr int kLargeTableLines = 10'000'000;
constexpr qint64 kLargeTableBlock = qint64{4} << 20;

inline QTemporaryDir &LargeTableFolder()
{
    static QTemporaryDir dir;
    return dir;
}

// The table, written once per run.
inline QString LargeTablePath()
{
    static const QString path = [] {
        const QString p = LargeTableFolder().filePath(QStringLiteral("table.csv"));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write("time,value\n");
        std::vector<char> block;
        block.reserve(kLargeTableBlock + 64);
        for (int i = 0; i < kLargeTableLines; ++i) {
            char line[64];
            auto r = std::to_chars(line, line + 32, i * 1e-7, std::chars_format::fixed, 7);
            *r.ptr++ = ',';
            r = std::to_chars(r.ptr, line + 62, std::sin(i * 0.001) * 0.9, std::chars_format::fixed, 12);
            *r.ptr++ = '\n';
            block.insert(block.end(), line, r.ptr);
            if (block.size() >= static_cast<std::size_t>(kLargeTableBlock)) {
                f.write(block.data(), static_cast<qint64>(block.size()));
                block.clear();
            }
        }
        f.write(block.data(), static_cast<qint64>(block.size()));
        return p;
    }();
    return path;
}

// The import as the command runs it: read, first choices, shaped to 16384
// points. False when the table was not read whole.
inline bool ImportLargeTable(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const ImportReadResult r = ReadImport(f);
    if (r.error != ImportError::None || r.table.rows() != static_cast<std::size_t>(kLargeTableLines))
        return false;
    const ImportedPoints p = ShapeImport(r.table, DefaultImportChoices(r.table));
    benchmark::DoNotOptimize(p.points.data());
    return true;
}

} // namespace arb::bench
