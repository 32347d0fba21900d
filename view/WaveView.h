#pragma once

#include "view/PlotGeometry.h"
#include "view/ZoomRules.h"

#include <QObject>
#include <QRect>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QScrollBar;

namespace arb
{

struct ArbStore;
class PlotCanvas;

// The plot of the waveform: the view window over the points, the canvas's
// coordinate system, grid and axis labels, the full and partial redraws, zoom
// and panning.
class WaveView : public QObject
{
    Q_OBJECT
  public:
    struct Widgets {
        PlotCanvas *canvas = nullptr;
        QScrollBar *scroll = nullptr;           // HScroll_XZoom
        QLineEdit *zoomField = nullptr;         // txtScale
        std::array<QLabel *, 11> valueLabels{}; // Label_Y_coordinate(0..10)
        std::array<QLabel *, 11> indexLabels{}; // Label_X_coordinate(0..10)
        QLabel *currentX = nullptr;             // LblArbCurrentXPoint
        QLabel *currentY = nullptr;             // LblArbCurrentYPoint
    };

    WaveView(ArbStore &store, const Widgets &widgets, QObject *parent = nullptr);

    // Layout factors used to place the axis labels.
    void setLayoutFactors(float scaleX, float scaleY);
    // Runs first in every full redraw (the name field's reset).
    void setBeforeFullRedraw(std::function<void()> hook) { beforeFullRedraw_ = std::move(hook); }

    int ViewStart() const { return view_.ViewStart; }
    int ViewCount() const { return view_.ViewCount; }
    int ViewEnd() const { return view_.ViewEnd(); }
    void setView(int viewStart, int viewCount);
    const PlotScale &plotScale() const { return scale_; }

    void SetPlotScale();
    void ClearPlot();
    void DrawGrid(int p, int q);
    void DrawSegment(int index1, float value1, int index2, float value2);
    void DrawWaveAll();
    void DrawRange(int a, int b);

    // The read-outs of the index and value under the mouse or last drawn.
    void setCurrentCoordinates(int index, float value);

    // Index of the last point a freehand stroke drew; a cleared plot starts
    // over at 0.
    int LastDrawIndex = 0;

  public slots:
    void mnuArbZoomin_Click();
    void mnuArbZoomout_Click();
    void mnuArbZoomNo_Click() { DrawWaveAll(); }
    void HScroll_XZoom_Change(int value);

  private:
    double zoomFactor();
    void applyZoom(const ViewWindow &next);
    void placeAxisLabels();

    ArbStore &store_;
    Widgets w_;
    ViewWindow view_;
    PlotScale scale_;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    // The view and canvas the axis labels were last placed for.
    QRect labelsCanvas_;
    ViewWindow labelsView_{-1, -1};
    std::function<void()> beforeFullRedraw_;
};

} // namespace arb
