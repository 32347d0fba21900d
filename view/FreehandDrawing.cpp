#include "view/FreehandDrawing.h"

#include "core/ArbStore.h"
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

FreehandDrawing::FreehandDrawing(ArbStore &store, PlotCanvas *canvas, WaveView *view, QObject *parent)
    : QObject(parent), store_(store), canvas_(canvas), view_(view)
{
    connect(canvas_, &PlotCanvas::mousePressed, this, &FreehandDrawing::onPress);
    connect(canvas_, &PlotCanvas::mouseMoved, this, &FreehandDrawing::onMove);
    connect(canvas_, &PlotCanvas::mouseReleased, this, [this] { onRelease(); });
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

void FreehandDrawing::eraseStrip(int a, int b)
{
    const PlotScale &s = view_->plotScale();
    canvas_->fillRect(a, s.PlotTop, b, s.PlotBottom, PlotBackground());
    view_->DrawGrid(a, b);
}

void FreehandDrawing::DrawStep(double x, double y)
{
    const int start = view_->ViewStart();
    const int end = view_->ViewEnd();
    const double rounded = std::nearbyint(std::clamp(x, -1.0e9, 1.0e9));
    const int idx =
        static_cast<int>(std::clamp(rounded, static_cast<double>(start), static_cast<double>(end)));
    const float v = DrawValueFromY(y);
    InterpolateTo(store_, view_->LastDrawIndex, idx, v);
    // The points written lie between the indices the steps reached.
    strokeFirst_ = std::min(strokeFirst_, idx);
    strokeLast_ = std::max(strokeLast_, idx);

    const int f = view_->LastDrawIndex;
    const auto &d = store_.ArbData;
    if (f < idx) {
        eraseStrip(f, std::min(idx + 1, end));
        segment(f, d[static_cast<std::size_t>(f)], idx, d[static_cast<std::size_t>(idx)]);
        RedrawRight(idx);
        RedrawLeft(f);
    } else if (idx < f) {
        eraseStrip(std::max(idx - 1, start), f);
        segment(f, d[static_cast<std::size_t>(f)], idx, d[static_cast<std::size_t>(idx)]);
        RedrawLeft(idx);
        RedrawRight(f);
    } else if (idx == start) {
        eraseStrip(idx, idx + 1);
        RedrawRight(idx);
    } else if (idx == end) {
        eraseStrip(idx - 1, idx);
        RedrawLeft(idx);
    } else {
        eraseStrip(idx - 1, idx + 1);
        RedrawLeft(idx);
        RedrawRight(idx);
    }
    canvas_->drawLines(pending_, PlotWaveColour());
    pending_.clear();
    view_->LastDrawIndex = idx;
    view_->setCurrentCoordinates(idx, v);
}

void FreehandDrawing::segment(int index1, float value1, int index2, float value2)
{
    pending_.push_back({static_cast<double>(index1), value1 * kValueScale, static_cast<double>(index2),
                        value2 * kValueScale});
}

void FreehandDrawing::RedrawRight(int n)
{
    const int k = (view_->ViewCount() - 1) / 550;
    const int end = view_->ViewEnd();
    const auto &d = store_.ArbData;
    for (int j = n; j <= n + 1 + k; ++j) {
        if (j < end)
            segment(j, d[static_cast<std::size_t>(j)], j + 1, d[static_cast<std::size_t>(j + 1)]);
        else if (j == end)
            segment(j, d[static_cast<std::size_t>(j)], j, d[static_cast<std::size_t>(j)]);
    }
}

void FreehandDrawing::RedrawLeft(int n)
{
    const int k = (view_->ViewCount() - 1) / 550;
    const int start = view_->ViewStart();
    const auto &d = store_.ArbData;
    for (int j = n; j >= n - 1 - k; --j) {
        if (j > start)
            segment(j, d[static_cast<std::size_t>(j)], j - 1, d[static_cast<std::size_t>(j - 1)]);
        else if (j == 0)
            segment(0, d[0], 0, d[0]);
    }
}

} // namespace arb
