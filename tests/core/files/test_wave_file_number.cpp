#include "core/files/WaveNumber.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using arb::FormatWaveCount;
using arb::ParseWaveDouble;
using arb::ParseWaveSingle;

TEST(WaveNumber, AcceptsTheDecimalSpellings)
{
    const std::pair<const char *, float> cases[] = {
        {"12", 12.0f},  {" 12 ", 12.0f},   {"\t12\t", 12.0f}, {"+0.5", 0.5f},      {"-0.25", -0.25f},
        {".5", 0.5f},   {"-.5", -0.5f},    {"1.", 1.0f},      {"1.5E+3", 1500.0f}, {"25e-2", 0.25f},
        {"2E1", 20.0f}, {"  -1  ", -1.0f}, {"0007", 7.0f},    {"1000.5", 1000.5f},
    };
    for (const auto &[text, value] : cases) {
        const auto v = ParseWaveSingle(text);
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(*v, value) << text;
    }
}

TEST(WaveNumber, RefusesEverythingElse)
{
    const char *cases[] = {"",      " ",      "-",     ".",    "+.",  "1e",   "1e+",   "E5",
                           "1,5",   "1 000",  "- 1",   "0x10", "inf", "nan",  "1.2.3", "12a",
                           "Data:", "ArbNo0", "1e5.0", "--1",  "1-",  "\r12", "١٢"};
    for (const char *text : cases) {
        EXPECT_FALSE(ParseWaveSingle(text).has_value()) << '"' << text << '"';
        EXPECT_FALSE(ParseWaveDouble(text).has_value()) << '"' << text << '"';
    }
    // An embedded NUL is not the end of the field.
    EXPECT_FALSE(ParseWaveSingle(std::string("1\0"
                                             "2",
                                             3))
                     .has_value());
}

TEST(WaveNumber, SinglePrecisionIsConvertedOnceFromTheDecimalText)
{
    // Nearest float to the decimal, not the float nearest to the double.
    EXPECT_EQ(*ParseWaveSingle("0.1"), 0.1f);
    EXPECT_EQ(*ParseWaveSingle("1.00000001"), 1.0f);
    EXPECT_EQ(*ParseWaveDouble("0.1"), 0.1);
}

TEST(WaveNumber, OutOfRangeBecomesInfinityOrZero)
{
    const auto big = ParseWaveSingle("1e39");
    ASSERT_TRUE(big.has_value());
    EXPECT_TRUE(std::isinf(*big) && *big > 0);
    const auto negBig = ParseWaveSingle("-123456789012345678901234567890123456789012");
    ASSERT_TRUE(negBig.has_value());
    EXPECT_TRUE(std::isinf(*negBig) && *negBig < 0);
    EXPECT_TRUE(std::isinf(*ParseWaveDouble("1e400")));
    EXPECT_TRUE(std::isinf(*ParseWaveSingle("0.001e99999999999999999999")));

    const auto tiny = ParseWaveSingle("-1e-50");
    ASSERT_TRUE(tiny.has_value());
    EXPECT_EQ(*tiny, 0.0f);
    EXPECT_TRUE(std::signbit(*tiny));
    EXPECT_EQ(*ParseWaveSingle("1000e-99999999999999999999"), 0.0f);
    EXPECT_EQ(*ParseWaveDouble("0.0000001e-400"), 0.0);
    // Representable in double, out of range in single.
    EXPECT_EQ(*ParseWaveDouble("1e39"), 1e39);
}

TEST(WaveNumber, CountsInTheirShortestForm)
{
    EXPECT_EQ(FormatWaveCount(1000.0f), "1000");
    EXPECT_EQ(FormatWaveCount(1000.5f), "1000.5");
    EXPECT_EQ(FormatWaveCount(16384.0f), "16384");
    EXPECT_EQ(FormatWaveCount(10000.0f), "10000");
    EXPECT_EQ(FormatWaveCount(4.1f), "4.1");
    EXPECT_EQ(FormatWaveCount(*ParseWaveSingle("1000.1")), "1000.1");
}
