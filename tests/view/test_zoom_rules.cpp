#include "view/ZoomRules.h"

#include <gtest/gtest.h>

using namespace arb;

namespace
{

std::vector<int> Counts(ViewWindow v, float length, double factor, bool in, int steps)
{
    std::vector<int> counts;
    for (int i = 0; i < steps; ++i) {
        const auto next = in ? ZoomIn(v, length, factor) : ZoomOut(v, length, factor);
        if (!next)
            break;
        v = *next;
        counts.push_back(v.ViewCount);
    }
    return counts;
}

} // namespace

TEST(Zoom, InByTwoFrom201Points)
{
    const auto first = ZoomIn({0, 201}, 201.0f, 2.0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->ViewCount, 100); // 100.5 rounds to even
    EXPECT_EQ(first->ViewStart, 50);
    EXPECT_EQ(first->ViewEnd(), 149);
    const auto second = ZoomIn(*first, 201.0f, 2.0);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ViewCount, 50);
    EXPECT_EQ(second->ViewStart, 76);
    EXPECT_EQ(second->ViewEnd(), 125);
    EXPECT_EQ(Counts({0, 201}, 201.0f, 2.0, true, 10), (std::vector<int>{100, 50, 25, 12, 11}));
    EXPECT_FALSE(ZoomIn({95, 11}, 201.0f, 2.0));
}

TEST(Zoom, OutByTwoBackToTheWholeWaveform)
{
    EXPECT_EQ(Counts({95, 11}, 201.0f, 2.0, false, 10), (std::vector<int>{22, 44, 88, 176, 201}));
    const auto whole = ZoomOut({13, 176}, 201.0f, 2.0);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->ViewStart, 0);
    EXPECT_FALSE(ZoomOut(*whole, 201.0f, 2.0));
}

TEST(Zoom, FactorOneDoesNothing)
{
    EXPECT_FALSE(ZoomIn({0, 201}, 201.0f, 1.0));
    EXPECT_FALSE(ZoomOut({50, 100}, 201.0f, 1.0));
}

TEST(Zoom, HugeFactorsStayInRange)
{
    const auto in = ZoomIn({0, 16384}, 16384.0f, 1e300);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ViewCount, 11);
    const auto out = ZoomOut({100, 11}, 16384.0f, 1e300);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->ViewCount, 16384);
    EXPECT_EQ(out->ViewStart, 0);
}

TEST(ZoomField, TextsThatCannotBeUsedBecomeTwo)
{
    EXPECT_EQ(ZoomFactorFromText(QStringLiteral("2.5")), 2.5);
    EXPECT_EQ(ZoomFactorFromText(QStringLiteral("1")), 1.0);
    EXPECT_FALSE(ZoomFactorFromText(QString()));
    EXPECT_FALSE(ZoomFactorFromText(QStringLiteral("0")));
    EXPECT_FALSE(ZoomFactorFromText(QStringLiteral("0.5")));
    EXPECT_FALSE(ZoomFactorFromText(QStringLiteral("1..2")));
    EXPECT_EQ(NormalizeZoomText(QStringLiteral("2.50")), QStringLiteral("2.5"));
    EXPECT_EQ(NormalizeZoomText(QString()), QStringLiteral("2"));
    EXPECT_EQ(NormalizeZoomText(QStringLiteral("0.3")), QStringLiteral("2"));
    EXPECT_EQ(NormalizeZoomText(QStringLiteral("1.2.3")), QStringLiteral("2"));
    EXPECT_EQ(NormalizeZoomText(QStringLiteral("04")), QStringLiteral("4"));
}
