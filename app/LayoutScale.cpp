#include "app/LayoutScale.h"

#include "core/ArbStore.h"

#include <QFont>
#include <QRect>
#include <QVariant>
#include <QWidget>
#include <cstdint>

namespace arb
{

namespace
{

const char *const kTwipsProperty = "designTwips";

int ToPixels(double twips)
{
    return RoundHalfEven(twips / kTwipsPerPixel);
}

} // namespace

LayoutFactors ComputeLayoutFactors(int workAreaWidth, int workAreaHeight)
{
    // The work area is held as 16-bit pixel counts.
    const auto w = static_cast<std::int16_t>(workAreaWidth);
    const auto h = static_cast<std::int16_t>(workAreaHeight);
    LayoutFactors f;
    f.ScaleX = static_cast<float>(w) / 1024.0f;
    f.ScaleY = static_cast<float>(h) / 768.0f;
    if (!(f.ScaleX > 0.0f))
        f.ScaleX = 1.0f;
    if (!(f.ScaleY > 0.0f))
        f.ScaleY = 1.0f;
    return f;
}

QRectF MainWindowTwips(const LayoutFactors &f)
{
    return QRectF(30.0 * f.ScaleX, 0.0 * f.ScaleY, 11750.0 * f.ScaleX, 10000.0 * f.ScaleY);
}

void SetDesignTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setProperty(kTwipsProperty, QRect(left, top, width, height));
    widget->setGeometry(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

namespace
{

// Every widget inside parent that has a design rectangle, to its place.
void PlaceAtDesign(QWidget *parent, const LayoutFactors &f)
{
    for (QObject *object : parent->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child)
            continue;
        const QVariant design = child->property(kTwipsProperty);
        if (design.isValid()) {
            const QRect t = design.toRect();
            child->setGeometry(ToPixels(t.left() * f.ScaleX), ToPixels(t.top() * f.ScaleY),
                               ToPixels(t.width() * f.ScaleX), ToPixels(t.height() * f.ScaleY));
        }
        PlaceAtDesign(child, f);
    }
}

} // namespace

void LayoutScale(QWidget *window, const LayoutFactors &f, bool isMainWindow)
{
    QFont font = window->font();
    font.setPointSizeF(kDesignFontPoints * static_cast<double>(f.ScaleX));
    window->setFont(font);

    if (isMainWindow) {
        const QRectF r = MainWindowTwips(f);
        window->move(ToPixels(r.left()), ToPixels(r.top()));
        // The frame the window manager adds is part of the window's size.
        const QSize frame = window->frameGeometry().size() - window->size();
        window->resize(ToPixels(r.width()) - frame.width(), ToPixels(r.height()) - frame.height());
    }

    PlaceAtDesign(window, f);
}

} // namespace arb
