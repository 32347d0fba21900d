#pragma once

#include "core/ArbStore.h"
#include "view/PlotCanvas.h"

#include <QObject>
#include <QPointF>
#include <vector>

namespace arb
{

class WaveView;

// Value of a canvas height y (value x 1000000) as freehand drawing stores it:
// clamped to -1..+1 and quantised to steps of 0.001 towards minus infinity.
float DrawValueFromY(double y);

// Drawing the waveform with the left mouse button on the canvas. Each step
// erases and redraws only a narrow strip around the change. A stroke lasts
// while the left button is held: it ends on the release of any button, and
// on a move that arrives without the left button (its release went to
// another window, such as a message box).
class FreehandDrawing : public QObject
{
    Q_OBJECT
  public:
    FreehandDrawing(ArbStore &store, PlotCanvas *canvas, WaveView *view, QObject *parent = nullptr);

    bool MouseDrawing() const { return drawing_; }
    void DrawStep(double x, double y);

  signals:
    // A stroke begins before its first step and ends after its last; it
    // wrote no point outside first..last.
    void strokeStarted();
    void strokeEnded(int first, int last);

  private:
    void onPress(Qt::MouseButton button, Qt::MouseButtons buttons, QPointF user);
    void onMove(Qt::MouseButtons buttons, QPointF user);
    void onRelease();
    // Every stroke starts here, with its first step at user, and ends in
    // endStroke, whichever way it ends.
    void beginStroke(QPointF user);
    void endStroke();
    void eraseStrip(int a, int b);
    void RedrawRight(int n);
    void RedrawLeft(int n);
    // Segments of one step are drawn together once the strip is erased.
    void segment(int index1, float value1, int index2, float value2);

    std::vector<UserLine> pending_;

    ArbStore &store_;
    PlotCanvas *canvas_;
    WaveView *view_;
    bool drawing_ = false;
    // The indices the steps of the current stroke reached.
    int strokeFirst_ = 0;
    int strokeLast_ = -1;
};

} // namespace arb
