#include "view/WaveView.h"

#include "core/ArbStore.h"
#include "core/FormatValue.h"
#include "core/WaveDocument.h"
#include "view/PlotCanvas.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

namespace arb
{

namespace
{

constexpr double kTwipsPerPixel = 15.0;

int TwipsToPixels(double twips)
{
    return RoundHalfEven(twips / kTwipsPerPixel);
}

} // namespace

WaveView::WaveView(const WaveDocument &document, const Widgets &widgets, QObject *parent)
    : QObject(parent), store_(document.store()), w_(widgets)
{
    view_.ViewStart = 0;
    view_.ViewCount = RoundHalfEven(store_.ArbLength);
    if (w_.scroll) {
        // Only the end of a drag or a click moves the view.
        w_.scroll->setTracking(false);
        connect(w_.scroll, &QScrollBar::valueChanged, this, &WaveView::HScroll_XZoom_Change);
    }
    connect(&document, &WaveDocument::replaced, this, &WaveView::DrawWaveAll);
    connect(&document, &WaveDocument::lineDrawn, this, &WaveView::RedrawStep);
}

void WaveView::setLayoutFactors(float scaleX, float scaleY)
{
    scaleX_ = scaleX;
    scaleY_ = scaleY;
    labelsView_ = {-1, -1};
}

void WaveView::setView(int viewStart, int viewCount)
{
    view_.ViewStart = viewStart;
    view_.ViewCount = viewCount;
}

void WaveView::SetPlotScale()
{
    scale_ = ComputePlotScale(view_.ViewStart, view_.ViewCount);
    w_.canvas->setUserScale(scale_.PlotLeft, scale_.PlotTop, scale_.PlotRight, scale_.PlotBottom);
}

void WaveView::ClearPlot()
{
    w_.canvas->clear(PlotBackground());
    DrawGrid(view_.ViewStart, view_.ViewStart + view_.ViewCount - 1);
    LastDrawIndex = 0;
}

void WaveView::DrawGrid(int p, int q)
{
    const int n = view_.ViewCount;
    const GridBand band = ComputeGridBand(p, q, n, scale_.PlotLeft);
    const double lowX = band.lowX;
    const double highX = band.highX;

    setCurrentCoordinates(0, 0.0f);

    std::vector<UserLine> lines;
    lines.reserve(10 + 50 + 11);
    for (int i = 1; i <= 10; ++i) {
        const double x = GridLineX(i, n, scale_.PlotLeft);
        if (lowX <= x && x <= highX)
            lines.push_back({x, scale_.PlotTop, x, -1000000.0});
    }
    for (int i = 1; i <= 50; ++i) {
        const double x = TickX(i, n, scale_.PlotLeft);
        if (lowX <= x && x <= highX)
            lines.push_back({x, -40000.0, x, 40000.0});
    }
    for (int i = -5; i <= 5; ++i) {
        const double y = i * 200000.0;
        lines.push_back({static_cast<double>(p), y, highX, y});
    }
    w_.canvas->drawLines(lines, PlotGridColour());
    placeAxisLabels();
}

void WaveView::placeAxisLabels()
{
    const QRect c = w_.canvas->geometry();
    // The labels depend only on the view and the canvas: a stroke's many
    // narrow grid redraws leave them alone.
    if (c == labelsCanvas_ && view_.ViewStart == labelsView_.ViewStart &&
        view_.ViewCount == labelsView_.ViewCount)
        return;
    labelsCanvas_ = c;
    labelsView_ = view_;
    const double left = c.left() * kTwipsPerPixel;
    const double top = c.top() * kTwipsPerPixel;
    const double width = c.width() * kTwipsPerPixel;
    const double height = c.height() * kTwipsPerPixel;
    const int n = view_.ViewCount;

    for (int k = 0; k <= 10; ++k) {
        QLabel *label = w_.valueLabels[static_cast<std::size_t>(k)];
        if (!label)
            continue;
        const double x = left - 600.0 * scaleX_;
        const double y = top - 80.0 * scaleY_ + k * height / 10.0;
        label->move(TwipsToPixels(x), TwipsToPixels(y));
        label->setVisible(true);
    }
    for (int p = 0; p <= 10; ++p) {
        QLabel *label = w_.indexLabels[static_cast<std::size_t>(p)];
        if (!label)
            continue;
        int x = label->x();
        if (p != 10)
            x = TwipsToPixels(IndexLabelLeft(p, n, left, width, scaleX_));
        const double y = top + height + 100.0 * scaleY_;
        label->setText(IndexLabelCaption(p, n, view_.ViewStart));
        label->adjustSize();
        label->move(x, TwipsToPixels(y));
        label->setVisible(true);
    }
}

void WaveView::DrawSegment(int index1, float value1, int index2, float value2)
{
    w_.canvas->drawLine({static_cast<double>(index1), value1 * kValueScale, static_cast<double>(index2),
                         value2 * kValueScale},
                        PlotWaveColour());
}

void WaveView::setCurrentCoordinates(int index, float value)
{
    if (w_.currentX)
        w_.currentX->setText(QString::number(index));
    if (w_.currentY)
        w_.currentY->setText(QString::fromStdString(FormatValue6(value)));
}

void WaveView::DrawWaveAll()
{
    view_.ViewStart = 0;
    view_.ViewCount = RoundHalfEven(store_.ArbLength);
    if (w_.scroll) {
        const QSignalBlocker block(w_.scroll);
        w_.scroll->setMinimum(0);
        w_.scroll->setMaximum(RoundHalfEven(store_.ArbLength - static_cast<float>(view_.ViewCount)));
    }
    SetPlotScale();
    ClearPlot();

    const int last = store_.LastIndex();
    std::vector<UserLine> lines;
    lines.reserve(static_cast<std::size_t>(last + 1));
    float prev = store_.ArbData[0];
    for (int i = 0; i <= last; ++i) {
        const float v = store_.ArbData[static_cast<std::size_t>(i)];
        lines.push_back({i - 1.0, prev * kValueScale, static_cast<double>(i), v * kValueScale});
        prev = v;
    }
    w_.canvas->drawLines(lines, PlotWaveColour());
}

void WaveView::DrawRange(int a, int b)
{
    SetPlotScale();
    ClearPlot();
    a = std::max(a, 0);
    b = std::min(b, kArbBufferSize - 1);
    if (a > b)
        return;
    std::vector<UserLine> lines;
    lines.reserve(static_cast<std::size_t>(b - a + 1));
    float prev = store_.ArbData[static_cast<std::size_t>(a)];
    for (int i = a + 1; i <= b; ++i) {
        const float v = store_.ArbData[static_cast<std::size_t>(i)];
        lines.push_back({i - 1.0, prev * kValueScale, static_cast<double>(i), v * kValueScale});
        prev = v;
    }
    w_.canvas->drawLines(lines, PlotWaveColour());
}

void WaveView::eraseStrip(int a, int b)
{
    w_.canvas->fillRect(a, scale_.PlotTop, b, scale_.PlotBottom, PlotBackground());
    DrawGrid(a, b);
}

void WaveView::RedrawStep(int f, int idx)
{
    const int start = view_.ViewStart;
    const int end = view_.ViewEnd();
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
    w_.canvas->drawLines(pending_, PlotWaveColour());
    pending_.clear();
}

void WaveView::segment(int index1, float value1, int index2, float value2)
{
    pending_.push_back({static_cast<double>(index1), value1 * kValueScale, static_cast<double>(index2),
                        value2 * kValueScale});
}

void WaveView::RedrawRight(int n)
{
    const int k = (view_.ViewCount - 1) / 550;
    const int end = view_.ViewEnd();
    const auto &d = store_.ArbData;
    for (int j = n; j <= n + 1 + k; ++j) {
        if (j < end)
            segment(j, d[static_cast<std::size_t>(j)], j + 1, d[static_cast<std::size_t>(j + 1)]);
        else if (j == end)
            segment(j, d[static_cast<std::size_t>(j)], j, d[static_cast<std::size_t>(j)]);
    }
}

void WaveView::RedrawLeft(int n)
{
    const int k = (view_.ViewCount - 1) / 550;
    const int start = view_.ViewStart;
    const auto &d = store_.ArbData;
    for (int j = n; j >= n - 1 - k; --j) {
        if (j > start)
            segment(j, d[static_cast<std::size_t>(j)], j - 1, d[static_cast<std::size_t>(j - 1)]);
        else if (j == 0)
            segment(0, d[0], 0, d[0]);
    }
}

double WaveView::zoomFactor()
{
    if (!w_.zoomField)
        return 2.0;
    // A text the field's Enter rule would not keep (empty, not a number,
    // below 1) is corrected the same way before it is used.
    if (const auto f = ZoomFactorFromText(w_.zoomField->text()))
        return *f;
    w_.zoomField->setText(QStringLiteral("2"));
    return 2.0;
}

void WaveView::applyZoom(const ViewWindow &next)
{
    view_ = next;
    if (w_.scroll) {
        const QSignalBlocker block(w_.scroll);
        w_.scroll->setMinimum(0);
        w_.scroll->setMaximum(RoundHalfEven(store_.ArbLength - static_cast<float>(view_.ViewCount)));
        w_.scroll->setValue(view_.ViewStart);
        w_.scroll->setPageStep(std::max(1, view_.ViewCount / 10));
    }
    DrawRange(view_.ViewStart, view_.ViewEnd());
}

void WaveView::mnuArbZoomin_Click()
{
    if (const auto next = ZoomIn(view_, store_.ArbLength, zoomFactor()))
        applyZoom(*next);
}

void WaveView::mnuArbZoomout_Click()
{
    if (const auto next = ZoomOut(view_, store_.ArbLength, zoomFactor()))
        applyZoom(*next);
}

void WaveView::HScroll_XZoom_Change(int value)
{
    view_.ViewStart = value;
    DrawRange(view_.ViewStart, view_.ViewEnd());
}

} // namespace arb
