#include "core/ArbStore.h"
#include "core/HarmonicFormula.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace arb;

namespace
{

HarmonicTerms Parsed(const char *formula)
{
    const HarmonicParse p = ParseHarmonicFormula(QString::fromUtf8(formula));
    EXPECT_TRUE(p.ok) << formula;
    return p.terms;
}

ArbStore Applied(const char *formula, float length = 201)
{
    ArbStore s;
    s.ArbLength = length;
    s.ArbData.fill(7.0f);
    EXPECT_TRUE(ApplyHarmonic(s, Parsed(formula))) << formula;
    return s;
}

int IndexOfMax(const ArbStore &s)
{
    const auto end = s.ArbData.begin() + s.PointCount();
    return static_cast<int>(std::max_element(s.ArbData.begin(), end) - s.ArbData.begin());
}

} // namespace

TEST(HarmonicFormula, DefaultFormulaQuantities)
{
    const HarmonicTerms t = Parsed("sinx+0.5sin2x");
    EXPECT_EQ(t.A1, 1.0);
    EXPECT_EQ(t.K1, 1.0);
    EXPECT_EQ(t.A2, 0.5f);
    EXPECT_EQ(t.K2, 2);
    EXPECT_EQ(t.S(), 1.5f);
    EXPECT_EQ(t.R(), 2);
}

TEST(HarmonicFormula, DefaultFormulaOn201Points)
{
    const ArbStore s = Applied("sinx+0.5sin2x");
    EXPECT_EQ(s.ArbLength, 200.0f);
    EXPECT_EQ(s.ArbData[0], 0.0f);
    EXPECT_NEAR(s.ArbData[50], 0.66667f, 1e-5);
    EXPECT_EQ(IndexOfMax(s), 33);
    EXPECT_NEAR(s.ArbData[33], 0.86593f, 1e-5);
    const float lowest = *std::min_element(s.ArbData.begin(), s.ArbData.begin() + 200);
    EXPECT_NEAR(lowest, -0.86593f, 1e-5);
    EXPECT_EQ(s.ArbData[200], 0.0f); // the point trimmed off is cleared
    EXPECT_EQ(s.ArbData[201], 7.0f);
    // Point 1, step by step in single precision.
    const float p1 = static_cast<float>(std::sin(2.0 * 3.14159f / 200.0));
    const float p2 = static_cast<float>(p1 + 0.5 * std::sin(((1 / 200.0) * 2.0) * 2 * double(3.14159f)));
    EXPECT_EQ(s.ArbData[1], static_cast<float>(p2 / 1.5));
}

TEST(HarmonicFormula, UpperCaseAndTailIgnored)
{
    const ArbStore plain = Applied("sinx+0.5sin2x");
    EXPECT_EQ(Applied("  SINX+0.5SIN2X ").ArbData, plain.ArbData);
    EXPECT_EQ(Applied("sinx+0.5sin2x+sin3x").ArbData, plain.ArbData);
}

TEST(HarmonicFormula, AmplitudesAndRatio)
{
    HarmonicTerms t = Parsed("2sinx+sin3x");
    EXPECT_EQ(t.A1, 2.0);
    EXPECT_EQ(t.A2, 1.0f);
    EXPECT_EQ(t.S(), 3.0f);
    EXPECT_EQ(t.R(), 3);
    EXPECT_EQ(Applied("2sinx+sin3x").ArbLength, 201.0f);
    EXPECT_EQ(Applied("2sinx+sin3x", 202).ArbLength, 201.0f);

    t = Parsed("0.5 sinx+sin2x"); // the blank belongs to slot A1
    EXPECT_EQ(t.A1, 0.5);
    t = Parsed("sinx+-0.5sin2x");
    EXPECT_EQ(t.A2, -0.5f);
    EXPECT_EQ(t.S(), 0.5f);
}

TEST(HarmonicFormula, RatioRelativeToFirstTerm)
{
    const HarmonicTerms t = Parsed("sin2x+sin4x");
    EXPECT_EQ(t.K1, 2.0);
    EXPECT_EQ(t.K2, 4);
    EXPECT_EQ(t.R(), 2);
    EXPECT_EQ(Applied("sin2x+sin4x").ArbData, Applied("sinx+sin2x").ArbData);
    EXPECT_EQ(Parsed("sinx+sin2.5x").K2, 2);
    EXPECT_EQ(Parsed("sinx+sin3.5x").K2, 4);
    EXPECT_EQ(Parsed("sinx+sin99999x").K2, 1); // outside 16 bits
    EXPECT_EQ(Parsed("sinx+sin32767.5x").K2, 1);
    EXPECT_EQ(Parsed("sinx+sin-32768.5x").K2, -32768);
    EXPECT_EQ(Parsed("sin3x+sinx").R(), 0);
    EXPECT_EQ(Applied("sin3x+sinx").ArbLength, 201.0f); // R = 0 keeps the length
}

TEST(HarmonicFormula, BlankK1SlotGivesPlainSine)
{
    const HarmonicTerms t = Parsed("sin x+sin2x");
    EXPECT_EQ(t.K1, 0.0);
    EXPECT_EQ(t.R(), 1);
    const ArbStore s = Applied("sin x+sin2x");
    EXPECT_EQ(s.ArbLength, 201.0f);
    EXPECT_EQ(IndexOfMax(s), 50);
    EXPECT_NEAR(s.ArbData[50], 1.0f, 1e-4);
}

TEST(HarmonicFormula, NegativeAmplitudeExceedsUnitRange)
{
    const ArbStore s = Applied("sinx+-0.5sin2x");
    EXPECT_EQ(s.ArbLength, 200.0f);
    EXPECT_NEAR(s.ArbData[67], 2.598f, 1e-3);
    EXPECT_NEAR(s.ArbData[133], -2.598f, 1e-3);
    EXPECT_EQ(IndexOfMax(s), 67);
}

TEST(HarmonicFormula, SyntaxErrorsAndTitles)
{
    const HarmonicParse empty = ParseHarmonicFormula(QString());
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.errorTitle, QStringLiteral("正弦波公式相加"));
    for (const char *bad : {"sinx-0.5sin2x", "sinx +sin2x", "cosx+sin2x", "sinx", "0.5", "  ", "sinx+0.5sin2",
                            "sinx+0.5si2x", "snx+sin2x", "sinx+sin2y"}) {
        const HarmonicParse p = ParseHarmonicFormula(QString::fromUtf8(bad));
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_EQ(p.errorTitle, QStringLiteral("输入公式")) << bad;
    }
    EXPECT_EQ(FormulaErrorMessage(), QStringLiteral("公式错误！"));
}

TEST(HarmonicFormula, ZeroOrHugeAmplitudeSumRefused)
{
    for (const char *bad : {"sinx+-1sin2x", "0sinx+0sin2x", "-sinx+0sin2x"}) {
        const HarmonicParse p = ParseHarmonicFormula(QString::fromUtf8(bad));
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_EQ(p.errorTitle, QStringLiteral("输入公式")) << bad;
    }
    const QString huge = QString(400, QLatin1Char('9')) + QStringLiteral("sinx+sin2x");
    EXPECT_FALSE(ParseHarmonicFormula(huge).ok);
}

TEST(HarmonicFormula, UnrepresentableValuesLeaveStoreUnchanged)
{
    ArbStore s;
    s.ArbData.fill(0.25f);
    HarmonicTerms t;
    t.A1 = 1e300; // finite, but no single-precision point can hold it
    EXPECT_FALSE(ApplyHarmonic(s, t));
    EXPECT_EQ(s.ArbLength, 201.0f);
    EXPECT_EQ(s.ArbData[5], 0.25f);
}

TEST(HarmonicFormula, LeadingNumberRule)
{
    EXPECT_EQ(LeadingNumber(QStringLiteral("-")), 0.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral(" 1 2.5")), 12.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("+3.25.7")), 3.25);
    EXPECT_EQ(LeadingNumber(QStringLiteral("-.5")), -0.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("2*3")), 2.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("--2")), 0.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + "1"), 0.0);
    EXPECT_TRUE(std::isinf(LeadingNumber(QString(400, QLatin1Char('9')))));
    // Non-ASCII characters belong to a slot and end only the number.
    EXPECT_EQ(Parsed("sinx+0.5　sin2x").A2, 0.5f);
}

TEST(HarmonicFormula, TrimmedLengthAndBufferBound)
{
    // R larger than N: N' = 0, nothing written but the clear.
    ArbStore s = Applied("sinx+sin300x");
    EXPECT_EQ(s.ArbLength, 0.0f);
    EXPECT_EQ(s.ArbData[0], 0.0f);
    EXPECT_EQ(s.ArbData[201], 7.0f);
    // A negative ratio rounds towards minus infinity: N' may exceed N.
    s = Applied("sinx+sin-2x");
    EXPECT_EQ(s.ArbLength, 202.0f);
    s = Applied("sinx+sin-3x", 16384);
    EXPECT_EQ(s.ArbLength, 16386.0f);
    EXPECT_NE(s.ArbData[16384], 7.0f); // the buffer's last point, no further
}
