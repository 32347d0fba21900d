// The import reader on arbitrary bytes, as "导入波形" drives it. Built into
// test_core, it runs the corpus in tests/data/import_fuzz and a bounded run
// of random mutations, read in random block sizes and compared with a
// reading of the whole buffer at once; built with -DARB_FUZZER and
// -fsanitize=fuzzer it is a libFuzzer target:
//
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -DARB_FUZZER -I. -fPIC
//       $(pkg-config --cflags Qt6Core) tests/core/import/test_import_fuzz.cpp core/import/*.cpp
//       core/Resample.cpp core/files/WaveFileReader.cpp core/files/WaveNumber.cpp core/ArbStore.cpp
//       $(pkg-config --libs Qt6Core) -o fuzz_import
//   (one command line), then
//   mkdir -p fuzz-work && ./fuzz_import -max_total_time=60 -max_len=4096 fuzz-work tests/data/import_fuzz

#include "core/ArbStore.h"
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

using namespace arb;

ImportReadResult Read(const QByteArray &source, std::size_t block)
{
    QByteArray bytes = source;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    ImportReadOptions o;
    o.blockBytes = block;
    o.maxLineBytes = 512;
    o.maxValues = 4096;
    return ReadImport(device, o);
}

bool SameBits(const std::vector<float> &a, const std::vector<float> &b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

bool SameTable(const ImportTable &a, const ImportTable &b)
{
    if (a.form != b.form || a.columnNames != b.columnNames || a.shortCodes != b.shortCodes ||
        a.name != b.name || a.fields.size() != b.fields.size() || a.columns.size() != b.columns.size())
        return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].key != b.fields[i].key || a.fields[i].value != b.fields[i].value)
            return false;
    for (std::size_t c = 0; c < a.columns.size(); ++c)
        if (!SameBits(a.columns[c], b.columns[c]))
            return false;
    return true;
}

// The same answer, fault and line included, bit for bit, other reading too.
bool SameReading(const ImportReadResult &a, const ImportReadResult &b)
{
    if (a.error != b.error || a.line != b.line || a.expected != b.expected || a.found != b.found ||
        a.decimalMark != b.decimalMark || !SameTable(a.table, b.table) || !a.otherMark != !b.otherMark)
        return false;
    return !a.otherMark || SameReading(*a.otherMark, *b.otherMark);
}

// The rules of one reading: a fault names its line where the message does,
// and a table is sound and shapes into points within ±1 with the dialog's
// defaults and with a resampling.
bool SoundReading(const ImportReadResult &r)
{
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

// Reads the bytes in blocks of block and at once; false when the two differ
// or a rule of the result was broken.
bool FuzzImport(const std::uint8_t *data, std::size_t size, std::size_t block)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ImportReadResult r = Read(bytes, block);
    if (!SameReading(r, Read(bytes, size + 16)))
        return false;
    if (r.otherMark &&
        (r.otherMark->otherMark || r.otherMark->decimalMark == r.decimalMark || !SoundReading(*r.otherMark)))
        return false;
    return SoundReading(r);
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
    // The large files, which the mutations leave out.
    const QDir large(CorpusDir() + QStringLiteral("/large"));
    ASSERT_GE(large.entryList(QDir::Files).size(), 2);
    for (const QString &name : large.entryList(QDir::Files, QDir::Name))
        for (const std::size_t block : {std::size_t{7}, std::size_t{4096}})
            EXPECT_TRUE(Fuzz(FileBytes(large.filePath(name)), block)) << name.toStdString();
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
