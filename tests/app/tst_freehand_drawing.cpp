#include "core/ArbStore.h"
#include "tests/support/WindowFixture.h"
#include "view/FreehandDrawing.h"
#include "view/PlotCanvas.h"
#include "view/WaveView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <vector>

using namespace arb;
using arb::test::WindowFixture;

class TestFreehandDrawing : public QObject
{
    Q_OBJECT

  private:
    static void press(FormMain &w, double x, double y, Qt::MouseButton b = Qt::LeftButton)
    {
        emit w.controls().Picture_Arb->mousePressed(b, b, QPointF(x, y));
    }
    static void move(FormMain &w, double x, double y)
    {
        emit w.controls().Picture_Arb->mouseMoved(Qt::LeftButton, QPointF(x, y));
    }
    static void release(FormMain &w, Qt::MouseButton b = Qt::LeftButton)
    {
        emit w.controls().Picture_Arb->mouseReleased(b, Qt::NoButton, QPointF());
    }
    static QString labelX(FormMain &w) { return w.controls().LblArbCurrentXPoint->text(); }
    static QString labelY(FormMain &w) { return w.controls().LblArbCurrentYPoint->text(); }

  private slots:
    void pressSetsThePointUnderTheMouse()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        press(w, 10.3, 500000.0);
        QCOMPARE(w.view().LastDrawIndex, 10);
        QCOMPARE(f.store.ArbData[10], 0.5f);
        QCOMPARE(labelX(w), QStringLiteral("10"));
        QCOMPARE(labelY(w), QStringLiteral(" 0.500"));
        release(w);

        f.document.setPoint(10, 0.25f);
        press(w, 10.6, -300000.0);
        QCOMPARE(w.view().LastDrawIndex, 11);
        QCOMPARE(f.store.ArbData[11], -0.3f);
        QCOMPARE(f.store.ArbData[10], 0.25f);
    }

    void aFastMoveIsInterpolated()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        press(w, 10.0, 0.0);
        move(w, 20.0, 1000000.0);
        for (int j = 11; j <= 20; ++j)
            QCOMPARE(f.store.ArbData[j], 0.0f + 1.0f * (static_cast<float>(j - 10) / 10.0f));
        QCOMPARE(f.store.ArbData[20], 1.0f);
        QCOMPARE(f.store.ArbData[15], 0.5f);
        // Moving back left fills the other way, ending exactly at the value.
        move(w, 16.0, -1000000.0);
        QCOMPARE(f.store.ArbData[16], -1.0f);
        QCOMPARE(f.store.ArbData[20], 1.0f);
        QCOMPARE(f.store.ArbData[18], 1.0f + (-2.0f) * (static_cast<float>(18 - 20) / -4.0f));
        // The red curve is on the canvas at the new point.
        const PlotCanvas *c = w.controls().Picture_Arb;
        QCOMPARE(c->image().pixel(c->toPixel(20.0, 1000000.0) + QPoint(0, 1)), qRgb(255, 0, 0));
    }

    void valuesAreClampedAndQuantised()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        press(w, 50.0, 1500000.0);
        QCOMPARE(f.store.ArbData[50], 1.0f);
        move(w, 50.0, -1007000.0);
        QCOMPARE(f.store.ArbData[50], -1.0f);
        move(w, 50.0, -1.0);
        QCOMPARE(f.store.ArbData[50], -0.001f);
        move(w, 50.0, 999.0);
        QCOMPARE(f.store.ArbData[50], 0.0f);
        move(w, 50.0, 1000.0);
        QCOMPARE(f.store.ArbData[50], 0.001f);
        QCOMPARE(labelY(w), QStringLiteral(" 0.001"));
        // Beyond the edges the first and last visible points are set.
        move(w, -40.0, 200000.0);
        QCOMPARE(f.store.ArbData[0], 0.2f);
        QCOMPARE(labelX(w), QStringLiteral("0"));
        move(w, 500.0, 300000.0);
        QCOMPARE(f.store.ArbData[200], 0.3f);
        QCOMPARE(f.store.ArbData[201], 0.0f);
    }

    void strokeEndsOnAnyButtonRelease()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        press(w, 30.0, 100000.0);
        QVERIFY(w.findChild<FreehandDrawing *>());
        // A second button neither restarts nor ends the stroke.
        press(w, 80.0, 900000.0, Qt::RightButton);
        QCOMPARE(f.store.ArbData[80], 0.0f);
        move(w, 31.0, 200000.0);
        QCOMPARE(f.store.ArbData[31], 0.2f);
        release(w, Qt::RightButton);
        move(w, 60.0, 700000.0);
        QCOMPARE(f.store.ArbData[60], 0.0f);
        // Without a stroke the read-outs follow the mouse, unclamped.
        QCOMPARE(labelX(w), QStringLiteral("60"));
        QCOMPARE(labelY(w), QStringLiteral(" 0.700"));
        move(w, 200.3, -1007600.0);
        QCOMPARE(labelX(w), QStringLiteral("200"));
        QCOMPARE(labelY(w), QStringLiteral("-1.008"));
        // Only the left button starts a stroke.
        press(w, 40.0, 500000.0, Qt::RightButton);
        QCOMPARE(f.store.ArbData[40], 0.0f);
    }

    void drawingInsideAZoomedView()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.findChild<QAction *>(QStringLiteral("mnuArbZoomin"))->trigger(); // points 50..149
        press(w, 10.0, 500000.0);
        QCOMPARE(w.view().LastDrawIndex, 50);
        QCOMPARE(f.store.ArbData[50], 0.5f);
        QCOMPARE(f.store.ArbData[10], 0.0f);
        move(w, 400.0, 500000.0);
        QCOMPARE(f.store.ArbData[149], 0.5f);
        QCOMPARE(f.store.ArbData[150], 0.0f);
        QCOMPARE(w.view().ViewStart(), 50); // a stroke never changes the view
    }

    void realMouseEventsArriveInUserCoordinates()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        PlotCanvas *c = w.controls().Picture_Arb;
        const QPoint at = c->toPixel(100.0, 250000.0);
        const QPointF user = c->toUser(at);
        QTest::mousePress(c, Qt::LeftButton, {}, at);
        const int idx = qRound(user.x());
        QCOMPARE(w.view().LastDrawIndex, idx);
        QCOMPARE(f.store.ArbData[idx], DrawValueFromY(user.y()));
        QVERIFY(f.store.ArbData[idx] > 0.2f && f.store.ArbData[idx] < 0.3f);
        QTest::mouseRelease(c, Qt::LeftButton, {}, at);
    }

    void aStrokeEndsWhenItsButtonIsNoLongerHeld()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        press(w, 30.0, 100000.0);
        // Its release went to another window: the next move ends the stroke and draws nothing.
        emit w.controls().Picture_Arb->mouseMoved(Qt::NoButton, QPointF(60.0, 700000.0));
        move(w, 70.0, 700000.0);
        QCOMPARE(f.store.ArbData[60], 0.0f);
        QCOMPARE(f.store.ArbData[70], 0.0f);
        QCOMPARE(labelX(w), QStringLiteral("70"));
    }

    void aPressThatRaisedAMessageDrawsNothing()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget messageBox;
        messageBox.show();
        w.controls().Text_ArbLineStartY->setFocus();
        w.controls().Text_ArbLineStartY->setText(QStringLiteral("2"));
        // The press moves the focus, the value's commit shows its range
        // message, and the button is released over that message box.
        f.user.whileMessageShown = [&] { QTest::mouseRelease(&messageBox, Qt::LeftButton); };
        PlotCanvas *c = w.controls().Picture_Arb;
        QTest::mousePress(c, Qt::LeftButton, {}, c->toPixel(100.0, 500000.0));
        QCOMPARE(f.user.messages.size(), std::size_t(1));
        QMouseEvent hover(QEvent::MouseMove, c->toPixel(150.0, 800000.0), c->mapToGlobal(QPoint()),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c, &hover);
        QVERIFY(std::all_of(&f.store.ArbData[0], &f.store.ArbData[201], [](float v) { return v == 0.0f; }));
    }

    void theEndOfAStepIsTheDrawnValue()
    {
        // Every start and end value on the drawing's 0.001 steps, both ways
        // (from -1 to -0.489, b + (v - b) x 1 gives -0.48899996).
        ArbStore s;
        for (int from = -1000; from <= 1000; ++from) {
            for (int to = -1000; to <= 1000; to += 7) {
                const float b = DrawValueFromY(from * 1000.0), v = DrawValueFromY(to * 1000.0);
                s.ArbData[5] = s.ArbData[8] = b;
                InterpolateTo(s, 5, 8, v);
                InterpolateTo(s, 5, 2, v);
                if (s.ArbData[8] != v || s.ArbData[2] != v)
                    QFAIL(qPrintable(QStringLiteral("%1 to %2").arg(b).arg(v)));
            }
        }
    }

    void clearingTouchesOnlyThePointsInUse()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const std::vector<float> half(300, 0.5f);
        f.document.setPoints(0, half.data(), 300);
        w.findChild<QAction *>(QStringLiteral("mnuArbClear"))->trigger();
        QCOMPARE(f.store.ArbData[200], 0.0f);
        QCOMPARE(f.store.ArbData[201], 0.5f);
        QCOMPARE(f.store.ArbData[299], 0.5f);
        w.controls().Command_ArbWaveClear->setVisible(true);
        f.document.setPoint(5, 0.7f);
        w.controls().Command_ArbWaveClear->click();
        QCOMPARE(f.store.ArbData[5], 0.0f);
    }
};

QTEST_MAIN(TestFreehandDrawing)
#include "tst_freehand_drawing.moc"
