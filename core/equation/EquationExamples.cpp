#include "core/equation/EquationExamples.h"

namespace arb
{

const std::vector<EquationExample> &EquationExamples()
{
    static const std::vector<EquationExample> examples = {
        {QStringLiteral("线性扫频（每个波形 1 到 10 个周期）"), QStringLiteral("sin(2*pi*(x + 4.5*x^2))")},
        {QStringLiteral("衰减正弦"), QStringLiteral("exp(-5*x) * sin(2*pi*10*x)")},
        {QStringLiteral("高斯脉冲"), QStringLiteral("gauss((x - 0.5) * 20)")},
        {QStringLiteral("sinc 脉冲"), QStringLiteral("sinc(20 * (x - 0.5))")},
        {QStringLiteral("调幅（AM，调制度 50%）"),
         QStringLiteral("(1 + 0.5*sin(2*pi*2*x)) * sin(2*pi*20*x) / 1.5")},
        {QStringLiteral("给当前波形加半正弦包络"), QStringLiteral("y * sin(pi*u)")},
        {QStringLiteral("当前波形三点平滑"), QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3")},
        {QStringLiteral("脉冲串（8 个脉冲，占空比 20%）"), QStringLiteral("pwm(8*x, 0.2)")},
        {QStringLiteral("当前波形加噪声"), QStringLiteral("clip(y + 0.05*randn(), -1, 1)")},
        {QStringLiteral("前半段一个周期，后半段为 0"), QStringLiteral("x < 0.5 ? sin(4*pi*x) : 0")},
    };
    return examples;
}

QString FirstEquation()
{
    return QStringLiteral("sin(2*pi*x)");
}

} // namespace arb
