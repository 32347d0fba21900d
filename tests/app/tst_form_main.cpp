#include "app/AboutWindow.h"
#include "app/MainControls.h"
#include "app/MainMenus.h"
#include "app/MainToolBar.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"
#include "view/WaveView.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

using namespace arb;
using arb::test::WindowFixture;

class TestFormMain : public QObject
{
    Q_OBJECT

  private:
    // Runs the event loop, doing act first; true when the program ends (the
    // loop is told to quit) within timeoutMs.
    static bool programEnds(const std::function<void()> &act, int timeoutMs = 5000)
    {
        QTimer::singleShot(0, act);
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        deadline.start(timeoutMs);
        return QApplication::exec() == 0;
    }
    static QAction *action(FormMain &w, const char *name)
    {
        return w.findChild<QAction *>(QString::fromLatin1(name));
    }
    static QRgb pixel(FormMain &w, double x, double y)
    {
        const PlotCanvas *c = w.controls().Picture_Arb;
        return c->image().pixel(c->toPixel(x, y));
    }

  private slots:
    void startUpState()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("VX48250系列任意波生成软件（V3.1）"));
        QCOMPARE(f.store.ArbLength, 201.0f);
        QCOMPARE(w.view().ViewStart(), 0);
        QCOMPARE(w.view().ViewCount(), 201);
        QCOMPARE(w.view().ViewEnd(), 200);
        QCOMPARE(w.controls().Text_Arb_Length->text(), QStringLiteral("201"));
        QCOMPARE(w.controls().txtName->text(), QStringLiteral("ArbNo0"));
        QCOMPARE(w.controls().Label_ArbNumber->text(), QStringLiteral("0"));
        QCOMPARE(w.controls().HScroll_XZoom->maximum(), 0);
        QCOMPARE(w.controls().LblArbCurrentXPoint->text(), QStringLiteral("0"));
        QCOMPARE(w.controls().LblArbCurrentYPoint->text(), QStringLiteral(" 0.000"));
        // Hidden by design.
        QVERIFY(w.controls().PbrSend->isHidden());
        QVERIFY(w.controls().frameSlot->isHidden());
        QVERIFY(w.controls().cmdSendName->isHidden());
        QVERIFY(!w.controls().cmdSendName->isEnabled());
        QVERIFY(w.controls().frameWaveButtons->isHidden());
        QVERIFY(w.controls().Combo2->isHidden());
        QVERIFY(w.controls().Combo4->isHidden());
        QVERIFY(w.controls().Text1->isHidden());
        QVERIFY(!w.controls().Picture_Arb->isHidden());
        for (QLabel *l : w.controls().Label_X_coordinate)
            QVERIFY(!l->isHidden());
        QCOMPARE(w.controls().Label_X_coordinate[10]->text(), QStringLiteral("200"));
        QCOMPARE(w.controls().Label_Y_coordinate[0]->text(), QStringLiteral("1.00"));
        QCOMPARE(w.controls().Label_Y_coordinate[5]->text(), QStringLiteral("0.00"));
        QCOMPARE(w.controls().Label_Y_coordinate[10]->text(), QStringLiteral("-1.00"));
    }

    void layoutOnTheDesignScreen()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        QCOMPARE(w.layoutFactors().ScaleX, 1.0f);
        QCOMPARE(w.layoutFactors().ScaleY, 1.0f);
        // 11750 x 10000 twips at left 30: 783 x 667 pixels at 2, 0.
        QCOMPARE(w.frameGeometry().size(), QSize(783, 667));
        QCOMPARE(w.pos(), QPoint(2, 0));
        QCOMPARE(w.controls().Picture_Arb->geometry(), QRect(48, 104, 563, 297));
    }

    void layoutOnAWideScreen()
    {
        WindowFixture f(QRect(0, 0, 1920, 1040));
        FormMain &w = *f.window;
        QCOMPARE(w.layoutFactors().ScaleX, 1.875f);
        QCOMPARE(w.layoutFactors().ScaleY, 1.3541666f);
        QCOMPARE(w.font().pointSizeF(), 9.0 * 1.875);
        const QRect c = w.controls().Picture_Arb->geometry();
        QCOMPARE(c.left(), 90); // 720 x 1.875 / 15
        QCOMPARE(c.width(), qRound(8445 * 1.875 / 15));
        QCOMPARE(c.top(), qRound(1560 * 1.3541666 / 15));
        QCOMPARE(w.frameGeometry().width(), qRound(11750 * 1.875 / 15));
    }

    void menuTree()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const QList<QPair<const char *, QString>> items = {
            {"menuFile", "文件&F"},
            {"menuFileOpen", "打开&O"},
            {"menuFileSave", "保存&S"},
            {"menuFileExit", "退出&X"},
            {"mnuArb", "任意波&A"},
            {"mnuArbZoomin", "放大&I"},
            {"mnuArbZoomout", "缩小&Z"},
            {"mnuArbZoomNo", "全部显示&A"},
            {"mnuArbDraw", "绘制"},
            {"mnuArbClear", "清除波形&C"},
            {"mnuArbLineDraw", "分段输入"},
            {"mnuArbLength", "设置波形点数"},
            {"mnuWave", "波形运算&W"},
            {"mnuWaveAdd", "相加&A"},
            {"mnuWaveDec", "相减&D"},
            {"mnuWaveXSymm", "X轴对称&X"},
            {"mnuWaveYSymm", "Y轴对称&Y"},
            {"mnuWaveDiv", "波形幅度除常数&I"},
            {"mnuWaveMul", "波形幅度乘常数&M"},
            {"mnuWaveAmplZoomIn", "波形幅度归一化(&N)"},
            {"mnuWaveFreqMul", "频率乘常数(&F)"},
            {"mnuWaveSinAddFormula", "正弦波相加公式(&O)"},
            {"mnuStandard", "标准波形(&S)"},
            {"mnuStandardSqu", "方波(&Q)"},
            {"mnuStandardSin", "正弦波(&S)"},
            {"mnuStandardCos", "余弦波(&C)"},
            {"mnuStandardTri", "三角波(&T)"},
            {"mnuStandardUpRamp", "升锯齿波(&R)"},
            {"mnuStandardDownRamp", "降锯齿波(&D)"},
            {"menuAbout", "帮助(&H)"},
            {"menuHelp", "任意波软件帮助 "},
            {"menuArbAbout", "关于任意波软件"},
        };
        for (const auto &[name, caption] : items) {
            QAction *a = action(w, name);
            QVERIFY2(a, name);
            QCOMPARE(a->text(), caption);
            QVERIFY(a->isEnabled());
        }
        QVERIFY(action(w, "menuBar")->isSeparator());
        QVERIFY(action(w, "mnuBar2")->isSeparator());
        QCOMPARE(action(w, "menuFileOpen")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(action(w, "menuFileSave")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(action(w, "menuHelp")->shortcut(), QKeySequence(QStringLiteral("F1")));
        QCOMPARE(w.menuBar()->actions().size(), 5);
    }

    void helpFromAnywhere()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.controls().txtScale->setFocus();
        QTest::keyClick(w.controls().txtScale, Qt::Key_F1);
        QCOMPARE(f.help.opened.size(), 1);
        QVERIFY(f.help.opened.first().endsWith(QStringLiteral("/任意波说明.html")));
        QVERIFY(f.user.messages.empty());

        f.help.succeed = false;
        action(w, "menuHelp")->trigger();
        QCOMPARE(f.user.messages.size(), std::size_t(1));
    }

    void toolBarButtons()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const QStringList keys = {"FileOpen", "FileSave", "WaveAdd", "WaveDec", "Draw",
                                  "Zoomin",   "ZoomNo",   "Zoomout", "Waveout", "Exit"};
        QCOMPARE(ToolBarKeys(), keys);
        const QList<QAction *> actions = w.controls().Toolbar1->actions();
        QCOMPARE(actions.size(), 10);
        const QStringList captions = {"打开文件", "保存文件",     "波形相加", "波形相减", "",
                                      " 放大",    "原始波形大小", "缩小",     "波形输出", ""};
        const QStringList tips = {"打开波形数据文件", "保存波形数据文件", "波形相加", "波形相减", "绘制波形",
                                  "波形放大",         "原始波形大小",     "波形缩小", "波形输出", ""};
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(actions[i]->objectName(), keys[i]);
            QCOMPARE(actions[i]->text(), captions[i]);
            if (!tips[i].isEmpty())
                QCOMPARE(actions[i]->toolTip(), tips[i]);
            QVERIFY(!actions[i]->icon().pixmap(20, 20).isNull());
        }
    }

    // Each button of the bar that stands for a menu item is that item's
    // command: a click triggers the item, and the button is enabled exactly
    // while the item is. The typed menus are the items of the bar.
    void toolBarButtonsAreTheirMenuItems()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const MainMenus &m = w.menus();
        const ToolBarActions &t = w.toolBar();
        const std::pair<QAction *, QAction *> pairs[] = {{t.Zoomin, m.mnuArbZoomin},
                                                         {t.Zoomout, m.mnuArbZoomout},
                                                         {t.ZoomNo, m.mnuArbZoomNo},
                                                         {t.Draw, m.mnuArbDraw}};
        for (const auto &[button, item] : pairs) {
            QCOMPARE(item, action(w, item->objectName().toLatin1().constData()));
            QSignalSpy triggered(item, &QAction::triggered);
            button->trigger();
            QCOMPARE(triggered.count(), 1);
            item->setEnabled(false);
            QVERIFY(!button->isEnabled());
            item->setEnabled(true);
            QVERIFY(button->isEnabled());
        }
        QCOMPARE(t.byKey(QStringLiteral("Waveout")), t.Waveout);
        QCOMPARE(t.byKey(QStringLiteral("waveout")), nullptr);
    }

    // Ctrl+Z and Ctrl+Y in any text field of the window are the field's
    // own: the undo history knows every one of them.
    void everyTextFieldIsKnownToTheUndoKeys()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const QList<QLineEdit *> known = TextFields(w.controls());
        const QList<QLineEdit *> all = w.findChildren<QLineEdit *>();
        QCOMPARE(QSet<QLineEdit *>(known.begin(), known.end()), QSet<QLineEdit *>(all.begin(), all.end()));
    }

    void drawCursorAndDispatch()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        PlotCanvas *canvas = w.controls().Picture_Arb;
        w.Toolbar1_ButtonClick(QStringLiteral("Draw"));
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        w.Toolbar1_ButtonClick(QStringLiteral("Zoomin"));
        QCOMPARE(canvas->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w.view().ViewCount(), 100);
        w.Toolbar1_ButtonClick(QStringLiteral("Zoomout"));
        QCOMPARE(w.view().ViewCount(), 200);
        w.Toolbar1_ButtonClick(QStringLiteral("ZoomNo"));
        QCOMPARE(w.view().ViewCount(), 201);
        // Keys compare case-sensitively: an unknown key only resets the cursor.
        w.Toolbar1_ButtonClick(QStringLiteral("Draw"));
        w.Toolbar1_ButtonClick(QStringLiteral("zoomin"));
        QCOMPARE(w.view().ViewCount(), 201);
        QCOMPARE(canvas->cursor().shape(), Qt::ArrowCursor);
        action(w, "mnuArbDraw")->trigger();
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        w.Toolbar1_ButtonClick(QStringLiteral("ZoomNo"));
        QCOMPARE(canvas->cursor().shape(), Qt::ArrowCursor);
    }

    void fileCommandsFromMenuToolBarAndKeys()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("波形一.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("4\r\n0.5\r\n-0.5\r\n1\r\n0\r\n");
        file.close();

        // Tool bar: open.
        f.user.pushFile(path);
        w.Toolbar1_ButtonClick(QStringLiteral("FileOpen"));
        QCOMPARE(f.store.ArbLength, 4.0f);
        QCOMPARE(f.store.ArbData[2], 1.0f);
        QCOMPARE(w.controls().Text_Arb_Length->text(), QStringLiteral("4"));
        QCOMPARE(w.view().ViewCount(), 4);

        // Ctrl+S from a text field saves, Ctrl+O opens.
        const QString saved = dir.filePath(QStringLiteral("saved.arb"));
        f.user.pushFile(saved);
        w.controls().txtScale->setFocus();
        QTest::keyClick(w.controls().txtScale, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFileInfo::exists(saved));
        QCOMPARE(f.user.dialogs.back().save, true);
        QTest::keyClick(w.controls().txtScale, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.user.dialogs.back().save, false);

        // Add and subtract from the tool bar, each asking for a file.
        const std::size_t before = f.user.dialogs.size();
        w.Toolbar1_ButtonClick(QStringLiteral("WaveAdd"));
        w.Toolbar1_ButtonClick(QStringLiteral("WaveDec"));
        action(w, "mnuWaveAdd")->trigger();
        QCOMPARE(f.user.dialogs.size(), before + 3);
        QVERIFY(f.user.messages.empty());
    }

    void waveoutNeedsAConnection()
    {
        WindowFixture f;
        f.window->controls().Toolbar1->actions().at(8)->trigger();
        QCOMPARE(f.user.messages.size(), std::size_t(1));
        QCOMPARE(f.user.messages[0].text, QStringLiteral("没有与仪器连接，连接后发送！"));
        QCOMPARE(f.user.messages[0].title, QStringLiteral("提示信息"));
        QCOMPARE(f.user.messages[0].icon, MessageIcon::Information);
    }

    void exitCommandsCloseTheWindow()
    {
        for (int way = 0; way < 3; ++way) {
            WindowFixture f;
            FormMain &w = *f.window;
            w.show();
            QVERIFY(w.isVisible());
            if (way == 0)
                action(w, "menuFileExit")->trigger();
            else if (way == 1)
                w.controls().Command_Exit->click();
            else
                w.controls().Toolbar1->actions().last()->trigger();
            QVERIFY(!w.isVisible());
        }
    }

    void aboutCycle()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        for (int way = 0; way < 2; ++way) {
            action(w, "menuArbAbout")->trigger();
            QWidget *about = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("frmHelp") && top->isVisible())
                    about = top;
            QVERIFY(about);
            QVERIFY(!w.isEnabled());
            QCOMPARE(about->windowTitle(), QStringLiteral("关于任意波处理软件"));
            QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                     QStringLiteral("任意波建立软件"));
            QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                     QStringLiteral("Version: 3.0          更新于2014.08.04"));
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("Command1"));
            QCOMPARE(ok->text(), QStringLiteral("确   认"));
            // While it is open the main window takes no commands.
            QTest::mouseClick(w.controls().Command_Exit, Qt::LeftButton);
            QVERIFY(w.isVisible());
            QPointer<QWidget> guard(about);
            if (way == 0)
                ok->click();
            else
                about->close();
            QVERIFY(w.isEnabled());
            QTRY_VERIFY(guard.isNull());
        }
    }

    void closingIsRefusedWhileAboutIsOpen()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        action(w, "menuArbAbout")->trigger();
        QPointer<QWidget> about;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmHelp"))
                about = top;
        QVERIFY(about);
        const auto cleanUp = qScopeGuard([&] { delete about; });
        f.visa.clearRecords();
        // The close box or Alt+F4 of the disabled main window.
        QVERIFY(!programEnds([&] { w.close(); }, 200));
        QVERIFY(w.isVisible() && about->isVisible());
        QCOMPARE(f.visa.count("viClose"), 0); // no shutdown
        QVERIFY(programEnds([&] {
            about->close();
            w.close();
        }));
        QCOMPARE(f.visa.count("viClose"), 2);
    }

    void aboutNeverKeepsTheProgramRunning()
    {
        QWidget main;
        main.show();
        QPointer<AboutWindow> about = AboutWindow::showFor(&main);
        const auto cleanUp = qScopeGuard([&] { delete about; });
        QVERIFY(programEnds([&] { main.close(); }));
    }

    void aPasteIntoTheZoomFieldFollowsItsKeyRule()
    {
        WindowFixture f;
        QLineEdit *scale = f.window->controls().txtScale;
        QApplication::clipboard()->setText(QStringLiteral("abc-1"));
        QTest::keyClick(scale, Qt::Key_V, Qt::ControlModifier);
        scale->paste(); // the context menu's way
        QCOMPARE(scale->text(), QStringLiteral("2"));
        QApplication::clipboard()->setText(QStringLiteral("5.5"));
        QTest::keyClick(scale, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(scale->text(), QStringLiteral("25.5"));
        // What Enter writes back stays editable, letters and all.
        scale->setText(QStringLiteral("123456789"));
        QTest::keyClick(scale, Qt::Key_Return);
        QTest::keyClick(scale, Qt::Key_Backspace);
        QCOMPARE(scale->text(), QStringLiteral("1.234568e+0"));
    }

    void canvasPixelsAfterStartUp()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const QRgb navy = qRgb(0, 0, 128), grey = qRgb(200, 200, 200), red = qRgb(255, 0, 0);
        QCOMPARE(pixel(w, 10.0, 500000.0), navy);
        // Vertical grid lines every 20 points; none at 0.
        QCOMPARE(pixel(w, 20.0, 500000.0), grey);
        QCOMPARE(pixel(w, 100.0, -500000.0), grey);
        QCOMPARE(pixel(w, 0.0, 500000.0), navy);
        // Horizontal lines at every 0.2.
        QCOMPARE(pixel(w, 10.0, 600000.0), grey);
        // The zero waveform is red along the zero row, also between ticks.
        QCOMPARE(pixel(w, 50.0, 0.0), red);
        QCOMPARE(pixel(w, 130.0, 0.0), red);
        // A tick reaches 0.04 above the zero line.
        QCOMPARE(pixel(w, 8.0, 30000.0), grey);
    }

    void zoomAndScrollLabels()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        action(w, "mnuArbZoomin")->trigger();
        QCOMPARE(w.view().ViewStart(), 50);
        QCOMPARE(w.view().ViewCount(), 100);
        QScrollBar *s = w.controls().HScroll_XZoom;
        QCOMPARE(s->maximum(), 101);
        QCOMPARE(s->value(), 50);
        QCOMPARE(s->pageStep(), 10);
        s->setValue(30);
        QCOMPARE(w.view().ViewStart(), 30);
        QCOMPARE(w.view().ViewEnd(), 129);
        QStringList captions;
        for (QLabel *l : w.controls().Label_X_coordinate)
            captions << l->text();
        QCOMPARE(captions.join(','), QStringLiteral("30,39.9,49.8,59.7,69.6,79.5,89.4,99.3,109.2,119.1,129"));
        action(w, "mnuArbZoomNo")->trigger();
        QCOMPARE(s->maximum(), 0);
        QCOMPARE(w.view().ViewCount(), 201);
    }

    void zoomFieldRules()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        QLineEdit *scale = w.controls().txtScale;
        scale->setFocus();
        scale->clear();
        QTest::keyClicks(scale, QStringLiteral("2a-.5"));
        QCOMPARE(scale->text(), QStringLiteral("2.5"));
        scale->setText(QStringLiteral("2.50"));
        QTest::keyClick(scale, Qt::Key_Return);
        QCOMPARE(scale->text(), QStringLiteral("2.5"));
        scale->setText(QStringLiteral("0.5"));
        QTest::keyClick(scale, Qt::Key_Return);
        QCOMPARE(scale->text(), QStringLiteral("2"));
        // Factor 1 makes both zoom commands do nothing.
        scale->setText(QStringLiteral("1"));
        action(w, "mnuArbZoomin")->trigger();
        QCOMPARE(w.view().ViewCount(), 201);
        // A text that is not a usable factor zooms by 2 and shows it.
        scale->setText(QStringLiteral("."));
        action(w, "mnuArbZoomin")->trigger();
        QCOMPARE(w.view().ViewCount(), 100);
        QCOMPARE(scale->text(), QStringLiteral("2"));
    }

    void accessibleNames()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        const QList<QPair<QString, QString>> names = {
            {"Text_Arb_Length", "任意波点数"},
            {"txtScale", "缩放倍数"},
            {"txtName", "任意波名称"},
            {"Text_ArbLineStartX", "起点X"},
            {"Text_ArbLineStartY", "起点Y"},
            {"Text_ArbLineStopX", "终点X"},
            {"Text_ArbLineStopY", "终点Y"},
            {"Combo1", "接口参数"},
            {"Combo2", "波特率"},
            {"Combo4", "数据位数"},
            {"txtInstName", "仪器型号"},
            {"cobSetComm", "端口设置"},
            {"cobBaud", "示波器波特率"},
            {"cobParity", "校验方式"},
            {"cobFlowHardSoft", "数据流控制"},
            {"cobOscilEOLString", "EOL 字符串"},
            {"cobChannel", "数据源"},
            {"Picture_Arb", "任意波波形"},
            {"HScroll_XZoom", "波形平移"},
            {"VScroll_ArbNumber", "任意波编号"},
            {"LblArbCurrentXPoint", "当前坐标X"},
            {"LblArbCurrentYPoint", "当前坐标Y"},
            {"PbrSend", "发送进度"},
        };
        for (const auto &[object, name] : names) {
            QWidget *widget = w.findChild<QWidget *>(object);
            QVERIFY2(widget, qPrintable(object));
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(iface);
            QCOMPARE(iface->text(QAccessible::Name), name);
        }
        // An editable box's edit field carries the name too.
        QAccessibleInterface *edit = QAccessible::queryAccessibleInterface(w.controls().cobBaud->lineEdit());
        QCOMPARE(edit->text(QAccessible::Name), QStringLiteral("示波器波特率"));
        QAccessibleInterface *combo = QAccessible::queryAccessibleInterface(w.controls().Combo2);
        QCOMPARE(combo->text(QAccessible::Value), w.controls().Combo2->currentText());
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(w.controls().cmdCheck);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("检   测"));
    }

    void backgroundClickAndToolBarMoveFocusTheCanvas()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit *length = w.controls().Text_Arb_Length;
        length->setFocus();
        QVERIFY(length->hasFocus());
        QTest::mouseClick(w.centralWidget(), Qt::LeftButton, {}, QPoint(5, 600));
        QVERIFY(w.controls().Picture_Arb->hasFocus());

        length->setFocus();
        QTest::mouseMove(w.controls().Toolbar1->widgetForAction(w.controls().Toolbar1->actions().at(1)));
        QTRY_VERIFY(w.controls().Picture_Arb->hasFocus());
    }

    void statusBarPanels()
    {
        WindowFixture f;
        FormMain &w = *f.window;
        QStatusBar *bar = w.statusBar();
        QCOMPARE(bar->objectName(), QStringLiteral("sbrStatus"));
        const auto panels =
            bar->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^sbrStatus_panel")));
        QCOMPARE(panels.size(), 7);
        auto panel = [&](int i) {
            return bar->findChild<QLabel *>(QStringLiteral("sbrStatus_panel%1").arg(i));
        };
        QVERIFY(!panel(1)->text().isEmpty());
        QCOMPARE(panel(1)->toolTip(), panel(1)->text());
        QCOMPARE(panel(3)->text(), QStringLiteral("当前日期"));
        QCOMPARE(panel(5)->text(), QStringLiteral("当前时间"));
        QVERIFY(panel(4)->text().contains(QString::number(QDate::currentDate().year())));
        QVERIFY(QTime::fromString(panel(6)->text(), QStringLiteral("HH:mm:ss")).isValid());
        QCOMPARE(panel(7)->property("panelWidth").toInt(), w.width());
    }
};

QTEST_MAIN(TestFormMain)
#include "tst_form_main.moc"
