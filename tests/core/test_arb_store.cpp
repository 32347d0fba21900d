#include "core/ArbStore.h"
#include "core/FormatValue.h"

#include <gtest/gtest.h>

using arb::ArbStore;
using arb::FormatValue6;

TEST(ArbStore, StartsZeroedWithDefaultLength)
{
    ArbStore s;
    EXPECT_EQ(s.ArbLength, 201.0f);
    EXPECT_EQ(s.LastIndex(), 200);
    s.UpdateMinMaxPass();
    EXPECT_EQ(s.ArbMaxValue, 0.0f);
    EXPECT_EQ(s.ArbMinValue, 0.0f);
}

TEST(ArbStore, ExtremesStartFromZero)
{
    ArbStore s;
    s.ArbLength = 5;
    const float values[] = {0.2f, 0.6f, 0.4f, 0.3f, 0.25f};
    for (int i = 0; i < 5; ++i)
        s.ArbData[i] = values[i];
    s.ArbData[5] = 9.0f; // beyond the length: not part of the pass
    s.UpdateMinMaxPass();
    EXPECT_EQ(s.ArbMaxValue, 0.6f);
    EXPECT_EQ(s.ArbMinValue, 0.0f);
}

TEST(ArbStore, ClearTouchesOnlyPointsInUse)
{
    ArbStore s;
    s.ArbData.fill(0.5f);
    s.ArbLength = 100;
    s.ClearPoints();
    EXPECT_EQ(s.ArbData[99], 0.0f);
    EXPECT_EQ(s.ArbData[100], 0.5f);
    EXPECT_EQ(s.ArbData[16384], 0.5f);
}

TEST(ArbStore, FractionalLengthRoundsHalfToEven)
{
    ArbStore s;
    s.ArbLength = 4.5f; // round(3.5) = 4
    EXPECT_EQ(s.LastIndex(), 4);
    s.ArbLength = 5.5f; // round(4.5) = 4
    EXPECT_EQ(s.LastIndex(), 4);
    EXPECT_EQ(arb::RoundHalfEven(2.5), 2);
    EXPECT_EQ(arb::RoundHalfEven(3.5), 4);
    EXPECT_EQ(arb::RoundHalfEven(-2.5), -2);
}

TEST(FormatValue6, SixCharacterField)
{
    EXPECT_EQ(FormatValue6(0.0f), " 0.000");
    EXPECT_EQ(FormatValue6(0.5f), " 0.500");
    EXPECT_EQ(FormatValue6(-0.5f), "-0.500");
    EXPECT_EQ(FormatValue6(1.0f), " 1.000");
    EXPECT_EQ(FormatValue6(-1.0f), "-1.000");
    EXPECT_EQ(FormatValue6(-0.001f), "-0.001");
    EXPECT_EQ(FormatValue6(0.0004f), " 0.000");
    EXPECT_EQ(FormatValue6(-0.0004f), " 0.000");
    EXPECT_EQ(FormatValue6(9.9994f), " 9.999");
}

TEST(FormatValue6, WideValuesKeepSignAndDigits)
{
    EXPECT_EQ(FormatValue6(12.3f), "12.300");
    EXPECT_EQ(FormatValue6(-12.3f), "-12.300");
    EXPECT_EQ(FormatValue6(-9.9996f), "-10.000");
    EXPECT_EQ(FormatValue6(9.9996f), "10.000");
    EXPECT_EQ(FormatValue6(123.4567f), "123.457");
}
