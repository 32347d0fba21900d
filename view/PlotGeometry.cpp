#include "view/PlotGeometry.h"

#include "core/ArbStore.h"

namespace arb
{

PlotScale ComputePlotScale(int viewStart, int viewCount)
{
    PlotScale s;
    s.PlotLeft = static_cast<float>(viewStart);
    const double margin = static_cast<double>(viewCount - 1) / 550.0;
    s.PlotRight = static_cast<float>(static_cast<double>(viewCount + viewStart - 1) + margin);
    return s;
}

GridBand ComputeGridBand(int p, int q, int viewCount, float plotLeft)
{
    const int k = (viewCount - 1) / 550;
    GridBand band;
    band.lowX = p - 1 - k;
    if (static_cast<float>(band.lowX) < plotLeft)
        band.lowX = RoundHalfEven(plotLeft);
    band.highX = q + 1 + k;
    const double lastVisible = static_cast<double>(viewCount) + static_cast<double>(plotLeft) - 1.0;
    if (lastVisible < static_cast<double>(band.highX))
        band.highX = RoundHalfEven(lastVisible);
    return band;
}

double GridLineX(int i, int viewCount, float plotLeft)
{
    return static_cast<double>(viewCount - 1) * i / 10.0 + static_cast<double>(plotLeft);
}

double TickX(int i, int viewCount, float plotLeft)
{
    return static_cast<double>(viewCount - 1) * i / 50.0 + static_cast<double>(plotLeft);
}

QString GeneralNumber(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7);
}

QString IndexLabelCaption(int p, int viewCount, int viewStart)
{
    const float v = static_cast<float>(static_cast<double>(p) * (viewCount - 1) / 10.0 + viewStart);
    return GeneralNumber(v);
}

double IndexLabelLeft(int p, int viewCount, double canvasLeft, double canvasWidth, float scaleX)
{
    const double n1 = static_cast<double>(viewCount - 1);
    const double w = n1 * canvasWidth / (n1 / 550.0 + n1);
    return p * w / 10.0 + canvasLeft - 100.0 * static_cast<double>(scaleX);
}

} // namespace arb
