#include "core/ArbStore.h"
#include "core/files/WaveFileReader.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace arb;

namespace
{

const std::string kMaker = "Copyright: Korvane Technologies\r\nFile Format:2.0\r\n";
const std::string kAgilent = "Copyright: Agilent Technologies\r\nFile Format:1.0\r\nx\r\ny\r\n";

struct Parsed {
    WaveReadStatus header;
    WaveFileHeader h;
    std::vector<float> values;
    WaveReadStatus last; // status that ended the values
};

// Reads the header, then values until a status other than Ok.
Parsed Parse(const std::string &text)
{
    TextLineSource lines(text);
    WaveFileReader reader(lines);
    Parsed p{};
    p.header = reader.readHeader(p.h);
    if (p.header != WaveReadStatus::Ok)
        return p;
    for (;;) {
        float v = -99.0f;
        p.last = reader.nextValue(v);
        if (p.last == WaveReadStatus::Ok || p.last == WaveReadStatus::OutOfRange)
            p.values.push_back(v);
        if (p.last != WaveReadStatus::Ok)
            return p;
    }
}

WaveReadStatus HeaderOf(const std::string &text)
{
    return Parse(text).header;
}

} // namespace

TEST(WaveFileReader, PlainForm)
{
    const Parsed p = Parse("4\r\n0.5\r\n-0.5\r\n1\r\n-1\r\n");
    ASSERT_EQ(p.header, WaveReadStatus::Ok);
    EXPECT_EQ(p.h.form, WaveFileForm::Plain);
    EXPECT_EQ(p.h.count, 4.0f);
    EXPECT_TRUE(p.h.name.empty());
    EXPECT_EQ(p.values, (std::vector<float>{0.5f, -0.5f, 1.0f, -1.0f}));
    EXPECT_EQ(p.last, WaveReadStatus::EndOfFile);

    EXPECT_EQ(Parse(" 12 \r\n").h.count, 12.0f);
    EXPECT_EQ(Parse("1000.5\n").h.count, 1000.5f);
}

TEST(WaveFileReader, LineEndsCrLfLfAndNone)
{
    const std::vector<float> want{0.25f, -0.75f};
    EXPECT_EQ(Parse("2\r\n0.25\r\n-0.75\r\n").values, want);
    EXPECT_EQ(Parse("2\n0.25\n-0.75\n").values, want);
    EXPECT_EQ(Parse("2\n0.25\r\n-0.75").values, want);
    // A lone CR does not end a line.
    EXPECT_EQ(HeaderOf("2\r0.25\r"), WaveReadStatus::FormatError);
    // A byte-order mark before the first line is not part of it.
    EXPECT_EQ(Parse("\xEF\xBB\xBF"
                    "2\r\n0.25\r\n-0.75\r\n")
                  .values,
              want);
}

TEST(WaveFileReader, MakerForm)
{
    const Parsed p = Parse(kMaker + "Data Points:4\r\nArb Name:SINE1\r\n0\r\n0.5\r\n1\r\n-1\r\n");
    ASSERT_EQ(p.header, WaveReadStatus::Ok);
    EXPECT_EQ(p.h.form, WaveFileForm::Maker20);
    EXPECT_EQ(p.h.count, 4.0f);
    EXPECT_EQ(p.h.name, "SINE1");
    EXPECT_EQ(p.values, (std::vector<float>{0.0f, 0.5f, 1.0f, -1.0f}));

    // Blanks around the count do no harm; the name keeps its blanks.
    const Parsed q = Parse(kMaker + "Data Points: 8 \r\nArb Name: AB \r\n");
    ASSERT_EQ(q.header, WaveReadStatus::Ok);
    EXPECT_EQ(q.h.count, 8.0f);
    EXPECT_EQ(q.h.name, " AB ");
    EXPECT_EQ(Parse(kMaker + "Data Points:8\r\nArb Name:\r\n").h.name, "");
}

TEST(WaveFileReader, MakerFormRefusals)
{
    // A "Data:" line after the name is read as the first value.
    const Parsed data = Parse(kMaker + "Data Points:4\r\nArb Name:X\r\nData:\r\n0.5\r\n");
    EXPECT_EQ(data.header, WaveReadStatus::Ok);
    EXPECT_TRUE(data.values.empty());
    EXPECT_EQ(data.last, WaveReadStatus::FormatError);

    EXPECT_EQ(
        HeaderOf("Copyright: Korvane Technologies\r\nFile Format:1.0\r\nData Points:4\r\nArb Name:X\r\n"),
        WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kMaker + "Data points:4\r\nArb Name:X\r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kMaker + "Data Points:four\r\nArb Name:X\r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kMaker + "Data Points:4\r\nName:X\r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kMaker + " Data Points:4\r\nArb Name:X\r\n"), WaveReadStatus::FormatError);
    // Trailing text after the fixed lines.
    EXPECT_EQ(HeaderOf("Copyright: Korvane Technologies \r\nFile Format:2.0\r\n"),
              WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf("Copyright: Korvane Technologies\r\nFile Format:2.0 \r\n"),
              WaveReadStatus::FormatError);
    // One letter in another case: none of the forms.
    EXPECT_EQ(
        HeaderOf("Copyright: korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\nArb Name:X\r\n"),
        WaveReadStatus::FormatError);
    // The header ends early.
    EXPECT_EQ(HeaderOf(kMaker + "Data Points:4\r\n"), WaveReadStatus::EndOfFile);
    EXPECT_EQ(HeaderOf(""), WaveReadStatus::EndOfFile);
}

TEST(WaveFileReader, AgilentForm)
{
    const Parsed p = Parse("Copyright: Agilent Technologies, 2004\r\nFile Format:1.0\r\n\r\nany\r\n"
                           "Number of Data Points: 5\r\nData:\r\n16384\r\n-32768\r\n32767\r\n32768\r\n0\r\n");
    ASSERT_EQ(p.header, WaveReadStatus::Ok);
    EXPECT_EQ(p.h.form, WaveFileForm::Agilent10);
    EXPECT_EQ(p.h.count, 5.0f);
    EXPECT_EQ(p.values, (std::vector<float>{0.5f, -1.0f, 0.999969482421875f, 1.0f, 0.0f}));

    // 32769 lies beyond +1; the point is still delivered for the caller to store.
    const Parsed over = Parse(kAgilent + "Data Points:4\r\nData:\r\n32769\r\n");
    EXPECT_EQ(over.last, WaveReadStatus::OutOfRange);
    EXPECT_EQ(over.values, (std::vector<float>{static_cast<float>(32769.0 / 32768.0)}));
    EXPECT_EQ(Parse(kAgilent + "Data Points:4\r\nData:\r\n-32769\r\n").last, WaveReadStatus::OutOfRange);
    // The first "Data Points:" counts.
    EXPECT_EQ(Parse(kAgilent + "Data Points:4 Data Points:9\r\nData:\r\n").header,
              WaveReadStatus::FormatError);
    EXPECT_EQ(Parse(kAgilent + "xData Points:9\r\nData:\r\n").h.count, 9.0f);
}

TEST(WaveFileReader, AgilentFormRefusals)
{
    EXPECT_EQ(
        HeaderOf(
            "Copyright: Agilent Technologies\r\nFile Format:2.0\r\na\r\nb\r\nData Points:4\r\nData:\r\n"),
        WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kAgilent + "Points:4\r\nData:\r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kAgilent + "Data Points:4\r\nData: \r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kAgilent + "Data Points:4\r\ndata:\r\n"), WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf("Copyright: Agilent technologies\r\nFile Format:1.0\r\n"),
              WaveReadStatus::FormatError);
    EXPECT_EQ(HeaderOf(kAgilent + "Data Points:4\r\n"), WaveReadStatus::EndOfFile);
}

TEST(WaveFileReader, SavedFormIsRefused)
{
    EXPECT_EQ(HeaderOf("ArbNo0\r\n1000\r\n 0.500\r\n"), WaveReadStatus::FormatError);
}

TEST(WaveFileReader, ValueChecks)
{
    const Parsed p = Parse("9\r\n1\r\n-1\r\n 0.5 \r\n1.0001\r\n");
    EXPECT_EQ(p.values, (std::vector<float>{1.0f, -1.0f, 0.5f, 1.0001f}));
    EXPECT_EQ(p.last, WaveReadStatus::OutOfRange);

    // Not finite in single precision: refused without a value.
    for (const char *bad : {"1e39", "-1e39", "abc", "", "0,5"}) {
        const Parsed q = Parse(std::string("4\r\n") + bad + "\r\n");
        EXPECT_TRUE(q.values.empty()) << bad;
        EXPECT_EQ(q.last, WaveReadStatus::FormatError) << bad;
    }
    const Parsed huge = Parse(kAgilent + "Data Points:4\r\nData:\r\n1e300\r\n");
    EXPECT_TRUE(huge.values.empty());
    EXPECT_EQ(huge.last, WaveReadStatus::FormatError);
    // Large but finite: a point outside the range.
    const Parsed big = Parse("4\r\n5e30\r\n");
    EXPECT_EQ(big.last, WaveReadStatus::OutOfRange);
}

TEST(WaveFileReader, CountLimits)
{
    EXPECT_TRUE(IsOpenableCount(4.0f));
    EXPECT_TRUE(IsOpenableCount(16384.0f));
    EXPECT_TRUE(IsOpenableCount(1000.5f));
    EXPECT_FALSE(IsOpenableCount(3.0f));
    EXPECT_FALSE(IsOpenableCount(3.9f));
    EXPECT_FALSE(IsOpenableCount(16384.5f));
    EXPECT_FALSE(IsOpenableCount(16385.0f));
    EXPECT_FALSE(IsOpenableCount(-5.0f));
    EXPECT_FALSE(IsOpenableCount(std::numeric_limits<float>::infinity()));

    EXPECT_EQ(CombinableCount(3.0f), 3);
    EXPECT_EQ(CombinableCount(16384.0f), 16384);
    EXPECT_EQ(CombinableCount(16384.5f), 16384); // halves to the even neighbour
    EXPECT_EQ(CombinableCount(2.5f), 2);
    EXPECT_EQ(CombinableCount(0.0f), 0);
    EXPECT_FALSE(CombinableCount(16385.0f).has_value());
    EXPECT_FALSE(CombinableCount(16385.5f).has_value());
    EXPECT_FALSE(CombinableCount(std::numeric_limits<float>::infinity()).has_value());
}

TEST(WaveFileReader, ReadPointsStopsAtTheFirstBadLine)
{
    ArbStore s;
    for (int i = 0; i < 6; ++i)
        s.ArbData[i] = 0.125f;
    {
        TextLineSource lines("6\n0.5\n1.5\n0.25\n");
        WaveFileReader r(lines);
        WaveFileHeader h;
        ASSERT_EQ(r.readHeader(h), WaveReadStatus::Ok);
        EXPECT_EQ(ReadPoints(r, s, 6), WaveReadStatus::FormatError);
    }
    // The number outside the range is stored; the later points keep theirs.
    EXPECT_EQ(s.ArbData[0], 0.5f);
    EXPECT_EQ(s.ArbData[1], 1.5f);
    EXPECT_EQ(s.ArbData[2], 0.125f);
    {
        TextLineSource lines("6\n-0.5\n1e39\n");
        WaveFileReader r(lines);
        WaveFileHeader h;
        ASSERT_EQ(r.readHeader(h), WaveReadStatus::Ok);
        EXPECT_EQ(ReadPoints(r, s, 6), WaveReadStatus::FormatError);
    }
    EXPECT_EQ(s.ArbData[0], -0.5f);
    EXPECT_EQ(s.ArbData[1], 1.5f); // not overwritten by the overflow
    {
        TextLineSource lines("6\n0.75\n");
        WaveFileReader r(lines);
        WaveFileHeader h;
        ASSERT_EQ(r.readHeader(h), WaveReadStatus::Ok);
        EXPECT_EQ(ReadPoints(r, s, 6), WaveReadStatus::EndOfFile);
    }
    EXPECT_EQ(s.ArbData[0], 0.75f);
    EXPECT_EQ(s.ArbData[1], 1.5f);
}

TEST(WaveFileReader, ReadPointsNeverPassesTheBuffer)
{
    std::string text = "99999\n";
    for (int i = 0; i < kArbBufferSize + 10; ++i)
        text += "0.5\n";
    ArbStore s;
    TextLineSource lines(text);
    WaveFileReader r(lines);
    WaveFileHeader h;
    ASSERT_EQ(r.readHeader(h), WaveReadStatus::Ok);
    EXPECT_EQ(ReadPoints(r, s, 99999), WaveReadStatus::Ok);
    EXPECT_EQ(s.ArbData[kArbBufferSize - 1], 0.5f);
}

namespace
{

// Combines the values of text into store as the add and subtract commands do.
WaveReadStatus Combine(ArbStore &s, const std::string &text, WaveCombine op)
{
    TextLineSource lines(text);
    WaveFileReader r(lines);
    WaveFileHeader h;
    const WaveReadStatus st = r.readHeader(h);
    if (st != WaveReadStatus::Ok)
        return st;
    const int m = *CombinableCount(h.count);
    s.ArbLength = std::max(s.ArbLength, static_cast<float>(m));
    return CombinePoints(r, s, m, s.LastIndex(), op);
}

ArbStore Filled(std::vector<float> values)
{
    ArbStore s;
    s.ArbLength = static_cast<float>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        s.ArbData[i] = values[i];
    return s;
}

std::vector<float> Points(const ArbStore &s, int n)
{
    return std::vector<float>(s.ArbData.begin(), s.ArbData.begin() + n);
}

} // namespace

TEST(WaveFileReader, CombineEqualShorterLonger)
{
    const std::string file = "3\n0.5\n-0.5\n1\n";
    ArbStore add = Filled({0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_EQ(Combine(add, file, WaveCombine::Add), WaveReadStatus::Ok);
    EXPECT_EQ(Points(add, 4), (std::vector<float>{0.5f, 0.0f, 0.75f, 0.25f}));
    ArbStore sub = Filled({0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_EQ(Combine(sub, file, WaveCombine::Subtract), WaveReadStatus::Ok);
    EXPECT_EQ(Points(sub, 4), (std::vector<float>{0.0f, 0.5f, -0.25f, 0.25f}));

    // A file longer than the waveform: the buffer's old values take part.
    ArbStore longer = Filled({0.5f, 0.5f, 0.5f, 0.5f});
    longer.ArbData[4] = 0.25f;
    EXPECT_EQ(Combine(longer, "6\n0\n0\n0\n0\n0.75\n-1\n", WaveCombine::Add), WaveReadStatus::Ok);
    EXPECT_EQ(longer.ArbLength, 6.0f);
    EXPECT_EQ(Points(longer, 6), (std::vector<float>{0.25f, 0.25f, 0.25f, 0.25f, 0.5f, -0.5f}));

    const std::string same = "4\n0.5\n-0.25\n0.125\n1\n";
    ArbStore a = Filled({0.5f, -0.25f, 0.125f, 1.0f});
    EXPECT_EQ(Combine(a, same, WaveCombine::Add), WaveReadStatus::Ok);
    EXPECT_EQ(Points(a, 4), (std::vector<float>{0.5f, -0.25f, 0.125f, 1.0f}));
    ArbStore d = Filled({0.5f, -0.25f, 0.125f, 1.0f});
    EXPECT_EQ(Combine(d, same, WaveCombine::Subtract), WaveReadStatus::Ok);
    EXPECT_EQ(Points(d, 4), (std::vector<float>(4, 0.0f)));

    // The 1.0 form combines its scaled codes.
    ArbStore g = Filled({0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_EQ(Combine(g, kAgilent + "Data Points:2\r\nData:\r\n16384\r\n-32768\r\n", WaveCombine::Add),
              WaveReadStatus::Ok);
    EXPECT_EQ(Points(g, 4), (std::vector<float>{0.5f, -0.25f, 0.25f, 0.25f}));
}

TEST(WaveFileReader, CombineStopsAtTheFirstBadLine)
{
    for (const char *bad : {"1.5", "x", "1e39"}) {
        ArbStore s = Filled({0.5f, 0.5f, 0.5f, 0.5f});
        EXPECT_EQ(Combine(s, std::string("4\n0.5\n") + bad + "\n0.5\n0.5\n", WaveCombine::Add),
                  WaveReadStatus::FormatError)
            << bad;
        EXPECT_EQ(Points(s, 4), (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f})) << bad;
    }
    ArbStore s = Filled({0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_EQ(Combine(s, "4\n-0.5\n", WaveCombine::Add), WaveReadStatus::EndOfFile);
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.0f, 0.5f, 0.5f, 0.5f}));
}

namespace
{

// A device that fails after its first bytes.
class FailingDevice final : public QIODevice
{
  public:
    explicit FailingDevice(QByteArray head) : head_(std::move(head)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }

  protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (head_.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>(maxSize, head_.size());
        std::memcpy(data, head_.constData(), static_cast<std::size_t>(n));
        head_.remove(0, static_cast<qsizetype>(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

  private:
    QByteArray head_;
};

} // namespace

TEST(WaveFileReader, DeviceLines)
{
    QByteArray bytes = "4\r\n0.5\n\r\n-0.25";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    DeviceLineSource lines(buffer);
    std::string line;
    std::vector<std::string> got;
    while (lines.readLine(line) == LineRead::Line)
        got.push_back(line);
    EXPECT_EQ(got, (std::vector<std::string>{"4", "0.5", "", "-0.25"}));
    EXPECT_EQ(lines.readLine(line), LineRead::End);
}

TEST(WaveFileReader, DeviceLongLinesAreCut)
{
    QByteArray bytes(static_cast<qsizetype>(DeviceLineSource::kMaxLineBytes) * 2 + 10, '7');
    bytes += "\r\n0.5\r\n";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    DeviceLineSource lines(buffer);
    std::string line;
    ASSERT_EQ(lines.readLine(line), LineRead::Line);
    EXPECT_EQ(line.size(), DeviceLineSource::kMaxLineBytes);
    ASSERT_EQ(lines.readLine(line), LineRead::Line);
    EXPECT_EQ(line, "0.5");
}

TEST(WaveFileReader, DeviceReadErrors)
{
    FailingDevice device("4\r\n0.5\r\n");
    DeviceLineSource lines(device);
    WaveFileReader reader(lines);
    WaveFileHeader h;
    ASSERT_EQ(reader.readHeader(h), WaveReadStatus::Ok);
    float v = 0.0f;
    EXPECT_EQ(reader.nextValue(v), WaveReadStatus::Ok);
    EXPECT_EQ(v, 0.5f);
    EXPECT_EQ(reader.nextValue(v), WaveReadStatus::ReadError);

    FailingDevice empty("");
    DeviceLineSource none(empty);
    WaveFileReader r2(none);
    EXPECT_EQ(r2.readHeader(h), WaveReadStatus::ReadError);
}

TEST(WaveFileReader, DeviceLinesAcrossBlocksMatchTheTextLines)
{
    // Lines of varying length, CR LF split across the block edges.
    QByteArray bytes;
    for (int i = 0; i < 30000; ++i)
        bytes += QByteArray(i % 13, 'x') + QByteArray::number(i) + (i % 3 ? "\r\n" : "\n");
    bytes += "last";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    DeviceLineSource device(buffer);
    TextLineSource text(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    std::string a;
    std::string b;
    std::string last;
    int lines = 0;
    for (;;) {
        const LineRead ra = device.readLine(a);
        const LineRead rb = text.readLine(b);
        ASSERT_EQ(ra, rb) << lines;
        if (ra != LineRead::Line)
            break;
        ASSERT_EQ(a, b) << lines;
        ++lines;
        last = a;
    }
    EXPECT_EQ(lines, 30001);
    EXPECT_EQ(last, "last");
}
