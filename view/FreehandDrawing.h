#pragma once

#include "core/ArbStore.h"

#include <QObject>
#include <QPointF>

namespace arb
{

class PlotCanvas;
class WaveDocument;
class WaveView;

// Value of a canvas height y (value x 1000000) as freehand drawing stores it:
// clamped to -1..+1 and quantised to steps of 0.001 towards minus infinity.
float DrawValueFromY(double y);

// Drawing the waveform with the left mouse button on the canvas. Each step
// draws a straight line of points into the document from the point the last
// step reached (InterpolateTo's line); the plot redraws only a narrow strip
// around it. A stroke lasts while the left button is held: it ends on the
// release of any button, and on a move that arrives without the left button
// (its release went to another window, such as a message box).
class FreehandDrawing : public QObject
{
    Q_OBJECT
  public:
    FreehandDrawing(WaveDocument &document, PlotCanvas *canvas, WaveView *view, QObject *parent = nullptr);

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

    WaveDocument &document_;
    WaveView *view_;
    bool drawing_ = false;
    // The indices the steps of the current stroke reached.
    int strokeFirst_ = 0;
    int strokeLast_ = -1;
};

} // namespace arb
