#include "core/shapes/ShapeLibrary.h"

#include "core/files/WaveNumber.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace arb
{

namespace
{

// Counts of periods and zero crossings: beyond one per point they only alias.
constexpr double kMaxCycles = 16384.0;
// Widths, time constants and deviations: from just above 0 to this.
constexpr double kMaxWidth = 1000.0;
constexpr double kMaxLevel = 1000.0;

ShapeParameter Real(const char *caption, const char *symbol, const char *key, double def, double min,
                    double max)
{
    ShapeParameter p;
    p.caption = QString::fromUtf8(caption);
    p.symbol = QString::fromUtf8(symbol);
    p.key = QString::fromLatin1(key);
    p.defaultValue = def;
    p.minimum = min;
    p.maximum = max;
    return p;
}

ShapeParameter Cycles(const char *caption, const char *symbol, const char *key, double def)
{
    return Real(caption, symbol, key, def, 0.0, kMaxCycles);
}

ShapeParameter Positive(const char *caption, const char *symbol, const char *key, double def)
{
    ShapeParameter p = Real(caption, symbol, key, def, 0.0, kMaxWidth);
    p.aboveMinimum = true;
    return p;
}

ShapeParameter Integer(const char *caption, const char *symbol, const char *key, double def, double min,
                       double max)
{
    ShapeParameter p = Real(caption, symbol, key, def, min, max);
    p.integer = true;
    return p;
}

ShapeParameter Center()
{
    return Real("中心", "m", "center", 0.5, 0.0, 1.0);
}

ShapeParameter Seed()
{
    return Integer("随机种子", "seed", "seed", 1, 0, 4294967295.0);
}

ShapeDescription Shape(ShapeKind kind, const char *caption, const char *key, const char *formula,
                       std::vector<ShapeParameter> parameters)
{
    return {kind, QString::fromUtf8(caption), QString::fromLatin1(key), QString::fromUtf8(formula),
            std::move(parameters)};
}

std::vector<ShapeDescription> BuildLibrary()
{
    using K = ShapeKind;
    ShapeParameter order = Integer("阶数", "n", "order", 7, 7, 31);
    order.choices = {7, 9, 15, 23, 31};
    return {
        Shape(K::Sine, "正弦", "sine", "sin(2π(c·u + p/360))",
              {Cycles("周期数", "c", "cycles", 1), Real("相位(度)", "p", "phase", 0, -360, 360)}),
        Shape(K::Square, "方波（占空比）", "square", "frac(c·u) < d 时为 1，否则为 -1",
              {Cycles("周期数", "c", "cycles", 1), Real("占空比", "d", "duty", 0.5, 0, 1)}),
        Shape(K::Triangle, "三角波（对称度）", "triangle",
              "v<s 时 -1+2v/s，否则 1-2(v-s)/(1-s)（v = frac(c·u)）",
              {Cycles("周期数", "c", "cycles", 1), Real("对称度", "s", "symmetry", 0.5, 0, 1)}),
        Shape(K::Trapezoid, "梯形脉冲", "trapezoid",
              "v<r 时 -1+2v/r，v<r+h 时 1，v<r+h+f 时 1-2(v-r-h)/f，其余 -1（v = frac(c·u)）",
              {Cycles("周期数", "c", "cycles", 1), Real("上升", "r", "rise", 0.1, 0, 1),
               Real("高", "h", "high", 0.3, 0, 1), Real("下降", "f", "fall", 0.1, 0, 1)}),
        Shape(K::Sinc, "sinc", "sinc", "sinc(k·(2u-1))，sinc(t) = sin(πt)/(πt)，sinc(0) = 1",
              {Cycles("过零点数", "k", "zeros", 10)}),
        Shape(K::Gaussian, "高斯脉冲", "gaussian", "exp(-((u-m)/σ)²/2)",
              {Positive("宽度σ", "", "width", 0.1), Center()}),
        Shape(K::Lorentzian, "洛伦兹脉冲", "lorentzian", "1/(1+((u-m)/γ)²)",
              {Positive("半宽γ", "", "halfwidth", 0.05), Center()}),
        Shape(K::ExpRise, "指数上升", "exprise", "(1-exp(-u/τ))/(1-exp(-1/τ))",
              {Positive("时间常数", "τ", "tau", 0.2)}),
        Shape(K::ExpDecay, "指数衰减", "expdecay", "exp(-u/τ)", {Positive("时间常数", "τ", "tau", 0.2)}),
        Shape(K::DampedSine, "衰减正弦", "dampedsine", "exp(-u/τ)·sin(2πc·u)",
              {Cycles("周期数", "c", "cycles", 10), Positive("时间常数", "τ", "tau", 0.3)}),
        Shape(K::Haversine, "升余弦（haversine）", "haversine", "(1-cos(2πc·u))/2",
              {Cycles("周期数", "c", "cycles", 1)}),
        Shape(K::FullWaveSine, "全波整流正弦", "fullwave", "|sin(2πc·u)|",
              {Cycles("周期数", "c", "cycles", 1)}),
        Shape(K::HalfWaveSine, "半波整流正弦", "halfwave", "max(0, sin(2πc·u))",
              {Cycles("周期数", "c", "cycles", 1)}),
        Shape(K::Chirp, "线性调频", "chirp", "sin(2π(f0·u + (f1-f0)·u²/2))",
              {Cycles("起始周期数", "f0", "startcycles", 1), Cycles("终止周期数", "f1", "endcycles", 20)}),
        Shape(K::AmplitudeModulation, "调幅", "am", "(1+m·sin(2πfm·u))·sin(2πfc·u)/(1+m)",
              {Cycles("载波周期数", "fc", "carrier", 20), Cycles("调制周期数", "fm", "modulation", 1),
               Real("调制度", "m", "depth", 0.5, 0, 1)}),
        Shape(K::FrequencyModulation, "调频", "fm", "sin(2πfc·u + β·sin(2πfm·u))",
              {Cycles("载波周期数", "fc", "carrier", 20), Cycles("调制周期数", "fm", "modulation", 1),
               Real("调制指数", "β", "index", 5, 0, kMaxWidth)}),
        Shape(K::Staircase, "阶梯", "staircase", "-1 + 2·floor(k·u)/(k-1)",
              {Integer("台阶数", "k", "steps", 8, 2, 1000)}),
        Shape(K::Dc, "直流", "dc", "a", {Real("电平", "a", "level", 0.5, -1, 1)}),
        Shape(K::Hann, "汉宁窗", "hann", "0.5 - 0.5·cos(2πu)", {}),
        Shape(K::Hamming, "汉明窗", "hamming", "0.54 - 0.46·cos(2πu)", {}),
        Shape(K::Blackman, "布莱克曼窗", "blackman", "0.42 - 0.5·cos(2πu) + 0.08·cos(4πu)", {}),
        Shape(K::UniformNoise, "均匀噪声", "uniformnoise", "2·g/2³² - 1，g 为 mt19937(seed) 的逐个输出",
              {Seed()}),
        Shape(K::GaussianNoise, "高斯噪声", "gaussiannoise",
              "σ·sqrt(-2·ln(a))·cos(2πb)，a = (g1+1)/2³²，b = g2/2³²，每点取 mt19937(seed) 的两个输出",
              {Seed(), Positive("标准差", "σ", "sigma", 0.3)}),
        Shape(K::Prbs, "PRBS", "prbs", "n 位移位寄存器的最长序列，1 为 +1，0 为 -1，每位保持 b 点",
              {order, Integer("每位点数", "b", "bitpoints", 1, 1, 16384)}),
    };
}

QString Number(double v)
{
    return QString::number(v, 'g', 12);
}

} // namespace

bool ShapeParameter::accepts(double value) const
{
    if (!std::isfinite(value))
        return false;
    if (!choices.empty())
        return std::find(choices.begin(), choices.end(), value) != choices.end();
    if (integer && value != std::floor(value))
        return false;
    const bool aboveMin = aboveMinimum ? value > minimum : value >= minimum;
    return aboveMin && value <= maximum;
}

QString ShapeParameter::rangeMessage() const
{
    if (!choices.empty()) {
        QStringList values;
        for (double c : choices)
            values << Number(c);
        return QStringLiteral("“%1”应为 %2 之一").arg(caption, values.join(QStringLiteral("、")));
    }
    if (integer)
        return QStringLiteral("“%1”应为 %2 到 %3 之间的整数").arg(caption, Number(minimum), Number(maximum));
    if (aboveMinimum)
        return QStringLiteral("“%1”应大于 %2 且不大于 %3").arg(caption, Number(minimum), Number(maximum));
    return QStringLiteral("“%1”应在 %2 到 %3 之间").arg(caption, Number(minimum), Number(maximum));
}

const std::vector<ShapeDescription> &ShapeLibrary()
{
    static const std::vector<ShapeDescription> library = BuildLibrary();
    return library;
}

const ShapeDescription &DescribeShape(ShapeKind kind)
{
    return ShapeLibrary()[static_cast<std::size_t>(kind)];
}

std::optional<ShapeKind> ShapeByKey(const QString &key)
{
    for (const ShapeDescription &d : ShapeLibrary())
        if (d.key == key)
            return d.kind;
    return std::nullopt;
}

const ShapeParameter &AmplitudeParameter()
{
    static const ShapeParameter p = Real("幅度", "", "amplitude", 1, -kMaxLevel, kMaxLevel);
    return p;
}

const ShapeParameter &OffsetParameter()
{
    static const ShapeParameter p = Real("偏移", "", "offset", 0, -kMaxLevel, kMaxLevel);
    return p;
}

ShapeParameter StartParameter(int pointCount)
{
    return Integer("起点", "", "start", 0, 0, pointCount - 1);
}

ShapeParameter EndParameter(int start, int pointCount)
{
    return Integer("终点", "", "end", pointCount - 1, start, pointCount - 1);
}

std::optional<double> ReadShapeValue(const ShapeParameter &parameter, const QString &text)
{
    const std::optional<double> value = ParseWaveDouble(text.toStdString());
    if (!value || !parameter.accepts(*value))
        return std::nullopt;
    return value;
}

ShapeSettings DefaultShapeSettings(ShapeKind kind)
{
    ShapeSettings s;
    s.kind = kind;
    for (const ShapeParameter &p : DescribeShape(kind).parameters)
        s.values.push_back(p.defaultValue);
    s.amplitude = AmplitudeParameter().defaultValue;
    s.offset = OffsetParameter().defaultValue;
    return s;
}

std::optional<ShapeRefusal> CheckShapeSettings(const ShapeSettings &settings)
{
    const ShapeDescription &d = DescribeShape(settings.kind);
    if (settings.values.size() != d.parameters.size())
        return ShapeRefusal{0, QStringLiteral("“%1”的参数个数不对").arg(d.caption)};
    for (std::size_t i = 0; i < d.parameters.size(); ++i)
        if (!d.parameters[i].accepts(settings.values[i]))
            return ShapeRefusal{static_cast<int>(i), d.parameters[i].rangeMessage()};
    if (!AmplitudeParameter().accepts(settings.amplitude))
        return ShapeRefusal{kAmplitudeField, AmplitudeParameter().rangeMessage()};
    if (!OffsetParameter().accepts(settings.offset))
        return ShapeRefusal{kOffsetField, OffsetParameter().rangeMessage()};
    if (settings.kind == ShapeKind::Trapezoid) {
        const std::vector<double> &v = settings.values;
        // Typed decimals need not add up exactly in binary: 0.34 + 0.56 + 0.1
        // is 1 as typed.
        if (v[1] + v[2] + v[3] > 1.0 + 1e-12)
            return ShapeRefusal{1, QStringLiteral("“上升”、“高”、“下降”之和应不大于 1")};
    }
    return std::nullopt;
}

std::optional<ShapeRefusal> CheckShapeRange(int start, int end, int pointCount)
{
    const ShapeParameter first = StartParameter(pointCount);
    if (!first.accepts(start))
        return ShapeRefusal{kShapeStartField, first.rangeMessage()};
    const ShapeParameter last = EndParameter(start, pointCount);
    if (!last.accepts(end))
        return ShapeRefusal{kShapeEndField, last.rangeMessage()};
    return std::nullopt;
}

} // namespace arb
