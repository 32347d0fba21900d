#pragma once

#include <QColor>
#include <QImage>
#include <QLine>
#include <QPointF>
#include <QWidget>
#include <vector>

namespace arb
{

// Colours of the canvas.
inline QColor PlotBackground()
{
    return QColor(0, 0, 128);
}
inline QColor PlotGridColour()
{
    return QColor(200, 200, 200);
}
inline QColor PlotWaveColour()
{
    return QColor(255, 0, 0);
}

// A line in the canvas's user coordinates.
struct UserLine {
    double x1, y1, x2, y2;
};

// The drawing surface of the waveform: a persistent image with a user
// coordinate system (left, top) - (right, bottom). What is drawn stays until
// the canvas is cleared; painting only copies the image to the screen.
class PlotCanvas : public QWidget
{
    Q_OBJECT
  public:
    explicit PlotCanvas(QWidget *parent = nullptr);

    void setUserScale(double left, double top, double right, double bottom);
    double scaleLeft() const { return left_; }
    double scaleRight() const { return right_; }

    void clear(const QColor &colour);
    void drawLine(const UserLine &line, const QColor &colour);
    void drawLines(const std::vector<UserLine> &lines, const QColor &colour);
    // A filled rectangle between two user-coordinate corners.
    void fillRect(double x1, double y1, double x2, double y2, const QColor &colour);

    // Pixel position of a user coordinate and the reverse.
    QPoint toPixel(double x, double y) const;
    QPointF toUser(const QPointF &pixel) const;

    const QImage &image() const { return image_; }

  signals:
    // buttons: those still held when the press reaches the canvas, which
    // need not include button when a message box took its release.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons buttons, QPointF user);
    void mouseMoved(Qt::MouseButtons buttons, QPointF user);
    void mouseReleased(Qt::MouseButton button, Qt::MouseButtons buttons, QPointF user);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    QLine toPixelLine(const UserLine &line) const;
    // The image always has the widget's size, also while the widget is hidden.
    void ensureImage();

    QImage image_;
    double left_ = 0.0;
    double top_ = 0.0;
    double right_ = 1.0;
    double bottom_ = 1.0;
};

} // namespace arb
