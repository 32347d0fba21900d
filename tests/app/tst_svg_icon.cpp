#include "app/Resources.h"
#include "app/SvgIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>

using namespace arb;

namespace
{

// Pixels of the image that are not fully transparent.
int InkedPixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int inked = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            inked += qAlpha(argb.pixel(x, y)) != 0;
    return inked;
}

} // namespace

class TestSvgIcon : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { InitResources(); }

    void drawsEachSizeFromTheDrawing()
    {
        const QIcon icon = SvgIcon(QStringLiteral(":/icons/Open.svg"));
        QVERIFY(!icon.isNull());
        for (int side : {16, 20, 40, 96}) {
            const QPixmap pixmap = icon.pixmap(QSize(side, side));
            QCOMPARE(pixmap.size(), QSize(side, side));
            // Drawn at that size, not a small image scaled up: the folder
            // covers a good part of every size.
            QVERIFY2(InkedPixels(pixmap.toImage()) > side * side / 3, qPrintable(QString::number(side)));
        }
        // A size asked for again is the same rendering, not a new one.
        QCOMPARE(icon.pixmap(QSize(20, 20)).cacheKey(), icon.pixmap(QSize(20, 20)).cacheKey());
        // Square drawings fit the largest square.
        QCOMPARE(icon.actualSize(QSize(40, 20)), QSize(20, 20));
        // The screen's scale: twice the pixels for the same size.
        const QPixmap sharp = icon.pixmap(QSize(20, 20), 2.0);
        QCOMPARE(sharp.size(), QSize(40, 40));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
    }

    void disabledLooksDifferentAndPaintingUsesTheDrawing()
    {
        const QIcon icon = SvgIcon(QStringLiteral(":/icons/Go.svg"));
        const QImage normal = icon.pixmap(QSize(24, 24)).toImage();
        const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
        QCOMPARE(disabled.size(), normal.size());
        QVERIFY(InkedPixels(disabled) > 0);
        QVERIFY(disabled.convertToFormat(QImage::Format_ARGB32) !=
                normal.convertToFormat(QImage::Format_ARGB32));

        QImage painted(24, 24, QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        {
            QPainter p(&painted);
            icon.paint(&p, painted.rect());
        }
        QCOMPARE(painted.convertToFormat(QImage::Format_ARGB32),
                 normal.convertToFormat(QImage::Format_ARGB32));
    }

    void aMissingDrawingGivesNothing()
    {
        QVERIFY(SvgIcon(QStringLiteral(":/icons/NoSuchImage.svg")).pixmap(QSize(20, 20)).isNull());
    }
};

QTEST_MAIN(TestSvgIcon)
#include "tst_svg_icon.moc"
