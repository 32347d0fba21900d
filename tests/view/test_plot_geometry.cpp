#include "view/PlotGeometry.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace arb;

TEST(PlotScale, FullViewOf201Points)
{
    const PlotScale s = ComputePlotScale(0, 201);
    EXPECT_EQ(s.PlotLeft, 0.0f);
    EXPECT_FLOAT_EQ(s.PlotRight, 200.0f + 200.0f / 550.0f);
    EXPECT_NEAR(s.PlotRight, 200.3636, 1e-4);
    EXPECT_EQ(s.PlotTop, 1000000.0f);
    EXPECT_EQ(s.PlotBottom, -1007600.0f);
}

TEST(PlotScale, ZoomedViewStartsAtItsFirstPoint)
{
    const PlotScale s = ComputePlotScale(50, 101);
    EXPECT_EQ(s.PlotLeft, 50.0f);
    EXPECT_FLOAT_EQ(s.PlotRight, 150.0f + 100.0f / 550.0f);
}

TEST(GridBand, FullViewCoversTheWholeView)
{
    const GridBand b = ComputeGridBand(0, 200, 201, 0.0f);
    EXPECT_EQ(b.lowX, 0);
    EXPECT_EQ(b.highX, 200);
    const GridBand z = ComputeGridBand(50, 150, 101, 50.0f);
    EXPECT_EQ(z.lowX, 50);
    EXPECT_EQ(z.highX, 150);
}

TEST(GridBand, NarrowBandWidensByPointsPerPixel)
{
    // 16384 points: k = 16383 / 550 = 29.
    const GridBand b = ComputeGridBand(999, 1001, 16384, 0.0f);
    EXPECT_EQ(b.lowX, 969);
    EXPECT_EQ(b.highX, 1031);
    // Near the edges the band stops at the first and last visible points.
    const GridBand left = ComputeGridBand(3, 5, 16384, 0.0f);
    EXPECT_EQ(left.lowX, 0);
    const GridBand right = ComputeGridBand(16380, 16383, 16384, 0.0f);
    EXPECT_EQ(right.highX, 16383);
    // With 201 points k = 0: one index either side.
    const GridBand small = ComputeGridBand(10, 12, 201, 0.0f);
    EXPECT_EQ(small.lowX, 9);
    EXPECT_EQ(small.highX, 13);
}

TEST(GridLines, PositionsFollowTheView)
{
    EXPECT_DOUBLE_EQ(GridLineX(1, 201, 0.0f), 20.0);
    EXPECT_DOUBLE_EQ(GridLineX(10, 201, 0.0f), 200.0);
    EXPECT_DOUBLE_EQ(TickX(1, 201, 0.0f), 4.0);
    EXPECT_DOUBLE_EQ(TickX(50, 201, 0.0f), 200.0);
    EXPECT_DOUBLE_EQ(GridLineX(3, 100, 30.0f), 59.7);
}

TEST(IndexLabels, CaptionsInGeneralNumberFormat)
{
    QStringList full;
    for (int p = 0; p <= 10; ++p)
        full << IndexLabelCaption(p, 201, 0);
    EXPECT_EQ(full.join(','), QStringLiteral("0,20,40,60,80,100,120,140,160,180,200"));

    QStringList scrolled;
    for (int p = 0; p <= 10; ++p)
        scrolled << IndexLabelCaption(p, 100, 30);
    EXPECT_EQ(scrolled.join(','), QStringLiteral("30,39.9,49.8,59.7,69.6,79.5,89.4,99.3,109.2,119.1,129"));

    EXPECT_EQ(IndexLabelCaption(1, 16384, 0), QStringLiteral("1638.3"));
    EXPECT_EQ(IndexLabelCaption(10, 2001, 0), QStringLiteral("2000"));
    EXPECT_EQ(IndexLabelCaption(5, 101, 50), QStringLiteral("100"));
}

TEST(IndexLabels, LeftEdgesSpreadOverTheVisiblePoints)
{
    // Canvas of 8445 twips at 720: label 0 sits 100 twips left of the canvas.
    EXPECT_DOUBLE_EQ(IndexLabelLeft(0, 201, 720, 8445, 1.0f), 620.0);
    const double w = 200.0 * 8445.0 / (200.0 / 550.0 + 200.0);
    EXPECT_NEAR(IndexLabelLeft(5, 201, 720, 8445, 1.0f), 5 * w / 10 + 620.0, 1e-9);
    EXPECT_NEAR(IndexLabelLeft(0, 201, 720, 8445, 1.875f), 720 - 187.5, 1e-9);
}
