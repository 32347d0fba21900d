#include "view/ZoomRules.h"

#include "core/ArbStore.h"
#include "view/PlotGeometry.h"

#include <cmath>

namespace arb
{

namespace
{

std::optional<float> ZoomTextValue(const QString &text)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

std::optional<double> ZoomFactorFromText(const QString &text)
{
    bool ok = false;
    const double f = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(f) || f < 1.0)
        return std::nullopt;
    return f;
}

QString NormalizeZoomText(const QString &text)
{
    const auto v = ZoomTextValue(text);
    if (!v || *v < 1.0f)
        return QStringLiteral("2");
    return GeneralNumber(*v);
}

std::optional<ViewWindow> ZoomIn(const ViewWindow &view, float arbLength, double factor)
{
    if (factor == 1.0 || view.ViewCount <= kMinViewCount)
        return std::nullopt;
    ViewWindow next;
    next.ViewCount = RoundHalfEven(view.ViewCount / factor);
    if (next.ViewCount < kMinViewCount)
        next.ViewCount = kMinViewCount;
    next.ViewStart = RoundHalfEven((static_cast<double>(arbLength) - next.ViewCount) / 2.0);
    return next;
}

std::optional<ViewWindow> ZoomOut(const ViewWindow &view, float arbLength, double factor)
{
    if (factor == 1.0 || !(static_cast<float>(view.ViewCount) < arbLength))
        return std::nullopt;
    ViewWindow next;
    const double wider = view.ViewCount * factor;
    // Compare before rounding to an int so a huge factor cannot overflow.
    if (wider >= static_cast<double>(arbLength))
        next.ViewCount = RoundHalfEven(arbLength);
    else
        next.ViewCount = RoundHalfEven(wider);
    if (static_cast<float>(next.ViewCount) >= arbLength)
        next.ViewCount = RoundHalfEven(arbLength);
    next.ViewStart = RoundHalfEven((static_cast<double>(arbLength) - next.ViewCount) / 2.0);
    if (next.ViewStart < 0)
        next.ViewStart = 0;
    return next;
}

} // namespace arb
