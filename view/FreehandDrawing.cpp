#include "view/FreehandDrawing.h"

#include "core/WaveDocument.h"
#include "view/PlotCanvas.h"
#include "view/WaveView.h"

#include <algorithm>
#include <cmath>

namespace arb
{

float DrawValueFromY(double y)
{
    if (std::isnan(y))
        y = 0.0;
    y = std::clamp(y, -1000000.0, 1000000.0);
    return static_cast<float>(std::floor(y / 1000.0) / 1000.0);
}

FreehandDrawing::FreehandDrawing(WaveDocument &document, PlotCanvas *canvas, WaveView *view, QObject *parent)
    : QObject(parent), document_(document), view_(view)
{
    connect(canvas, &PlotCanvas::mousePressed, this, &FreehandDrawing::onPress);
    connect(canvas, &PlotCanvas::mouseMoved, this, &FreehandDrawing::onMove);
    connect(canvas, &PlotCanvas::mouseReleased, this, [this] { onRelease(); });
}

void FreehandDrawing::onPress(Qt::MouseButton button, Qt::MouseButtons buttons, QPointF user)
{
    // A press whose button is no longer held by the time it arrives (a
    // message box raised by the focus change took the release) starts nothing.
    if (button != Qt::LeftButton || !(buttons & Qt::LeftButton) || drawing_)
        return;
    beginStroke(user);
}

void FreehandDrawing::onMove(Qt::MouseButtons buttons, QPointF user)
{
    if (drawing_ && (buttons & Qt::LeftButton)) {
        DrawStep(user.x(), user.y());
        return;
    }
    // The release went to another window: the stroke is over, and from here
    // the mouse only hovers.
    if (drawing_)
        endStroke();
    const double index = std::floor(user.x());
    const float value = static_cast<float>(std::floor(user.y() / 1000.0) / 1000.0);
    view_->setCurrentCoordinates(static_cast<int>(std::clamp(index, -1.0e9, 1.0e9)), value);
}

void FreehandDrawing::onRelease()
{
    if (drawing_)
        endStroke();
}

void FreehandDrawing::beginStroke(QPointF user)
{
    drawing_ = true;
    strokeFirst_ = kArbBufferSize;
    strokeLast_ = -1;
    emit strokeStarted();
    const double start = std::floor(user.x());
    view_->LastDrawIndex = static_cast<int>(
        std::clamp(start, static_cast<double>(view_->ViewStart()), static_cast<double>(view_->ViewEnd())));
    DrawStep(user.x(), user.y());
}

void FreehandDrawing::endStroke()
{
    if (!drawing_)
        return;
    drawing_ = false;
    emit strokeEnded(strokeFirst_, strokeLast_);
}

void FreehandDrawing::DrawStep(double x, double y)
{
    const double rounded = std::nearbyint(std::clamp(x, -1.0e9, 1.0e9));
    const int idx = static_cast<int>(
        std::clamp(rounded, static_cast<double>(view_->ViewStart()), static_cast<double>(view_->ViewEnd())));
    const float v = DrawValueFromY(y);
    // The plot redraws the strip around the line as the document announces it.
    document_.drawLine(view_->LastDrawIndex, idx, v);
    // The points written lie between the indices the steps reached.
    strokeFirst_ = std::min(strokeFirst_, idx);
    strokeLast_ = std::max(strokeLast_, idx);
    view_->LastDrawIndex = idx;
    view_->setCurrentCoordinates(idx, v);
}

} // namespace arb
