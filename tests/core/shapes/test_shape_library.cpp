// The shapes of "更多波形": their list, parameters and ranges, the refusals,
// and the write into a range of the waveform with the scaling rule.
#include "core/ArbStore.h"
#include "core/shapes/ShapeLibrary.h"
#include "core/shapes/ShapeSynthesis.h"

#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace arb;

namespace
{

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Compute(const ShapeSettings &s, int count)
{
    std::vector<float> out(static_cast<std::size_t>(count), 7.0f);
    EXPECT_TRUE(ComputeShape(s, count, out.data()).computed);
    return out;
}

ShapeSettings With(ShapeKind kind, std::vector<double> values, double amplitude = 1.0, double offset = 0.0)
{
    ShapeSettings s;
    s.kind = kind;
    s.values = std::move(values);
    s.amplitude = amplitude;
    s.offset = offset;
    return s;
}

} // namespace

TEST(ShapeLibrary, ListCaptionsAndParametersInTheirOrder)
{
    QStringList captions;
    for (const ShapeDescription &d : ShapeLibrary())
        captions << d.caption;
    EXPECT_EQ(
        captions.join(QLatin1Char('|')),
        QStringLiteral("正弦|方波（占空比）|三角波（对称度）|梯形脉冲|sinc|高斯脉冲|洛伦兹脉冲|指数上升|"
                       "指数衰减|衰减正弦|升余弦（haversine）|全波整流正弦|半波整流正弦|线性调频|调幅|调"
                       "频|阶梯|直流|汉宁窗|汉明窗|布莱克曼窗|均匀噪声|高斯噪声|PRBS"));
    // Every shape sits at the index of its kind, and its key finds it.
    for (std::size_t i = 0; i < ShapeLibrary().size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(ShapeLibrary()[i].kind), i);
        EXPECT_EQ(ShapeByKey(ShapeLibrary()[i].key), ShapeLibrary()[i].kind);
    }
    EXPECT_FALSE(ShapeByKey(QStringLiteral("nosuchshape")));

    EXPECT_EQ(AmplitudeParameter().defaultValue, 1.0);
    EXPECT_EQ(OffsetParameter().defaultValue, 0.0);
    // The defaults of every shape are values it takes.
    for (const ShapeDescription &d : ShapeLibrary())
        EXPECT_FALSE(CheckShapeSettings(DefaultShapeSettings(d.kind))) << d.caption.toStdString();
}

TEST(ShapeLibrary, RefusedValuesNameTheFieldAndItsRange)
{
    const auto refusal = [](const ShapeSettings &s) {
        const std::optional<ShapeRefusal> r = CheckShapeSettings(s);
        return r ? QStringLiteral("%1 %2").arg(r->field).arg(r->message) : QString();
    };
    EXPECT_EQ(refusal(With(ShapeKind::Square, {1, 1.5})), QStringLiteral("1 “占空比”应在 0 到 1 之间"));
    EXPECT_EQ(refusal(With(ShapeKind::Square, {1, -0.01})), QStringLiteral("1 “占空比”应在 0 到 1 之间"));
    EXPECT_EQ(refusal(With(ShapeKind::Square, {1, 1})), QString());
    EXPECT_EQ(refusal(With(ShapeKind::Trapezoid, {1, 0.5, 0.3, 0.3})),
              QStringLiteral("1 “上升”、“高”、“下降”之和应不大于 1"));
    // Decimals that add up to 1 as typed are taken, though in binary
    // 0.34 + 0.56 + 0.1 comes to 1.0000000000000002.
    EXPECT_EQ(refusal(With(ShapeKind::Trapezoid, {1, 0.34, 0.56, 0.1})), QString());
    EXPECT_EQ(refusal(With(ShapeKind::Gaussian, {0, 0.5})),
              QStringLiteral("0 “宽度σ”应大于 0 且不大于 1000"));
    EXPECT_EQ(refusal(With(ShapeKind::ExpRise, {0})), QStringLiteral("0 “时间常数”应大于 0 且不大于 1000"));
    EXPECT_EQ(refusal(With(ShapeKind::ExpDecay, {-0.2})),
              QStringLiteral("0 “时间常数”应大于 0 且不大于 1000"));
    EXPECT_EQ(refusal(With(ShapeKind::GaussianNoise, {1, 0})),
              QStringLiteral("1 “标准差”应大于 0 且不大于 1000"));
    EXPECT_EQ(refusal(With(ShapeKind::Staircase, {1})),
              QStringLiteral("0 “台阶数”应为 2 到 1000 之间的整数"));
    EXPECT_EQ(refusal(With(ShapeKind::Staircase, {2.5})),
              QStringLiteral("0 “台阶数”应为 2 到 1000 之间的整数"));
    EXPECT_EQ(refusal(With(ShapeKind::Staircase, {1001})),
              QStringLiteral("0 “台阶数”应为 2 到 1000 之间的整数"));
    EXPECT_EQ(refusal(With(ShapeKind::Prbs, {8, 1})), QStringLiteral("0 “阶数”应为 7、9、15、23、31 之一"));
    EXPECT_EQ(refusal(With(ShapeKind::Prbs, {7, 0})),
              QStringLiteral("1 “每位点数”应为 1 到 16384 之间的整数"));
    EXPECT_EQ(refusal(With(ShapeKind::UniformNoise, {4294967296.0})),
              QStringLiteral("0 “随机种子”应为 0 到 4294967295 之间的整数"));
    EXPECT_EQ(refusal(With(ShapeKind::UniformNoise, {4294967295.0})), QString());
    EXPECT_EQ(refusal(With(ShapeKind::Sine, {1, 0}, std::numeric_limits<double>::quiet_NaN())),
              QStringLiteral("-2 “幅度”应在 -1000 到 1000 之间"));
    EXPECT_EQ(refusal(With(ShapeKind::Sine, {std::numeric_limits<double>::infinity(), 0})),
              QStringLiteral("0 “周期数”应在 0 到 16384 之间"));
    EXPECT_EQ(refusal(With(ShapeKind::Dc, {0.5}, 1, 1e6)),
              QStringLiteral("-1 “偏移”应在 -1000 到 1000 之间"));
    EXPECT_EQ(refusal(With(ShapeKind::Sine, {1})), QStringLiteral("0 “正弦”的参数个数不对"));

    // Refused settings compute nothing.
    std::vector<float> out(4, 7.0f);
    EXPECT_FALSE(ComputeShape(With(ShapeKind::Square, {1, 2}), 4, out.data()).computed);
    EXPECT_FALSE(ComputeShape(DefaultShapeSettings(ShapeKind::Sine), 0, out.data()).computed);
    EXPECT_EQ(out, std::vector<float>(4, 7.0f));
}

TEST(ShapeLibrary, FieldTextsAndTheRange)
{
    const ShapeParameter &duty = DescribeShape(ShapeKind::Square).parameters[1];
    EXPECT_EQ(ReadShapeValue(duty, QStringLiteral(" 0.25 ")), 0.25);
    EXPECT_EQ(ReadShapeValue(duty, QStringLiteral("5E-1")), 0.5);
    for (const char *text : {"", "-", "abc", "0,5", "1.5", "inf", "nan", "0.5x"})
        EXPECT_FALSE(ReadShapeValue(duty, QString::fromLatin1(text))) << text;

    EXPECT_FALSE(CheckShapeRange(0, 200, 201));
    EXPECT_FALSE(CheckShapeRange(7, 7, 201));
    EXPECT_EQ(CheckShapeRange(-1, 200, 201)->message, QStringLiteral("“起点”应为 0 到 200 之间的整数"));
    EXPECT_EQ(CheckShapeRange(10, 9, 201)->message, QStringLiteral("“终点”应为 10 到 200 之间的整数"));
    EXPECT_EQ(CheckShapeRange(10, 201, 201)->field, kShapeEndField);
}

TEST(ShapeLibrary, OnlyTheRangeChanges)
{
    ArbStore store;
    store.ArbLength = 40;
    store.ArbData.fill(7.0f);
    ShapeRequest r;
    r.settings = With(ShapeKind::Sine, {1, 0});
    r.start = 10;
    r.end = 19;
    ASSERT_TRUE(WriteShape(store, r).computed);
    // u = (i - 10)/10 over the range, with π in full.
    for (int i = 10; i <= 19; ++i)
        EXPECT_FLOAT_EQ(store.ArbData[static_cast<std::size_t>(i)],
                        static_cast<float>(std::sin(2 * kPi * (i - 10) / 10.0)))
            << i;
    for (int i : {0, 9, 20, 39, 40, 16384})
        EXPECT_EQ(store.ArbData[static_cast<std::size_t>(i)], 7.0f) << i;
    EXPECT_EQ(store.ArbLength, 40.0f);

    // A range beyond the points in use writes nothing.
    r.start = 30;
    r.end = 40;
    EXPECT_FALSE(WriteShape(store, r).computed);
    r.start = 20;
    r.end = 19;
    EXPECT_FALSE(WriteShape(store, r).computed);
    EXPECT_EQ(store.ArbData[39], 7.0f);
    EXPECT_EQ(store.ArbData[20], 7.0f);

    // The last point in use and a one-point range (u = 0 only).
    r.start = 39;
    r.end = 39;
    r.settings = With(ShapeKind::Dc, {-0.25});
    ASSERT_TRUE(WriteShape(store, r).computed);
    EXPECT_EQ(store.ArbData[39], -0.25f);
    EXPECT_EQ(store.ArbData[40], 7.0f);
}

TEST(ShapeLibrary, ResultsBeyondOneDivideTheWholeRangeByItsPeak)
{
    // amplitude 2: 0, 2, ~0, -2 divided by 2, not clipped.
    ShapeOutcome outcome;
    std::vector<float> out(4);
    outcome = ComputeShape(With(ShapeKind::Sine, {1, 0}, 2.0), 4, out.data());
    EXPECT_TRUE(outcome.divided);
    EXPECT_EQ(outcome.peak, 2.0);
    EXPECT_EQ(out[1], 1.0f);
    EXPECT_EQ(out[3], -1.0f);
    EXPECT_FLOAT_EQ(out[2], static_cast<float>(2 * std::sin(kPi) / 2));

    // Offset 0.5: 0.5, 1.5, 0.5, -0.5, divided by 1.5.
    outcome = ComputeShape(With(ShapeKind::Sine, {1, 0}, 1.0, 0.5), 4, out.data());
    EXPECT_TRUE(outcome.divided);
    EXPECT_DOUBLE_EQ(outcome.peak, 1.5);
    EXPECT_FLOAT_EQ(out[0], static_cast<float>(0.5 / 1.5));
    EXPECT_EQ(out[1], 1.0f);
    EXPECT_FLOAT_EQ(out[3], static_cast<float>(-0.5 / 1.5));

    // Exactly ±1 and below are kept as they are.
    outcome = ComputeShape(With(ShapeKind::Square, {1, 0.5}), 4, out.data());
    EXPECT_FALSE(outcome.divided);
    EXPECT_EQ(out, (std::vector<float>{1, 1, -1, -1}));
    outcome = ComputeShape(With(ShapeKind::Square, {1, 0.5}, -0.5, 0.25), 4, out.data());
    EXPECT_FALSE(outcome.divided);
    EXPECT_EQ(out, (std::vector<float>{-0.25f, -0.25f, 0.75f, 0.75f}));

    // A level beyond 1 through amplitude and offset becomes 1 or -1.
    EXPECT_EQ(Compute(With(ShapeKind::Dc, {0.5}, 3.0), 5), std::vector<float>(5, 1.0f));
    EXPECT_EQ(Compute(With(ShapeKind::Dc, {-1}, 1.0, -0.5), 5), std::vector<float>(5, -1.0f));
}
