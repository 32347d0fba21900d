#include "core/ArbStore.h"
#include "core/files/WaveFileReader.h"
#include "core/files/WaveFileWriter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace arb;

namespace
{

ArbStore Filled(std::vector<float> values)
{
    ArbStore s;
    s.ArbLength = static_cast<float>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        s.ArbData[i] = values[i];
    return s;
}

std::vector<std::string> ValueLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return std::vector<std::string>(lines.begin() + std::min<std::size_t>(2, lines.size()), lines.end());
}

} // namespace

TEST(WaveFileWriter, ScalesToFullScaleInPlace)
{
    ArbStore s = Filled({0.5f, -0.25f, 0.1f, 0.0f});
    s.ArbData[4] = 0.4f; // beyond the length: left alone
    ScaleToFullScale(s);
    EXPECT_EQ(s.ArbScale, 2.0);
    EXPECT_EQ(s.ArbMaxValue, 0.5f); // the extremes found before scaling
    EXPECT_EQ(s.ArbMinValue, -0.25f);
    EXPECT_EQ(s.ArbData[0], 1.0f);
    EXPECT_EQ(s.ArbData[1], -0.5f);
    EXPECT_EQ(s.ArbData[2], 0.2f);
    EXPECT_EQ(s.ArbData[4], 0.4f);
    const std::string text = SavedWaveText(s, "ArbNo0", "4");
    EXPECT_EQ(text, "ArbNo0\r\n4\r\n 1.000\r\n-0.500\r\n 0.200\r\n 0.000\r\n");
}

TEST(WaveFileWriter, ScaleFactorChoice)
{
    // A waveform that reaches full scale anywhere is left as it is.
    for (const float peak : {1.0f, -1.0f, 1.5f}) {
        ArbStore s = Filled({0.25f, peak, 0.0f, -0.5f});
        s.ArbScale = 7.0;
        ScaleToFullScale(s);
        EXPECT_EQ(s.ArbScale, 1.0) << peak;
        EXPECT_EQ(s.ArbData[0], 0.25f);
    }
    ArbStore zero = Filled({0.0f, 0.0f, 0.0f, 0.0f});
    zero.ArbScale = 7.0;
    ScaleToFullScale(zero);
    EXPECT_EQ(zero.ArbScale, 1.0);
    EXPECT_EQ(ValueLines(SavedWaveText(zero, "A", "4")), std::vector<std::string>(4, " 0.000"));

    // All positive: the minimum stays 0 and the maximum sets the factor.
    ArbStore pos = Filled({0.2f, 0.6f, 0.4f, 0.3f});
    ScaleToFullScale(pos);
    EXPECT_EQ(pos.ArbMinValue, 0.0f);
    EXPECT_EQ(pos.ArbMaxValue, 0.6f);
    EXPECT_EQ(pos.ArbScale, 1.0 / static_cast<double>(0.6f));
    EXPECT_EQ(ValueLines(SavedWaveText(pos, "A", "4"))[1], " 1.000");

    // A tie of magnitudes takes |min|; a larger negative peak sets the factor.
    ArbStore tie = Filled({0.5f, -0.5f, 0.25f, 0.0f});
    ScaleToFullScale(tie);
    EXPECT_EQ(tie.ArbScale, 2.0);
    ArbStore neg = Filled({0.1f, -0.8f, 0.0f, 0.0f});
    ScaleToFullScale(neg);
    EXPECT_EQ(neg.ArbScale, 1.0 / static_cast<double>(0.8f));
    EXPECT_EQ(neg.ArbData[1], -1.0f);
}

TEST(WaveFileWriter, LinesFollowTheFieldsAndTheLength)
{
    ArbStore s = Filled({1.0f, -1.0f, 0.5f, -0.25f, 0.0f});
    // The length field's text is written as it stands, even if it differs.
    const std::string text = SavedWaveText(s, "名字 x", "1000");
    EXPECT_EQ(text.rfind("名字 x\r\n1000\r\n", 0), 0u);
    EXPECT_EQ(ValueLines(text), (std::vector<std::string>{" 1.000", "-1.000", " 0.500", "-0.250", " 0.000"}));
    EXPECT_EQ(SavedWaveText(s, "", "").substr(0, 4), "\r\n\r\n");

    // Wide values keep every sign and digit.
    ArbStore wide = Filled({12.3f, -9.9996f, 123.4567f, 0.0f});
    EXPECT_EQ(ValueLines(SavedWaveText(wide, "W", "4")),
              (std::vector<std::string>{"12.300", "-10.000", "123.457", " 0.000"}));
}

TEST(WaveFileWriter, SavedFileReadsBackAsPlainForm)
{
    ArbStore s;
    s.ArbLength = 1000;
    for (int i = 0; i < 1000; ++i)
        s.ArbData[i] = static_cast<float>((i % 37) - 18) / 23.0f;
    ScaleToFullScale(s);
    const std::string saved = SavedWaveText(s, "ArbNo0", "1000");
    {
        TextLineSource lines(saved);
        WaveFileReader reader(lines);
        WaveFileHeader h;
        EXPECT_EQ(reader.readHeader(h), WaveReadStatus::FormatError);
    }
    // With its first two lines replaced by a count it is a plain file.
    const std::string plain = "1000\r\n" + saved.substr(saved.find("\r\n", saved.find("\r\n") + 2) + 2);
    TextLineSource lines(plain);
    WaveFileReader reader(lines);
    WaveFileHeader h;
    ASSERT_EQ(reader.readHeader(h), WaveReadStatus::Ok);
    ASSERT_EQ(h.count, 1000.0f);
    ArbStore back;
    ASSERT_EQ(ReadPoints(reader, back, 1000), WaveReadStatus::Ok);
    for (int i = 0; i < 1000; ++i)
        EXPECT_NEAR(back.ArbData[i], s.ArbData[i], 0.0005f + 1e-6f) << i;
}
