#include "core/ArbStore.h"
#include "core/NumericReply.h"
#include "core/StandardWaves.h"
#include "core/WaveTransforms.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace arb;

namespace
{

ArbStore WithPoints(const std::vector<float> &values)
{
    ArbStore s;
    s.ArbData.fill(7.0f);
    s.ArbLength = static_cast<float>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        s.ArbData[i] = values[i];
    return s;
}

std::vector<float> Points(const ArbStore &s, int count)
{
    return std::vector<float>(s.ArbData.begin(), s.ArbData.begin() + count);
}

} // namespace

TEST(WaveTransforms, MirrorYReversesOddAndEvenLengths)
{
    ArbStore s = WithPoints({1, 2, 3, 4, 5});
    MirrorY(s);
    EXPECT_EQ(Points(s, 6), (std::vector<float>{5, 4, 3, 2, 1, 7}));
    s = WithPoints({1, 2, 3, 4});
    MirrorY(s);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{4, 3, 2, 1, 7}));
    MirrorY(s);
    EXPECT_EQ(Points(s, 4), (std::vector<float>{1, 2, 3, 4}));
}

TEST(WaveTransforms, MirrorXTwiceRestores)
{
    ArbStore s;
    s.ArbLength = 8;
    FillSine(s);
    const std::vector<float> before = Points(s, 9);
    MirrorX(s);
    EXPECT_EQ(s.ArbData[2], -before[2]);
    EXPECT_EQ(s.ArbData[8], before[8]);
    MirrorX(s);
    EXPECT_EQ(Points(s, 9), before);
}

TEST(WaveTransforms, DivideClampsSmallDivisors)
{
    ArbStore s = WithPoints({0.5f, -1.0f, 0.25f, 2.0f});
    DivideBy(s, 0.5f);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{0.5f, -1.0f, 0.25f, 2.0f, 7.0f}));
    DivideBy(s, -0.5f);
    EXPECT_EQ(Points(s, 4), (std::vector<float>{-0.5f, 1.0f, -0.25f, -2.0f}));
    DivideBy(s, 4.0f);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{-0.125f, 0.25f, -0.0625f, -0.5f, 7.0f}));
    DivideBy(s, 3.0f);
    EXPECT_EQ(s.ArbData[1], static_cast<float>(0.25 / 3.0));
}

TEST(WaveTransforms, DivideByZeroLeavesPointsFinite)
{
    ArbStore s = WithPoints({0.5f, -1.0f, 0.0f, 1.0f});
    DivideBy(s, 0.0f);
    DivideBy(s, -0.0f);
    DivideBy(s, std::numeric_limits<float>::infinity());
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.5f, -1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(EffectiveDivisor(0.0f), 1.0f);
    EXPECT_EQ(EffectiveDivisor(-3.0f), -3.0f);
}

TEST(WaveTransforms, MultiplyClipsToUnitRange)
{
    ArbStore s;
    s.ArbLength = 201;
    FillSine(s);
    const std::vector<float> sine = Points(s, 201);
    MultiplyBy(s, 2.0f);
    for (int i = 0; i < 201; ++i) {
        const float want = std::fabs(sine[i]) > 0.5f ? std::copysign(1.0f, sine[i]) : 2.0f * sine[i];
        EXPECT_EQ(s.ArbData[i], want) << i;
    }

    s = WithPoints({0.5f, 3.0f, -2.0f, 1e38f});
    MultiplyBy(s, 1.0f); // Cancel: values outside -1..1 are clipped
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.5f, 1.0f, -1.0f, 1.0f}));
    s = WithPoints({0.5f, 3.0f, -2.0f, 1e38f});
    MultiplyBy(s, 0.3f); // clamped to 1
    EXPECT_EQ(s.ArbData[0], 0.5f);
    MultiplyBy(s, -1e38f); // overflow saturates, then clips
    EXPECT_EQ(Points(s, 5), (std::vector<float>{-1.0f, -1.0f, 1.0f, -1.0f, 7.0f}));
    MultiplyBy(s, 0.0f);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f, 7.0f}));
}

TEST(WaveTransforms, NormaliseScalesToPeakOne)
{
    ArbStore s = WithPoints({0.25f, -0.5f, 0.1f, 0.5f});
    ASSERT_TRUE(Normalise(s));
    EXPECT_EQ(Points(s, 5), (std::vector<float>{0.5f, -1.0f, static_cast<float>(0.1f / 0.5), 1.0f, 7.0f}));

    s = WithPoints({2.0f, -4.0f, 1.0f, 0.0f});
    ASSERT_TRUE(Normalise(s));
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.5f, -1.0f, 0.25f, 0.0f}));
}

TEST(WaveTransforms, NormaliseLeavesZeroAndUnitPeak)
{
    ArbStore s = WithPoints({0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_FALSE(Normalise(s));
    s = WithPoints({0.3f, -1.0f, 0.2f, 0.0f});
    EXPECT_FALSE(Normalise(s));
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.3f, -1.0f, 0.2f, 0.0f}));
}

TEST(WaveTransforms, FrequencyMultiplyKeepsEveryKthPoint)
{
    ArbStore s;
    s.ArbLength = 1000;
    for (int i = 0; i <= 16384; ++i)
        s.ArbData[i] = static_cast<float>(i + 1);
    ASSERT_TRUE(FrequencyMultiply(s, 3));
    for (int copy = 0; copy < 3; ++copy)
        for (int i = 0; i < 333; ++i)
            ASSERT_EQ(s.ArbData[copy * 333 + i], static_cast<float>(3 * i + 1)) << copy << " " << i;
    EXPECT_EQ(s.ArbData[999], 0.0f);
    EXPECT_EQ(s.ArbData[1000], 1001.0f);
}

TEST(WaveTransforms, FrequencyMultiplyEdgeFactors)
{
    ArbStore s = WithPoints({1, 2, 3, 4, 5});
    EXPECT_FALSE(FrequencyMultiply(s, 0));
    EXPECT_FALSE(FrequencyMultiply(s, -2));
    ASSERT_TRUE(FrequencyMultiply(s, 1));
    EXPECT_EQ(Points(s, 6), (std::vector<float>{1, 2, 3, 4, 5, 7}));
    ASSERT_TRUE(FrequencyMultiply(s, 2)); // n = 2, one point left over
    EXPECT_EQ(Points(s, 6), (std::vector<float>{1, 3, 1, 3, 0, 7}));
    s = WithPoints({1, 2, 3, 4, 5});
    ASSERT_TRUE(FrequencyMultiply(s, 32767)); // k > N: all zero
    EXPECT_EQ(Points(s, 6), (std::vector<float>{0, 0, 0, 0, 0, 7}));
}

TEST(WaveTransforms, FrequencyMultiplyTwoPeriodsOfSine)
{
    ArbStore s;
    s.ArbLength = 200;
    FillSine(s);
    const std::vector<float> one = Points(s, 200);
    FrequencyMultiply(s, 2);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(s.ArbData[i], one[2 * i]);
        EXPECT_EQ(s.ArbData[100 + i], one[2 * i]);
    }
}

TEST(WaveTransforms, LengthsBeyondBufferStayInside)
{
    ArbStore s;
    s.ArbLength = 1e9f;
    s.ArbData.fill(0.5f);
    MirrorY(s);
    MirrorX(s);
    EXPECT_TRUE(Normalise(s));
    EXPECT_TRUE(FrequencyMultiply(s, 2));
    EXPECT_EQ(s.ArbData[16384], -1.0f);
    s.ArbLength = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(FrequencyMultiply(s, 3));
}

TEST(NumericReply, BlankPaddedNumbersAndFallbacks)
{
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("  2.5 ")), 2.5f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("-0.5")), -0.5f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("1e3")), 1000.0f);
    EXPECT_EQ(ReplyFactorSingle(QString()), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("abc")), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("2x")), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("1e39")), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("inf")), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("nan")), 1.0f);
    EXPECT_FALSE(ParseReplySingle(QStringLiteral("   ")).has_value());
}

TEST(NumericReply, LocaleDecimalCommaButNeverGroups)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("2,5")), 2.5f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("2.5")), 2.5f);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("2,5")), 1.0f);
    EXPECT_EQ(ReplyFactorSingle(QStringLiteral("1,000")), 1.0f);
    QLocale::setDefault(saved);
}

TEST(NumericReply, FactorRoundsHalfToEvenWithin16Bits)
{
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral(" 3 ")), 3);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("-2")), -2);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("32767.4")), 32767);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("32767.5")), 1);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("-32769")), 1);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("1e10")), 1);
    EXPECT_EQ(ReplyFactorInt16(QString()), 1);
    EXPECT_EQ(ReplyFactorInt16(QStringLiteral("two")), 1);
}
