#include "core/equation/EquationOutcome.h"

#include "core/equation/WaveEquation.h"

#include <algorithm>
#include <cmath>

namespace arb
{

namespace
{

QString Number(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

QString EquationOutcome::status() const
{
    if (error.isError())
        return error.text();
    if (badRange)
        return QStringLiteral("起点不能大于终点");
    if (nonFinitePoint >= 0)
        return QStringLiteral("第 %1 点的结果不是有限数").arg(nonFinitePoint);
    QString s = QStringLiteral("结果范围 %1 ～ %2").arg(Number(min), Number(max));
    if (beyond > 0)
        s += QStringLiteral("，有 %1 个点超出 ±1").arg(beyond);
    return s;
}

EquationOutcome ComputeEquation(WaveEquation &equation, const EquationChoices &choices, const float *values,
                                int count)
{
    EquationOutcome out;
    out.error = equation.setText(choices.text);
    if (out.error.isError())
        return out;
    if (choices.first < 0 || choices.last >= count || choices.first > choices.last) {
        out.badRange = true;
        return out;
    }
    EquationPoints p;
    p.values = values;
    p.count = count;
    p.first = choices.first;
    p.last = choices.last;
    p.seed = choices.seed;
    std::vector<double> v(static_cast<std::size_t>(p.last - p.first + 1));
    equation.evaluate(p, v.data());

    const auto bad = std::find_if(v.begin(), v.end(), [](double d) { return !std::isfinite(d); });
    if (bad != v.end()) {
        out.nonFinitePoint = p.first + static_cast<int>(bad - v.begin());
        return out;
    }
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    out.min = *lo;
    out.max = *hi;
    out.beyond =
        static_cast<int>(std::count_if(v.begin(), v.end(), [](double d) { return std::fabs(d) > 1; }));

    const double peak = std::max(std::fabs(out.min), std::fabs(out.max));
    out.points.reserve(v.size());
    for (double d : v) {
        if (out.beyond > 0 && choices.overflow == EquationOverflow::ScaleToPeak)
            d /= peak;
        else if (out.beyond > 0)
            d = std::clamp(d, -1.0, 1.0);
        out.points.push_back(static_cast<float>(d));
    }
    return out;
}

} // namespace arb
