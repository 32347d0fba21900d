#pragma once

#include <QRectF>

class QWidget;

namespace arb
{

constexpr double kTwipsPerPixel = 15.0;
constexpr double kDesignFontPoints = 9.0;

// Factors of the screen work area against the 1024 x 768 design.
struct LayoutFactors {
    float ScaleX = 1.0f;
    float ScaleY = 1.0f;
};
LayoutFactors ComputeLayoutFactors(int workAreaWidth, int workAreaHeight);

// The main window's place in twips: left 30, top 0, 11750 x 10000, scaled.
QRectF MainWindowTwips(const LayoutFactors &f);

// Design geometry of a control, in twips relative to its parent.
void SetDesignTwips(QWidget *widget, int left, int top, int width, int height);

// Scales the window's font and every control that carries a design geometry;
// the main window is also placed on the screen.
void LayoutScale(QWidget *window, const LayoutFactors &f, bool isMainWindow);

} // namespace arb
