#pragma once

#include <QString>

namespace arb
{

// Vertical user coordinate of a point value: value x 1000000.
constexpr double kValueScale = 1000000.0;
constexpr float kPlotTop = 1000000.0f;
constexpr float kPlotBottom = -1007600.0f;

// The canvas's user coordinate system for a view of viewCount points from
// viewStart: the last visible point lies (viewCount - 1) / 550 index units
// left of the right edge.
struct PlotScale {
    float PlotLeft = 0.0f;
    float PlotRight = 0.0f;
    float PlotTop = kPlotTop;
    float PlotBottom = kPlotBottom;
};
PlotScale ComputePlotScale(int viewStart, int viewCount);

// The band of the canvas that a grid redraw around indices p..q touches.
struct GridBand {
    int lowX = 0;
    int highX = 0;
};
GridBand ComputeGridBand(int p, int q, int viewCount, float plotLeft);

// Horizontal position of vertical grid line i (1..10) and of tick i (1..50).
double GridLineX(int i, int viewCount, float plotLeft);
double TickX(int i, int viewCount, float plotLeft);

// Caption of index label P (0..10): P x (n - 1) / 10 + viewStart as a single
// in general number format ("20", "39.9", "1638.3").
QString IndexLabelCaption(int p, int viewCount, int viewStart);

// A single in general number format: up to seven significant digits, no
// trailing zeros.
QString GeneralNumber(float value);

// Left edge, in twips, of index label P (0..9) for a canvas at canvasLeft of
// canvasWidth twips.
double IndexLabelLeft(int p, int viewCount, double canvasLeft, double canvasWidth, float scaleX);

} // namespace arb
