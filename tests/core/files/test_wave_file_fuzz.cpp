// The file reader on arbitrary bytes, as the open and the add commands drive
// it, through its two line sources (text in memory, and a device read in
// blocks), which must give the same result. Built into test_core, it runs
// the corpus in tests/data/wave_fuzz and a bounded run of random mutations;
// built with -DARB_FUZZER and -fsanitize=fuzzer it is a libFuzzer target:
//
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -DARB_FUZZER -I. -fPIC
//       $(pkg-config --cflags Qt6Core) tests/core/files/test_wave_file_fuzz.cpp core/files/WaveFileReader.cpp
//       core/files/WaveNumber.cpp core/ArbStore.cpp $(pkg-config --libs Qt6Core) -o fuzz_wave_file
//   (one command line), then
//   mkdir -p fuzz-work && ./fuzz_wave_file -max_total_time=60 -max_len=4096 fuzz-work tests/data/wave_fuzz
//   (new inputs go to fuzz-work; the seeds stay as they are)

#include "core/ArbStore.h"
#include "core/files/WaveFileReader.h"

#include <QBuffer>
#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
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

// What the open and the add commands made of the bytes.
struct Outcome {
    bool sound = true; // no rule of the store broken
    WaveReadStatus openHeader = WaveReadStatus::Ok;
    WaveFileHeader header;
    WaveReadStatus openPoints = WaveReadStatus::Ok;
    ArbStore opened;
    WaveReadStatus addHeader = WaveReadStatus::Ok;
    WaveReadStatus addPoints = WaveReadStatus::Ok;
    ArbStore added;
};

bool SameStore(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(&a.ArbLength, &b.ArbLength, sizeof a.ArbLength) == 0 &&
           std::memcmp(a.ArbData.data(), b.ArbData.data(), sizeof a.ArbData) == 0;
}

bool SameOutcome(const Outcome &a, const Outcome &b)
{
    return a.openHeader == b.openHeader && a.header.form == b.header.form &&
           std::memcmp(&a.header.count, &b.header.count, sizeof a.header.count) == 0 &&
           a.header.name == b.header.name && a.openPoints == b.openPoints && SameStore(a.opened, b.opened) &&
           a.addHeader == b.addHeader && a.addPoints == b.addPoints && SameStore(a.added, b.added);
}

// Opens and combines the bytes through one kind of line source, checking
// the rules of the store.
Outcome DriveReader(WaveLineSource &openLines, WaveLineSource &addLines)
{
    Outcome o;
    {
        ArbStore &s = o.opened;
        WaveFileReader reader(openLines);
        o.openHeader = reader.readHeader(o.header);
        if (o.openHeader == WaveReadStatus::Ok && IsOpenableCount(o.header.count)) {
            s.ArbLength = o.header.count;
            o.openPoints = ReadPoints(reader, s, RoundHalfEven(static_cast<double>(o.header.count)));
            o.sound = s.ArbLength >= kMinArbLength && s.ArbLength <= kMaxArbLength;
        }
        o.sound = o.sound && PointsFinite(s);
    }
    ArbStore &s = o.added;
    for (float &v : s.ArbData)
        v = 0.75f;
    WaveFileReader reader(addLines);
    WaveFileHeader h;
    o.addHeader = reader.readHeader(h);
    if (o.addHeader == WaveReadStatus::Ok) {
        if (const auto m = CombinableCount(h.count)) {
            s.ArbLength = std::max(s.ArbLength, static_cast<float>(*m));
            o.sound = o.sound && s.ArbLength <= kMaxArbLength;
            o.addPoints = CombinePoints(reader, s, *m, s.LastIndex(), WaveCombine::Subtract);
        }
    }
    for (const float v : s.ArbData)
        o.sound = o.sound && v >= -1.0f && v <= 1.0f;
    return o;
}

// false when a rule of the store was broken or the device, read in blocks
// of block, gave another result than the text in memory.
bool FuzzWaveFile(const std::uint8_t *data, std::size_t size, std::size_t block)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TextLineSource a(text);
    TextLineSource b(text);
    const auto fromText = std::make_unique<Outcome>(DriveReader(a, b));
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer da(&bytes);
    QBuffer db(&bytes);
    da.open(QIODevice::ReadOnly);
    db.open(QIODevice::ReadOnly);
    DeviceLineSource la(da, block);
    DeviceLineSource lb(db, block);
    const auto fromDevice = std::make_unique<Outcome>(DriveReader(la, lb));
    return fromText->sound && fromDevice->sound && SameOutcome(*fromText, *fromDevice);
}

} // namespace

#ifdef ARB_FUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!FuzzWaveFile(data, size, 1 + size % 61))
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

bool Fuzz(const QByteArray &b, std::size_t block)
{
    return FuzzWaveFile(reinterpret_cast<const std::uint8_t *>(b.constData()),
                        static_cast<std::size_t>(b.size()), block);
}

} // namespace

TEST(WaveFileFuzz, CorpusKeepsTheStoreSound)
{
    const QStringList names = QDir(CorpusDir()).entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 10) << CorpusDir().toStdString();
    for (const QString &name : names)
        for (const std::size_t block : {std::size_t{1}, std::size_t{3}, std::size_t{64} * 1024})
            EXPECT_TRUE(Fuzz(FileBytes(CorpusDir() + QLatin1Char('/') + name), block)) << name.toStdString();
}

TEST(WaveFileFuzz, MutatedCorpusKeepsTheStoreSound)
{
    arb::test::CorpusMutator corpus(
        CorpusDir(), 20240611, {"\r\n", "\n", "-", ".", "E", "e-", "9", "0", " ", "1e39", ":", "\r"}, false);
    ASSERT_FALSE(corpus.names().isEmpty());
    for (int round = 0; round < 3000; ++round) {
        const QByteArray b = corpus.next();
        const std::size_t block = 1 + corpus.random()() % 40;
        ASSERT_TRUE(Fuzz(b, block)) << block << ": " << b.left(200).toStdString();
    }
}

#endif
