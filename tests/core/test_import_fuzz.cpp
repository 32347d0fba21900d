// The import reader on arbitrary bytes, as "导入波形" drives it. Built into
// test_core, it runs the corpus in tests/data/import_fuzz and a bounded run
// of random mutations, read in random block sizes; built with -DARB_FUZZER
// and -fsanitize=fuzzer it is a libFuzzer target:
//
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -DARB_FUZZER -I. -fPIC
//       $(pkg-config --cflags Qt6Core) tests/core/test_import_fuzz.cpp core/Import*.cpp core/Resample.cpp
//       core/WaveFileReader.cpp core/WaveNumber.cpp core/ArbStore.cpp $(pkg-config --libs Qt6Core)
//       -o fuzz_import
//   (one command line), then
//   mkdir -p fuzz-work && ./fuzz_import -max_total_time=60 -max_len=4096 fuzz-work tests/data/import_fuzz

#include "core/ArbStore.h"
#include "core/ImportReader.h"
#include "core/ImportShaping.h"

#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{

using namespace arb;

// Reads the bytes and shapes them with the dialog's defaults and with a
// resampling; false when a rule of the result was broken.
bool FuzzImport(const std::uint8_t *data, std::size_t size, std::size_t block)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    ImportReadOptions o;
    o.blockBytes = block;
    o.maxLineBytes = 512;
    o.maxValues = 4096;
    const ImportReadResult r = ReadImport(device, o);
    switch (r.error) {
    case ImportError::None: break;
    case ImportError::NotANumber:
    case ImportError::NotFinite:
    case ImportError::BeyondSingle:
    case ImportError::ColumnCount:
    case ImportError::LineTooLong:
    case ImportError::TooManyColumns:
    case ImportError::TooManyValues: return r.line > 0; // a message names the line
    default: return r.line == 0;
    }
    const ImportTable &t = r.table;
    if (t.columnCount() < 1 || t.rows() < 4 || static_cast<std::int64_t>(t.rows()) * t.columnCount() > 4096)
        return false;
    for (const auto &c : t.columns) {
        if (c.size() != t.rows())
            return false;
        for (const float v : c)
            if (!std::isfinite(v))
                return false;
    }
    ImportChoices choices = DefaultImportChoices(t);
    for (const int points : {choices.points, kMinArbLength, 1000}) {
        choices.points = points;
        for (const auto scaling :
             {ImportScaling::Keep, ImportScaling::PeakNormalise, ImportScaling::FullScale}) {
            choices.scaling = scaling;
            const ImportedPoints p = ShapeImport(t, choices);
            if (p.points.size() != static_cast<std::size_t>(points))
                return false;
            for (const float v : p.points)
                if (!(v >= -1.0f && v <= 1.0f))
                    return false;
        }
    }
    return true;
}

} // namespace

#ifdef ARB_FUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!FuzzImport(data, size, 1 + size % 61))
        std::abort();
    return 0;
}

#else

#include "tests/support/CorpusMutator.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

QString CorpusDir()
{
    return arb::test::TestDataDir("import_fuzz");
}

using arb::test::FileBytes;

bool Fuzz(const QByteArray &b, std::size_t block)
{
    return FuzzImport(reinterpret_cast<const std::uint8_t *>(b.constData()),
                      static_cast<std::size_t>(b.size()), block);
}

} // namespace

TEST(ImportFuzz, CorpusGivesSoundResults)
{
    const QStringList names = QDir(CorpusDir()).entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 30) << CorpusDir().toStdString();
    for (const QString &name : names)
        for (const std::size_t block : {std::size_t{1}, std::size_t{5}, std::size_t{4} << 20})
            EXPECT_TRUE(Fuzz(FileBytes(CorpusDir() + QLatin1Char('/') + name), block)) << name.toStdString();
}

TEST(ImportFuzz, MutatedCorpusGivesSoundResults)
{
    arb::test::CorpusMutator corpus(CorpusDir(), 20240612,
                                    {"\r\n",  "\n", "\r",           "-", ".",    ",",   ";", "\t",
                                     " ",     "E",  "e-",           "9", "1e39", "nan", ":", "#",
                                     "Data:", "\"", "\xEF\xBB\xBF", "+", "inf"},
                                    true);
    ASSERT_FALSE(corpus.names().isEmpty());
    for (int round = 0; round < 10000; ++round) {
        const QByteArray b = corpus.next();
        const std::size_t block = 1 + corpus.random()() % 40;
        ASSERT_TRUE(Fuzz(b, block)) << block << ": " << b.left(200).toStdString();
    }
}

#endif
