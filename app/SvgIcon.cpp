#include "app/SvgIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

namespace arb
{

namespace
{

class SvgIconEngine final : public QIconEngine
{
  public:
    explicit SvgIconEngine(QString path) : path_(std::move(path)) {}

    QIconEngine *clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("arb-svg"); }
    bool isNull() override { return path_.isEmpty(); }

    // The drawings are square: the largest square that fits.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::max(0, std::min(size.width(), size.height()));
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const QSize side = actualSize(size, mode, QIcon::Off);
        if (side.isEmpty())
            return QPixmap();
        const auto key = std::make_tuple(side.width(), static_cast<int>(mode));
        auto it = pixmaps_.find(key);
        if (it == pixmaps_.end())
            it = pixmaps_.emplace(key, render(side, mode)).first;
        return it->second;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap image = pixmap(rect.size() * scale, mode, state);
        image.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, image);
    }

  private:
    QPixmap render(const QSize &size, QIcon::Mode mode)
    {
        if (mode != QIcon::Normal) {
            const QPixmap normal = pixmap(size, QIcon::Normal, QIcon::Off);
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            QStyle *style =
                qobject_cast<QApplication *>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
            return style ? style->generatedIconPixmap(mode, normal, &option) : normal;
        }
        QImageReader reader(path_, "svg");
        reader.setScaledSize(size);
        return QPixmap::fromImage(reader.read());
    }

    QString path_;
    // Rendered pixmaps by side and mode.
    std::map<std::tuple<int, int>, QPixmap> pixmaps_;
};

} // namespace

QIcon SvgIcon(const QString &path)
{
    return QIcon(new SvgIconEngine(path));
}

} // namespace arb
