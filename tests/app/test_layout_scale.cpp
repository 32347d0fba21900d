#include "app/LayoutScale.h"

#include <gtest/gtest.h>

using namespace arb;

TEST(LayoutScale, DesignWorkAreaKeepsDesignGeometry)
{
    const LayoutFactors f = ComputeLayoutFactors(1024, 768);
    EXPECT_EQ(f.ScaleX, 1.0f);
    EXPECT_EQ(f.ScaleY, 1.0f);
    const QRectF r = MainWindowTwips(f);
    EXPECT_EQ(r, QRectF(30, 0, 11750, 10000));
}

TEST(LayoutScale, WideScreenFactors)
{
    const LayoutFactors f = ComputeLayoutFactors(1920, 1040);
    EXPECT_EQ(f.ScaleX, 1.875f);
    EXPECT_FLOAT_EQ(f.ScaleY, 1.3541666f);
    const QRectF r = MainWindowTwips(f);
    EXPECT_DOUBLE_EQ(r.left(), 56.25);
    EXPECT_DOUBLE_EQ(r.width(), 11750 * 1.875);
    EXPECT_NEAR(r.height(), 13541.666, 1e-2);
}

TEST(LayoutScale, UnusableWorkAreaFallsBackToDesign)
{
    const LayoutFactors f = ComputeLayoutFactors(0, -5);
    EXPECT_EQ(f.ScaleX, 1.0f);
    EXPECT_EQ(f.ScaleY, 1.0f);
}
