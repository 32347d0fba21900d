#include "core/ArbStore.h"
#include "core/StandardWaves.h"

#include <gtest/gtest.h>
#include <vector>

using namespace arb;

namespace
{

std::vector<float> Points(const ArbStore &s, int count)
{
    return std::vector<float>(s.ArbData.begin(), s.ArbData.begin() + count);
}

ArbStore WithLength(float n)
{
    ArbStore s;
    s.ArbLength = n;
    s.ArbData.fill(7.0f); // marks points a shape must not touch
    return s;
}

} // namespace

TEST(StandardWaves, SineUsesSinglePrecisionCircleConstant)
{
    ArbStore s = WithLength(4);
    ASSERT_TRUE(FillSine(s));
    EXPECT_EQ(Points(s, 4), (std::vector<float>{0.0f, 1.0f, 2.5351817e-06f, -1.0f}));

    s = WithLength(8);
    FillSine(s);
    EXPECT_EQ(s.ArbData[1], 0.70710635f);
    EXPECT_EQ(s.ArbData[3], 0.70710814f);
    EXPECT_NE(s.ArbData[1], s.ArbData[3]);
}

TEST(StandardWaves, CosineNearZeroPointsAreNotZero)
{
    ArbStore s = WithLength(4);
    ASSERT_TRUE(FillCosine(s));
    EXPECT_EQ(s.ArbData[0], 1.0f);
    EXPECT_NEAR(s.ArbData[1], 1.268e-6, 1e-9);
    EXPECT_EQ(s.ArbData[2], -1.0f);
    EXPECT_NEAR(s.ArbData[3], -3.803e-6, 1e-9);
}

TEST(StandardWaves, SquareNegativeHalfLongerForOddLength)
{
    ArbStore s = WithLength(4);
    FillSquare(s);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{1, 1, -1, -1, 7}));
    s = WithLength(5);
    FillSquare(s);
    EXPECT_EQ(Points(s, 6), (std::vector<float>{1, 1, -1, -1, -1, 7}));
}

TEST(StandardWaves, TriangleOddSymmetricEvenDoublePeak)
{
    ArbStore s = WithLength(4);
    ASSERT_TRUE(FillTriangle(s));
    EXPECT_EQ(Points(s, 4), (std::vector<float>{-1, 1, 1, -1}));
    s = WithLength(5);
    FillTriangle(s);
    EXPECT_EQ(Points(s, 5), (std::vector<float>{-1, 0, 1, 0, -1}));
    s = WithLength(6);
    FillTriangle(s);
    EXPECT_EQ(Points(s, 6), (std::vector<float>{-1, 0, 1, 1, 0, -1}));

    s = WithLength(1000);
    FillTriangle(s);
    EXPECT_EQ(s.ArbData[0], -1.0f);
    EXPECT_EQ(s.ArbData[499], 1.0f);
    EXPECT_EQ(s.ArbData[500], 1.0f);
    EXPECT_EQ(s.ArbData[999], -1.0f);
    EXPECT_EQ(s.ArbData[1000], 7.0f);
}

TEST(StandardWaves, RampsEvenlySpaced)
{
    ArbStore s = WithLength(4);
    ASSERT_TRUE(FillUpRamp(s));
    EXPECT_EQ(Points(s, 4), (std::vector<float>{-1.0f, -1.0f / 3.0f, 1.0f / 3.0f, 1.0f}));
    ASSERT_TRUE(FillDownRamp(s));
    EXPECT_EQ(Points(s, 5), (std::vector<float>{1.0f, 1.0f / 3.0f, -1.0f / 3.0f, -1.0f, 7.0f}));

    s = WithLength(16384);
    FillUpRamp(s);
    EXPECT_EQ(s.ArbData[16383], 1.0f);
    EXPECT_EQ(s.ArbData[16384], 7.0f);
}

TEST(StandardWaves, PointsBeyondLengthKept)
{
    for (auto fill : {FillSine, FillCosine, FillSquare, FillTriangle, FillUpRamp, FillDownRamp}) {
        ArbStore s = WithLength(201);
        fill(s);
        EXPECT_NE(s.ArbData[200], 7.0f);
        EXPECT_EQ(s.ArbData[201], 7.0f);
        EXPECT_EQ(s.ArbData[16384], 7.0f);
        EXPECT_EQ(s.ArbMaxValue, 0.0f); // extremes are not updated here
    }
}

TEST(StandardWaves, FractionalLengthRoundsHalfToEven)
{
    // N = 5.5: L = round(4.5) = 4, M = round(5.5) = 6, so H = 3.
    ArbStore s = WithLength(5.5f);
    FillSquare(s);
    EXPECT_EQ(Points(s, 6), (std::vector<float>{1, 1, 1, -1, -1, 7}));
    // D = 4 \ 2 = 2, falling offset M \ 2 = 3.
    FillTriangle(s);
    EXPECT_EQ(Points(s, 6), (std::vector<float>{-1, 0, 1, 1, 0, 7}));
    // The ramp divides by the unrounded N - 1 = 4.5.
    FillUpRamp(s);
    EXPECT_EQ(s.ArbData[4], static_cast<float>(8.0 / 4.5 - 1.0));
}

TEST(StandardWaves, DegenerateLengthsWriteNothing)
{
    ArbStore s = WithLength(0);
    EXPECT_FALSE(FillSine(s));
    EXPECT_FALSE(FillCosine(s));
    EXPECT_EQ(s.ArbData[0], 7.0f);
    s = WithLength(1);
    EXPECT_FALSE(FillUpRamp(s));
    EXPECT_FALSE(FillDownRamp(s));
    EXPECT_EQ(s.ArbData[0], 7.0f);
    s = WithLength(2);
    EXPECT_FALSE(FillTriangle(s));
    EXPECT_EQ(s.ArbData[0], 7.0f);
    // A length beyond the buffer stops at its last element.
    s = WithLength(40000);
    FillSine(s);
    EXPECT_NE(s.ArbData[16384], 7.0f);
}
