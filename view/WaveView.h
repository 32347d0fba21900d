#pragma once

#include "view/PlotCanvas.h"
#include "view/PlotGeometry.h"
#include "view/ZoomRules.h"

#include <QObject>
#include <QRect>
#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QScrollBar;

namespace arb
{

struct ArbStore;
class WaveDocument;

// The plot of the waveform: the view window over the points, the canvas's
// coordinate system, grid and axis labels, the full and partial redraws, zoom
// and panning. It follows the document: a new waveform is drawn in full, a
// freehand step is redrawn in the narrow strip around it.
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

    WaveView(const WaveDocument &document, const Widgets &widgets, QObject *parent = nullptr);

    // Layout factors used to place the axis labels.
    void setLayoutFactors(float scaleX, float scaleY);

    int ViewStart() const { return view_.ViewStart; }
    int ViewCount() const { return view_.ViewCount; }
    int ViewEnd() const { return view_.ViewEnd(); }
    void setView(int viewStart, int viewCount);
    const PlotScale &plotScale() const { return scale_; }

    void SetPlotScale();
    void ClearPlot();
    void DrawGrid(int p, int q);
    void DrawSegment(int index1, float value1, int index2, float value2);
    // The view reset to the whole waveform, and the waveform drawn in full.
    void DrawWaveAll();
    void DrawRange(int a, int b);
    // A freehand step from point f to point idx: a strip of the canvas
    // around them erased, and the waveform drawn again in it.
    void RedrawStep(int f, int idx);

    // The read-outs of the index and value under the mouse or last drawn.
    void setCurrentCoordinates(int index, float value);

    // Index of the last point a freehand stroke drew; a cleared plot starts
    // over at 0.
    int LastDrawIndex = 0;

  public slots:
    void mnuArbZoomin_Click();
    void mnuArbZoomout_Click();
    void HScroll_XZoom_Change(int value);

  private:
    double zoomFactor();
    void applyZoom(const ViewWindow &next);
    void placeAxisLabels();
    void eraseStrip(int a, int b);
    // The few segments right and left of point n that a step redraws.
    void RedrawRight(int n);
    void RedrawLeft(int n);
    // Segments of one step are drawn together once the strip is erased.
    void segment(int index1, float value1, int index2, float value2);

    const ArbStore &store_;
    Widgets w_;
    ViewWindow view_;
    PlotScale scale_;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    // The view and canvas the axis labels were last placed for.
    QRect labelsCanvas_;
    ViewWindow labelsView_{-1, -1};
    std::vector<UserLine> pending_;
};

} // namespace arb
