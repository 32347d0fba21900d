// The formula language of "任意公式": operators, names and functions, the
// points it reads, the random numbers, and where its mistakes are reported.
#include "core/equation/EquationExamples.h"
#include "core/equation/EquationOutcome.h"
#include "core/equation/WaveEquation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using namespace arb;

namespace
{

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Ramp(int count)
{
    std::vector<float> w(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        w[static_cast<std::size_t>(i)] = static_cast<float>(i) / 100.0f;
    return w;
}

// The values of text at points first..last of wave.
std::vector<double> Values(const char *text, const std::vector<float> &wave, int first, int last,
                           std::uint32_t seed = 1)
{
    WaveEquation eq;
    const EquationError e = eq.setText(QString::fromUtf8(text));
    EXPECT_FALSE(e.isError()) << text << ": " << e.text().toStdString();
    std::vector<double> out(static_cast<std::size_t>(last - first + 1));
    EquationPoints p;
    p.values = wave.data();
    p.count = static_cast<int>(wave.size());
    p.first = first;
    p.last = last;
    p.seed = seed;
    eq.evaluate(p, out.data());
    return out;
}

// The value of a formula that reads no point (at point 0 of 8).
double Value(const char *text)
{
    return Values(text, Ramp(8), 0, 0).at(0);
}

EquationError ErrorOf(const QString &text)
{
    WaveEquation eq;
    return eq.setText(text);
}

// As UTF-8, which the test's messages show readably.
std::string ErrorText(const char *text)
{
    return ErrorOf(QString::fromUtf8(text)).text().toStdString();
}

} // namespace

TEST(WaveEquation, OperatorsAndPrecedence)
{
    EXPECT_EQ(Value("1 + 2*3"), 7);
    EXPECT_EQ(Value("(1 + 2)*3"), 9);
    EXPECT_EQ(Value("7 - 2 - 1"), 4);
    EXPECT_EQ(Value("8 / 4 / 2"), 1);
    // Power binds tighter than unary minus and is right-associative.
    EXPECT_EQ(Value("-2^2"), -4);
    EXPECT_EQ(Value("(-2)^2"), 4);
    EXPECT_EQ(Value("2^3^2"), 512);
    EXPECT_EQ(Value("2^-2"), 0.25);
    EXPECT_EQ(Value("2*-3"), -6);
    // Comparisons give 1 or 0; && binds tighter than ||.
    EXPECT_EQ(Value("1 < 2") + Value("2 <= 1") * 10 + Value("3 >= 3") * 100, 101);
    EXPECT_EQ(Value("2 > 1") + Value("1 == 1") * 10 + Value("1 != 1") * 100, 11);
    EXPECT_EQ(Value("1 + 1 == 2"), 1);
    EXPECT_EQ(Value("2 && 3"), 1);
    EXPECT_EQ(Value("1 && 0"), 0);
    EXPECT_EQ(Value("1 || 0 && 0"), 1);
    EXPECT_EQ(Value("0 || 0"), 0);
    // The conditional is the loosest and nests to the right.
    EXPECT_EQ(Value("1 ? 2 : 3"), 2);
    EXPECT_EQ(Value("0 ? 2 : 3"), 3);
    EXPECT_EQ(Value("0 ? 1 : 0 ? 2 : 3"), 3);
    EXPECT_EQ(Value("1 + 1 == 2 ? 5 : 6"), 5);
    EXPECT_EQ(Value("1 ? 2 : 3 + 4"), 2);
    // Blanks are free, also between a function and its bracket.
    EXPECT_EQ(Value(" max (1 ,\t2 ) + sin\t( 0 ) "), 2);
}

TEST(WaveEquation, NamesOfThePoint)
{
    EXPECT_EQ(Value("pi"), kPi);
    EXPECT_EQ(Value("e"), std::exp(1.0));
    // One period of sin(2*pi*x) fills the waveform exactly.
    const std::vector<double> s = Values("sin(2*pi*x)", Ramp(4), 0, 3);
    EXPECT_NEAR(s[0], 0, 1e-15);
    EXPECT_NEAR(s[1], 1, 1e-15);
    EXPECT_NEAR(s[2], 0, 1e-15);
    EXPECT_NEAR(s[3], -1, 1e-15);
    const std::vector<float> w = Ramp(40);
    EXPECT_EQ(Values("x", w, 39, 39)[0], 39.0 / 40);
    EXPECT_EQ(Values("n + 1000*N", w, 7, 7)[0], 40007);
    EXPECT_EQ(Values("y", w, 7, 7)[0], static_cast<double>(w[7]));
    // u runs over the range: (i - first)/(last - first + 1).
    const std::vector<double> u = Values("u", w, 10, 19);
    for (int k = 0; k < 10; ++k)
        EXPECT_DOUBLE_EQ(u[static_cast<std::size_t>(k)], k / 10.0);
    EXPECT_EQ(Values("u", w, 5, 5)[0], 0);
}

TEST(WaveEquation, Functions)
{
    EXPECT_EQ(Value("log(e^2)"), 2);
    EXPECT_EQ(Value("ln(e)"), 1);
    EXPECT_EQ(Value("log10(1000)") + Value("log2(8)"), 6);
    EXPECT_EQ(Value("atan2(1, -1)"), 3 * kPi / 4);
    EXPECT_EQ(Value("round(2.5)") - Value("round(-2.5)"), 6);
    EXPECT_EQ(Value("floor(-1.5)") + Value("ceil(-1.5)"), -3);
    EXPECT_EQ(Value("mod(-1, 3)"), 2);
    EXPECT_EQ(Value("mod(5, -3)"), -1);
    EXPECT_EQ(Value("sign(-3)") + 10 * Value("sign(0)") + 100 * Value("sign(2)"), 99);
    EXPECT_EQ(Value("min(2, -1)") + Value("max(2, -1)"), 1);
    EXPECT_EQ(Value("clip(5, -1, 1)") + Value("clip(-5, -1, 1)") + Value("clip(0.25, -1, 1)"), 0.25);
    EXPECT_EQ(Value("abs(-2) + sqrt(9)"), 5);
    EXPECT_EQ(Value("sinc(0)"), 1);
    EXPECT_DOUBLE_EQ(Value("sinc(0.5)"), 2 / kPi);
    EXPECT_NEAR(Value("sinc(3)"), 0, 1e-16);
    EXPECT_EQ(Value("gauss(1)"), std::exp(-0.5));
    EXPECT_EQ(Value("rect(0.5)") + 10 * Value("rect(-0.5)") + 100 * Value("rect(0.5000001)"), 11);
    EXPECT_EQ(Value("tri(0.25)") + Value("tri(-2)"), 0.75);
    EXPECT_EQ(Value("step(0)") + 10 * Value("step(-1e-9)"), 1);
    EXPECT_EQ(Value("saw(0.25)") + Value("saw(-0.75)"), -1);
    EXPECT_EQ(Value("sq(0.25)") + 10 * Value("sq(0.75)") + 100 * Value("sq(-0.25)"), -109);
    EXPECT_EQ(Value("pwm(0.1, 0.2)") + 10 * Value("pwm(2.3, 0.2)"), -9);
    // A NaN stays a NaN, also through comparisons inside the functions.
    EXPECT_TRUE(std::isnan(Value("rect(sqrt(-1))")));
    EXPECT_TRUE(
        std::isnan(Value("tri(sqrt(-1))") + Value("max(0, sqrt(-1))") + Value("clip(sqrt(-1), -1, 1)")));
    EXPECT_EQ(WaveEquation::FunctionArgumentCount(QStringLiteral("clip")), 3);
    EXPECT_EQ(WaveEquation::FunctionArgumentCount(QStringLiteral("sum")), -1);
}

TEST(WaveEquation, PointsAreReadAsTheyWereAndWrapAround)
{
    const std::vector<float> w = Ramp(10);
    EXPECT_EQ(Values("w(n-1)", w, 0, 0)[0], static_cast<double>(w[9]));
    EXPECT_EQ(Values("w(n+1)", w, 9, 9)[0], static_cast<double>(w[0]));
    EXPECT_EQ(Values("w(-21)", w, 0, 0)[0], static_cast<double>(w[9]));
    EXPECT_EQ(Values("w(N)", w, 3, 3)[0], static_cast<double>(w[0]));
    // k is rounded halves to even.
    EXPECT_EQ(Values("w(0.5) + 10*w(1.5)", w, 0, 0)[0], 10 * static_cast<double>(w[2]));
    EXPECT_TRUE(std::isfinite(Values("w(1e300) + w(-1e300)", w, 0, 0)[0]));
    EXPECT_TRUE(std::isnan(Values("w(1/0)", w, 0, 0)[0]));
    EXPECT_TRUE(std::isnan(Values("w(sqrt(-1))", w, 0, 0)[0]));

    // Smoothing over the whole waveform reads the points before the command.
    WaveEquation eq;
    EquationChoices c;
    c.text = QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3");
    c.last = 9;
    const EquationOutcome o = ComputeEquation(eq, c, w.data(), 10);
    ASSERT_TRUE(o.usable());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(
            o.points[static_cast<std::size_t>(i)],
            static_cast<float>((static_cast<double>(w[static_cast<std::size_t>((i + 9) % 10)]) +
                                w[static_cast<std::size_t>(i)] + w[static_cast<std::size_t>((i + 1) % 10)]) /
                               3))
            << i;
}

TEST(WaveEquation, TheSeedRepeatsTheRandomNumbers)
{
    const std::vector<float> w = Ramp(4096);
    const std::vector<double> a = Values("rand()", w, 0, 4095, 7);
    EXPECT_EQ(Values("rand()", w, 0, 4095, 7), a);
    EXPECT_NE(Values("rand()", w, 0, 4095, 8), a);
    // A part of the range has the values of the whole at the same points.
    const std::vector<double> part = Values("rand()", w, 1000, 1009, 7);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), a.begin() + 1000));
    double lo = 1, hi = -1, mean = 0;
    for (double v : a) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        mean += v / 4096;
    }
    EXPECT_GE(lo, -1);
    EXPECT_LT(hi, 1);
    EXPECT_LT(lo, -0.99);
    EXPECT_GT(hi, 0.99);
    EXPECT_NEAR(mean, 0, 0.05);
    // Two calls in one point are two numbers.
    for (double d : Values("rand() - rand()", w, 0, 99))
        EXPECT_NE(d, 0);
    const std::vector<double> g = Values("randn()", w, 0, 4095, 7);
    const double m = std::accumulate(g.begin(), g.end(), 0.0) / 4096;
    double var = 0;
    for (double v : g)
        var += (v - m) * (v - m) / 4095;
    EXPECT_NEAR(m, 0, 0.06);
    EXPECT_NEAR(var, 1, 0.08);
    EXPECT_EQ(Values("randn()", w, 0, 4095, 7), g);
}

TEST(WaveEquation, MistakesAreNamedWhereTheyAre)
{
    EXPECT_EQ(ErrorText("1 + 2*sni(x)"), "第 7 个字符：未知的函数 sni");
    EXPECT_EQ(ErrorText(""), "第 1 个字符：请输入公式");
    EXPECT_EQ(ErrorOf(QStringLiteral("   ")).position, 1);
    EXPECT_EQ(ErrorText("x + foo"), "第 5 个字符：未知的名称 foo");
    EXPECT_EQ(ErrorText("Sin(x)"), "第 1 个字符：未知的函数 Sin");
    EXPECT_EQ(ErrorText("2 * sin"), "第 5 个字符：函数 sin 后面要有括号");
    // Wrong argument counts name the function where it is called.
    EXPECT_EQ(ErrorText("x + sin(1, 2)"), "第 5 个字符：函数 sin 要 1 个参数");
    EXPECT_EQ(ErrorText("atan2(1)"), "第 1 个字符：函数 atan2 要 2 个参数");
    EXPECT_EQ(ErrorText("min(1, 2, 3)"), "第 1 个字符：函数 min 要 2 个参数");
    EXPECT_EQ(ErrorText("clip(max(1, 2), 3)"), "第 1 个字符：函数 clip 要 3 个参数");
    EXPECT_EQ(ErrorText("1 + rand(3)"), "第 5 个字符：函数 rand 不带参数，应写成 rand()");
    // Brackets.
    EXPECT_EQ(ErrorText("sin(x"), "第 4 个字符：括号没有闭合");
    EXPECT_EQ(ErrorText("((1) + 2"), "第 1 个字符：括号没有闭合");
    EXPECT_EQ(ErrorText("(1 + 2))"), "第 8 个字符：多余的右括号“)”");
    EXPECT_EQ(ErrorText("sin()"), "第 1 个字符：函数 sin 要 1 个参数");
    EXPECT_EQ(ErrorText("2*()"), "第 4 个字符：括号里缺少内容");
    EXPECT_EQ(ErrorText("max(1,)"), "第 7 个字符：逗号后面缺少参数");
    // What muparser would take but the language has not.
    EXPECT_EQ(ErrorText("x = 1"), "第 3 个字符：这里不能用“=”：比较是否相等请写“==”");
    EXPECT_EQ(ErrorText("y += 1"), "第 4 个字符：这里不能用“=”：比较是否相等请写“==”");
    EXPECT_EQ(ErrorText("1, 2"), "第 2 个字符：逗号只用来分隔函数的参数");
    EXPECT_EQ(ErrorText("sin((1, 2))"), "第 7 个字符：逗号只用来分隔函数的参数");
    EXPECT_EQ(ErrorText("\"a\""), "第 1 个字符：无法识别的字符“\"”");
    EXPECT_EQ(ErrorText("sum(1, 2)"), "第 1 个字符：未知的函数 sum");
    // Positions count the characters the user sees.
    EXPECT_EQ(ErrorText("sin（x）"), "第 4 个字符：全角字符“（”，请改用半角的“(”");
    EXPECT_EQ(ErrorText("2x（"), "第 2 个字符：这里缺少运算符");
    EXPECT_EQ(ErrorText("x +\u3000y"), "第 4 个字符：全角空格，请改用半角空格");
    EXPECT_EQ(ErrorOf(QString::fromUtf8("x + \xF0\x9F\x98\x80 + \xF0\x9F\x98\x80")).position, 5);
    EXPECT_EQ(ErrorText("1 +\n2"), "第 4 个字符：无法识别的字符U+000A");
    // The first mistake wins, also over a later one only the scan sees.
    EXPECT_EQ(ErrorText("sni(x) = 1"), "第 1 个字符：未知的函数 sni");
    EXPECT_EQ(ErrorText("sin(x) == 1 = 2"), "第 13 个字符：这里不能用“=”：比较是否相等请写“==”");
    // Grammar.
    EXPECT_EQ(ErrorText("1 +"), "第 3 个字符：公式不完整");
    EXPECT_EQ(ErrorText("-"), "第 1 个字符：公式不完整");
    EXPECT_EQ(ErrorText("2 * - "), "第 5 个字符：公式不完整");
    EXPECT_EQ(ErrorText("x (1)"), "第 3 个字符：这里不应有括号");
    EXPECT_EQ(ErrorText("2x"), "第 2 个字符：这里缺少运算符");
    EXPECT_EQ(ErrorText("*2"), "第 1 个字符：这里不应有运算符“*”");
    EXPECT_EQ(ErrorText("x > 0 ? 1"), "第 7 个字符：条件运算缺少“:”和后面的部分");
    EXPECT_EQ(ErrorText("1e400"), "第 1 个字符：无法识别的数 1e400");
}

TEST(EquationOutcome, RefusesValuesThatAreNotFinite)
{
    const std::vector<float> w = Ramp(100);
    WaveEquation eq;
    EquationChoices c;
    c.text = QStringLiteral("1/(n-37)");
    c.last = 99;
    EquationOutcome o = ComputeEquation(eq, c, w.data(), 100);
    EXPECT_FALSE(o.usable());
    EXPECT_TRUE(o.points.empty());
    EXPECT_EQ(o.status().toStdString(), "第 37 点的结果不是有限数");
    c.first = 40;
    EXPECT_TRUE(ComputeEquation(eq, c, w.data(), 100).usable());
    c.text = QStringLiteral("n < 50 ? 0 : sqrt(-1)");
    EXPECT_EQ(ComputeEquation(eq, c, w.data(), 100).nonFinitePoint, 50);
    // 1e39 is finite in double but not in single precision: scaled to the peak it is.
    c.text = QStringLiteral("1e39 * x");
    o = ComputeEquation(eq, c, w.data(), 100);
    ASSERT_TRUE(o.usable());
    EXPECT_EQ(o.points.back(), 1.0f);
    c.first = 60;
    c.last = 50;
    o = ComputeEquation(eq, c, w.data(), 100);
    EXPECT_TRUE(o.badRange);
    EXPECT_EQ(o.status().toStdString(), "起点不能大于终点");
    c.last = 100;
    EXPECT_FALSE(ComputeEquation(eq, c, w.data(), 100).usable());
}

TEST(EquationOutcome, ValuesBeyondOneAreScaledOrClipped)
{
    const std::vector<float> w = Ramp(8);
    WaveEquation eq;
    EquationChoices c;
    c.text = QStringLiteral("4*x - 1.5");
    c.last = 7;
    EquationOutcome o = ComputeEquation(eq, c, w.data(), 8);
    ASSERT_TRUE(o.usable());
    // -1.5, -1, -0.5, 0, 0.5, 1, 1.5, 2
    EXPECT_EQ(o.beyond, 3);
    EXPECT_EQ(o.status().toStdString(), "结果范围 -1.5 ～ 2，有 3 个点超出 ±1");
    EXPECT_EQ(o.points, (std::vector<float>{-0.75f, -0.5f, -0.25f, 0, 0.25f, 0.5f, 0.75f, 1}));
    c.overflow = EquationOverflow::Clip;
    o = ComputeEquation(eq, c, w.data(), 8);
    EXPECT_EQ(o.points, (std::vector<float>{-1, -1, -0.5f, 0, 0.5f, 1, 1, 1}));
    // Within ±1 the values are stored as computed, whatever the choice.
    c.text = QStringLiteral("0.1*n - 0.35");
    o = ComputeEquation(eq, c, w.data(), 8);
    EXPECT_EQ(o.beyond, 0);
    EXPECT_EQ(o.points[0], static_cast<float>(-0.35));
    EXPECT_EQ(o.points[7], static_cast<float>(0.1 * 7 - 0.35));
    EXPECT_EQ(o.status().toStdString(), "结果范围 -0.35 ～ 0.35");
}

TEST(EquationExamples, EveryExampleMakesAUsableWaveform)
{
    std::vector<float> w(16384);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<float>(std::sin(2 * kPi * static_cast<double>(i) / 16384));
    ASSERT_GE(EquationExamples().size(), 8u);
    WaveEquation eq;
    for (const EquationExample &e : EquationExamples()) {
        EquationChoices c;
        c.text = e.text;
        c.last = 16383;
        const EquationOutcome o = ComputeEquation(eq, c, w.data(), 16384);
        EXPECT_TRUE(o.usable()) << e.text.toStdString() << ": " << o.status().toStdString();
        EXPECT_LE(o.max, 1.0) << e.text.toStdString();
        EXPECT_GE(o.min, -1.0) << e.text.toStdString();
    }
}
