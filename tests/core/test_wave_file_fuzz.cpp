// The file reader on arbitrary bytes, as the open and the add commands drive
// it. Built into test_core, it runs the corpus in tests/data/wave_fuzz and a
// bounded run of random mutations; built with -DARB_FUZZER and
// -fsanitize=fuzzer it is a libFuzzer target:
//
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -DARB_FUZZER -I. -fPIC
//       $(pkg-config --cflags Qt6Core) tests/core/test_wave_file_fuzz.cpp core/WaveFileReader.cpp
//       core/WaveNumber.cpp core/ArbStore.cpp $(pkg-config --libs Qt6Core) -o fuzz_wave_file
//   (one command line), then
//   mkdir -p fuzz-work && ./fuzz_wave_file -max_total_time=60 -max_len=4096 fuzz-work tests/data/wave_fuzz
//   (new inputs go to fuzz-work; the seeds stay as they are)

#include "core/ArbStore.h"
#include "core/WaveFileReader.h"

#include <QBuffer>
#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace
{

using namespace arb;

bool PointsFinite(const ArbStore &s)
{
    for (const float v : s.ArbData)
        if (!std::isfinite(v))
            return false;
    return true;
}

// Opens and combines the bytes through one line source; false when a rule
// of the store was broken.
bool DriveReader(WaveLineSource &openLines, WaveLineSource &addLines)
{
    {
        ArbStore s;
        WaveFileReader reader(openLines);
        WaveFileHeader h;
        if (reader.readHeader(h) == WaveReadStatus::Ok && IsOpenableCount(h.count)) {
            s.ArbLength = h.count;
            ReadPoints(reader, s, RoundHalfEven(static_cast<double>(h.count)));
            if (!(s.ArbLength >= kMinArbLength && s.ArbLength <= kMaxArbLength))
                return false;
        }
        if (!PointsFinite(s))
            return false;
    }
    ArbStore s;
    for (float &v : s.ArbData)
        v = 0.75f;
    WaveFileReader reader(addLines);
    WaveFileHeader h;
    if (reader.readHeader(h) == WaveReadStatus::Ok) {
        if (const auto m = CombinableCount(h.count)) {
            s.ArbLength = std::max(s.ArbLength, static_cast<float>(*m));
            if (s.ArbLength > kMaxArbLength)
                return false;
            CombinePoints(reader, s, *m, s.LastIndex(), WaveCombine::Subtract);
        }
    }
    for (const float v : s.ArbData)
        if (!(v >= -1.0f && v <= 1.0f))
            return false;
    return true;
}

bool FuzzWaveFile(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TextLineSource a(text);
    TextLineSource b(text);
    if (!DriveReader(a, b))
        return false;
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer da(&bytes);
    QBuffer db(&bytes);
    da.open(QIODevice::ReadOnly);
    db.open(QIODevice::ReadOnly);
    DeviceLineSource la(da);
    DeviceLineSource lb(db);
    return DriveReader(la, lb);
}

} // namespace

#ifdef ARB_FUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!FuzzWaveFile(data, size))
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
    return arb::test::TestDataDir("wave_fuzz");
}

using arb::test::FileBytes;

bool Fuzz(const QByteArray &b)
{
    return FuzzWaveFile(reinterpret_cast<const std::uint8_t *>(b.constData()),
                        static_cast<std::size_t>(b.size()));
}

} // namespace

TEST(WaveFileFuzz, CorpusKeepsTheStoreSound)
{
    const QStringList names = QDir(CorpusDir()).entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 10) << CorpusDir().toStdString();
    for (const QString &name : names)
        EXPECT_TRUE(Fuzz(FileBytes(CorpusDir() + QLatin1Char('/') + name))) << name.toStdString();
}

TEST(WaveFileFuzz, MutatedCorpusKeepsTheStoreSound)
{
    arb::test::CorpusMutator corpus(
        CorpusDir(), 20240611, {"\r\n", "\n", "-", ".", "E", "e-", "9", "0", " ", "1e39", ":", "\r"}, false);
    ASSERT_FALSE(corpus.names().isEmpty());
    for (int round = 0; round < 3000; ++round) {
        const QByteArray b = corpus.next();
        ASSERT_TRUE(Fuzz(b)) << b.left(200).toStdString();
    }
}

#endif
