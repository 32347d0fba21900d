#include "app/NameField.h"
#include "app/PointEntry.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"
#include "view/WaveView.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <vector>

using namespace arb;
using arb::test::WindowFixture;

// The editing commands as the user reaches them in the real window.
class TestEditingInWindow : public QObject
{
    Q_OBJECT

  private:
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

  private slots:
    void lengthCommitsOnEnterAndClears()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f.document.setPoint(5, 0.5f);
        typeInto(w.controls().Text_Arb_Length, QStringLiteral("201"));
        QTest::keyClick(w.controls().Text_Arb_Length, Qt::Key_Return);
        QCOMPARE(f.store.ArbData[5], 0.5f); // same length: nothing cleared
        typeInto(w.controls().Text_Arb_Length, QStringLiteral("1000"));
        QTest::keyClick(w.controls().Text_Arb_Length, Qt::Key_Return);
        QCOMPARE(f.store.ArbLength, 1000.0f);
        QCOMPARE(f.store.ArbData[5], 0.0f);
        QCOMPARE(w.view().ViewCount(), 1000);
        typeInto(w.controls().Text_Arb_Length, QStringLiteral("20000"));
        QTest::keyClick(w.controls().Text_Arb_Length, Qt::Key_Return);
        QCOMPARE(w.controls().Text_Arb_Length->text(), QStringLiteral("16384"));
        QCOMPARE(f.user.messages.back().text, QStringLiteral("任意波点数在 4 到 16384 之间"));
        QCOMPARE(f.user.messages.back().icon, MessageIcon::Critical);
    }

    void leavingTheLengthFieldCommitsIt()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Moving the mouse onto the tool bar commits what was typed.
        typeInto(w.controls().Text_Arb_Length, QStringLiteral("300"));
        QTest::mouseMove(w.controls().Toolbar1->widgetForAction(w.controls().Toolbar1->actions().at(0)));
        QTRY_COMPARE(f.store.ArbLength, 300.0f);
        // So does a click on the window's background.
        typeInto(w.controls().Text_Arb_Length, QString());
        QTest::mouseClick(w.centralWidget(), Qt::LeftButton, {}, QPoint(5, 600));
        QCOMPARE(w.controls().Text_Arb_Length->text(), QStringLiteral("2001"));
        QCOMPARE(f.store.ArbLength, 2001.0f);
        // The menu item only moves the focus.
        w.findChild<QAction *>(QStringLiteral("mnuArbLength"))->trigger();
        QVERIFY(w.controls().Text_Arb_Length->hasFocus());
        QCOMPARE(f.store.ArbLength, 2001.0f);
    }

    void pointsAndSegmentsFromTheButtons()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.findChild<QAction *>(QStringLiteral("mnuArbLineDraw"))->trigger();
        QVERIFY(w.controls().Text_ArbLineStartX->hasFocus());
        typeInto(w.controls().Text_ArbLineStartX, QStringLiteral("10"));
        typeInto(w.controls().Text_ArbLineStartY, QStringLiteral("0.5"));
        typeInto(w.controls().Text_ArbLineStopX, QStringLiteral("20"));
        typeInto(w.controls().Text_ArbLineStopY, QStringLiteral("-.5"));
        QTest::mouseClick(w.controls().Command_ArbLine, Qt::LeftButton);
        QCOMPARE(f.store.ArbData[10], 0.5f);
        QCOMPARE(f.store.ArbData[15], 0.0f);
        QCOMPARE(f.store.ArbData[20], -0.5f);
        QCOMPARE(w.controls().Text_ArbLineStopY->text(), QStringLiteral("-0.500"));
        typeInto(w.controls().Text_ArbLineStartX, QStringLiteral("150"));
        typeInto(w.controls().Text_ArbLineStartY, QStringLiteral("1.5"));
        QTest::mouseClick(w.controls().Command_ArbPoint, Qt::LeftButton);
        QCOMPARE(f.store.ArbData[150], 1.0f);
        QCOMPARE(w.pointEntry().LineStartY(), 1.0f);
    }

    void aCustomNameFallsBackOnTheNextFullRedraw()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeInto(w.controls().txtName, QStringLiteral("SINE1"));
        QTest::keyClick(w.controls().txtName, Qt::Key_Return);
        w.controls().Picture_Arb->setFocus();
        QCOMPARE(f.document.name(), QStringLiteral("SINE1"));
        QVERIFY(w.nameField().NameChanged());
        // Zooming keeps the name; a full redraw restores the default.
        w.findChild<QAction *>(QStringLiteral("mnuArbZoomin"))->trigger();
        QCOMPARE(w.controls().txtName->text(), QStringLiteral("SINE1"));
        w.findChild<QAction *>(QStringLiteral("mnuStandardSin"))->trigger();
        QCOMPARE(w.controls().txtName->text(), QStringLiteral("ArbNo0"));
        QVERIFY(!w.nameField().NameChanged());
        // Names set by the program go through the field's rules.
        f.document.setName(QStringLiteral("  ABCDEFGH"));
        QCOMPARE(w.controls().txtName->text(), QStringLiteral("ABCDEF"));
    }

    void aNameFromAFileObeysTheNameRule()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("w.arb"));
        for (const auto &[name, kept] : std::vector<std::pair<QByteArray, QString>>{
                 {QByteArray("A\0B,1;*RST", 10), QStringLiteral("AB1RST")},
                 {" S\tI\x01N\xe6\xb3\xa2"
                  "E\r ",
                  QStringLiteral("SINE")},
                 {"A-B-C-D-E-F-G", QStringLiteral("ABCDEF")}, // with the length message
                 {",;*\x7f", QStringLiteral("ArbNo0")}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\nArb Name:" +
                       name + "\r\n0\r\n0.5\r\n0\r\n0\r\n");
            file.close();
            f.user.pushFile(path);
            w.findChild<QAction *>(QStringLiteral("menuFileOpen"))->trigger();
            QCOMPARE(w.controls().txtName->text(), kept);
        }
        QCOMPARE(f.user.messages.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestEditingInWindow)
#include "tst_editing_in_window.moc"
