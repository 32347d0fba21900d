#include "view/PlotCanvas.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace arb
{

namespace
{

// Keeps far-off coordinates (values beyond the plot, lines reaching left of
// the canvas) in a range the raster engine clips without overflow.
int ClampPixel(double v)
{
    return static_cast<int>(std::floor(std::clamp(v, -1.0e6, 1.0e6)));
}

} // namespace

PlotCanvas::PlotCanvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    ensureImage();
}

void PlotCanvas::setUserScale(double left, double top, double right, double bottom)
{
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

QPoint PlotCanvas::toPixel(double x, double y) const
{
    const double w = right_ - left_;
    const double h = bottom_ - top_;
    const double px = w != 0.0 ? (x - left_) * width() / w : 0.0;
    const double py = h != 0.0 ? (y - top_) * height() / h : 0.0;
    return {ClampPixel(px), ClampPixel(py)};
}

QPointF PlotCanvas::toUser(const QPointF &pixel) const
{
    const double x = left_ + pixel.x() * (right_ - left_) / std::max(1, width());
    const double y = top_ + pixel.y() * (bottom_ - top_) / std::max(1, height());
    return {x, y};
}

QLine PlotCanvas::toPixelLine(const UserLine &line) const
{
    return QLine(toPixel(line.x1, line.y1), toPixel(line.x2, line.y2));
}

void PlotCanvas::ensureImage()
{
    const QSize want = size().expandedTo(QSize(1, 1));
    if (image_.size() != want) {
        image_ = QImage(want, QImage::Format_RGB32);
        image_.fill(PlotBackground());
    }
}

void PlotCanvas::clear(const QColor &colour)
{
    ensureImage();
    image_.fill(colour);
    update();
}

void PlotCanvas::drawLine(const UserLine &line, const QColor &colour)
{
    ensureImage();
    QPainter p(&image_);
    p.setPen(QPen(colour, 0));
    const QLine l = toPixelLine(line);
    if (l.p1() == l.p2())
        p.drawPoint(l.p1());
    else
        p.drawLine(l);
    update();
}

void PlotCanvas::drawLines(const std::vector<UserLine> &lines, const QColor &colour)
{
    if (lines.empty())
        return;
    ensureImage();
    // With more points than pixel columns most segments of a waveform lie in
    // one column: consecutive ones there are merged into a single vertical
    // run, which covers the same pixels with far fewer lines.
    std::vector<QLine> pixels;
    std::vector<QPoint> dots;
    pixels.reserve(std::min<std::size_t>(lines.size(), 4 * static_cast<std::size_t>(width()) + 16));
    bool open = false;
    int runX = 0, runTop = 0, runBottom = 0;
    auto flush = [&] {
        if (!open)
            return;
        if (runTop == runBottom)
            dots.emplace_back(runX, runTop);
        else
            pixels.emplace_back(runX, runTop, runX, runBottom);
        open = false;
    };
    for (const UserLine &l : lines) {
        const QLine pl = toPixelLine(l);
        if (pl.x1() != pl.x2()) {
            flush();
            pixels.push_back(pl);
            continue;
        }
        const int top = std::min(pl.y1(), pl.y2());
        const int bottom = std::max(pl.y1(), pl.y2());
        if (open && runX == pl.x1() && top <= runBottom + 1 && bottom >= runTop - 1) {
            runTop = std::min(runTop, top);
            runBottom = std::max(runBottom, bottom);
            continue;
        }
        flush();
        open = true;
        runX = pl.x1();
        runTop = top;
        runBottom = bottom;
    }
    flush();
    QPainter p(&image_);
    p.setPen(QPen(colour, 0));
    if (!pixels.empty())
        p.drawLines(pixels.data(), static_cast<int>(pixels.size()));
    if (!dots.empty())
        p.drawPoints(dots.data(), static_cast<int>(dots.size()));
    update();
}

void PlotCanvas::fillRect(double x1, double y1, double x2, double y2, const QColor &colour)
{
    ensureImage();
    const QPoint a = toPixel(x1, y1);
    const QPoint b = toPixel(x2, y2);
    QPainter p(&image_);
    p.fillRect(QRect(a, b).normalized(), colour);
    update();
}

void PlotCanvas::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.drawImage(event->rect(), image_, event->rect());
}

void PlotCanvas::resizeEvent(QResizeEvent *event)
{
    ensureImage();
    QWidget::resizeEvent(event);
}

void PlotCanvas::mousePressEvent(QMouseEvent *event)
{
    // Taking the focus on a press commits the field being edited, which may
    // show a message box before the press arrives here; the box then takes
    // the release. Only the buttons still held count.
    const Qt::MouseButtons held = event->buttons() & QGuiApplication::mouseButtons();
    emit mousePressed(event->button(), held, toUser(event->position()));
}

void PlotCanvas::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), toUser(event->position()));
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event->button(), event->buttons(), toUser(event->position()));
}

} // namespace arb
