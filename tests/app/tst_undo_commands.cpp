#include "app/GeneratorLink.h"
#include "app/PointEntry.h"
#include "app/UndoCommands.h"
#include "core/WaveNumber.h"
#include "scope/ScopeClock.h"
#include "scope/SerialPortIo.h"
#include "tests/support/FakeHost.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

using namespace arb;
using arb::test::WindowFixture;

namespace
{

class ManualClock final : public ScopeClock
{
  public:
    qint64 nowMs() const override { return now; }
    qint64 now = 1000000;
};

class ScriptedPort final : public SerialPortIo
{
  public:
    PortOpenResult open(const QString &, const LineSettings &, Handshake, bool, bool) override
    {
        open_ = true;
        return PortOpenResult::Opened;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QByteArray readAll() override { return std::exchange(in, QByteArray()); }
    bool write(const QByteArray &) override { return open_; }
    void reply(const QByteArray &bytes)
    {
        in += bytes;
        emit dataArrived();
    }
    QByteArray in;

  private:
    bool open_ = false;
};

bool SameBits(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(a.ArbData.data(), b.ArbData.data(), sizeof(a.ArbData)) == 0 &&
           std::memcmp(&a.ArbLength, &b.ArbLength, sizeof(float)) == 0;
}

// The real window with an oscilloscope double, a generator on the VISA
// double, and a waveform of 201 points at half amplitude with other values
// behind its end.
struct Editor {
    Editor()
        : f(QRect(0, 0, 1024, 768),
            [this](WindowFixture &fx) {
                fx.scope.port = &port;
                fx.scope.clock = &clock;
                fx.visa.resources = {"USB0::0x1AB1::0x0588::DG1::INSTR"};
                fx.visa.reply = "VX,VX48250,1,2";
            }),
          w(*f.window)
    {
        for (int i = 0; i < kArbBufferSize; ++i)
            f.store.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.05));
        f.store.ArbData[3] = -0.0f;
        // Marked as a command of its own, so that the tests start from it.
        undo().beginCommand(QStringLiteral("准备"));
        undo().endCommand();
    }

    UndoCommands &undo() { return w.undoCommands(); }
    QAction *action(const char *name) { return w.findChild<QAction *>(QString::fromLatin1(name)); }
    QAction *undoAction() { return action("mnuArbUndo"); }
    QAction *redoAction() { return action("mnuArbRedo"); }
    std::size_t steps() const { return f.window->undoCommands().history().undoCount(); }

    QString writeFile(const QString &name, const QByteArray &text)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }

    void enter(QLineEdit *field, const QString &text)
    {
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    void press(double x, double y)
    {
        emit w.controls().Picture_Arb->mousePressed(Qt::LeftButton, Qt::LeftButton, {x, y});
    }
    void move(double x, double y) { emit w.controls().Picture_Arb->mouseMoved(Qt::LeftButton, {x, y}); }
    void release() { emit w.controls().Picture_Arb->mouseReleased(Qt::LeftButton, Qt::NoButton, {}); }

    void scopeTick(qint64 ms)
    {
        clock.now += ms;
        if (w.scopeCapture().timer()->isActive())
            w.scopeCapture().Timer_TDS_Timer();
    }
    void connectScope()
    {
        w.controls().cmdLink->click();
        port.reply("TDS\n");
        scopeTick(1000);
    }
    static QByteArray Trace(int first = 0)
    {
        QByteArray bytes("#42500");
        for (int i = 0; i < 2500; ++i)
            bytes += static_cast<char>((first + i) % 256);
        return bytes + '\n';
    }

    ScriptedPort port;
    ManualClock clock;
    WindowFixture f;
    FormMain &w;
    QTemporaryDir dir;
};

} // namespace

class TestUndoCommands : public QObject
{
    Q_OBJECT

  private:
    // The command makes one step named label; undo gives back the waveform
    // as it was, bit for bit, with the length field; redo the one after.
    static void checkStep(Editor &e, const std::function<void()> &command, const QString &label)
    {
        const ArbStore before = e.f.store;
        const std::size_t steps = e.steps();
        command();
        const ArbStore after = e.f.store;
        QVERIFY2(!SameBits(before, after), qPrintable(label));
        QCOMPARE(e.steps(), steps + 1);
        QVERIFY(e.undoAction()->isEnabled());
        QCOMPARE(e.undoAction()->statusTip(), QStringLiteral("撤销：") + label);

        e.undoAction()->trigger();
        QVERIFY2(SameBits(e.f.store, before), qPrintable(label));
        QCOMPARE(e.w.controls().Text_Arb_Length->text(),
                 QString::fromStdString(FormatWaveCount(before.ArbLength)));
        QCOMPARE(e.redoAction()->statusTip(), QStringLiteral("重做：") + label);
        QVERIFY(e.redoAction()->isEnabled());

        e.redoAction()->trigger();
        QVERIFY2(SameBits(e.f.store, after), qPrintable(label));
        QCOMPARE(e.w.controls().Text_Arb_Length->text(),
                 QString::fromStdString(FormatWaveCount(after.ArbLength)));
        QVERIFY(!e.redoAction()->isEnabled());
        QCOMPARE(e.steps(), steps + 1);
    }

  private slots:
    void menuItemsAtTheEndOfTheArbMenu()
    {
        Editor e;
        auto *menu = e.w.findChild<QMenu *>(QStringLiteral("mnuArb"));
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), 11);
        QVERIFY(items[8]->isSeparator());
        QCOMPARE(items[9]->objectName(), QStringLiteral("mnuArbUndo"));
        QCOMPARE(items[9]->text(), QStringLiteral("撤销(&U)"));
        QCOMPARE(items[10]->objectName(), QStringLiteral("mnuArbRedo"));
        QCOMPARE(items[10]->text(), QStringLiteral("重做(&R)"));
        QCOMPARE(e.undoAction()->shortcuts(), QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Z"))}));
        QCOMPARE(e.redoAction()->shortcuts(),
                 QList<QKeySequence>(
                     {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));

        // A fresh window has nothing to undo.
        WindowFixture fresh;
        auto *undo = fresh.window->findChild<QAction *>(QStringLiteral("mnuArbUndo"));
        auto *redo = fresh.window->findChild<QAction *>(QStringLiteral("mnuArbRedo"));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        QCOMPARE(undo->statusTip(), QStringLiteral("没有可撤销的操作"));
    }

    void shapesAndTransforms()
    {
        Editor e;
        const QList<QPair<const char *, QString>> plain = {
            {"mnuStandardSqu", "方波"},   {"mnuWaveXSymm", "X轴对称"},
            {"mnuStandardSin", "正弦波"}, {"mnuStandardCos", "余弦波"},
            {"mnuStandardTri", "三角波"}, {"mnuStandardUpRamp", "升锯齿波"},
            {"mnuWaveYSymm", "Y轴对称"},  {"mnuStandardDownRamp", "降锯齿波"},
        };
        for (const auto &[name, label] : plain)
            checkStep(
                e, [&] { e.action(name)->trigger(); }, label);

        checkStep(
            e,
            [&] {
                e.f.user.pushInput(QStringLiteral("4"));
                e.action("mnuWaveDiv")->trigger();
            },
            QStringLiteral("波形幅度除常数"));
        checkStep(
            e, [&] { e.action("mnuWaveAmplZoomIn")->trigger(); }, QStringLiteral("波形幅度归一化"));
        checkStep(
            e,
            [&] {
                e.f.user.pushInput(QStringLiteral("3"));
                e.action("mnuWaveFreqMul")->trigger();
            },
            QStringLiteral("频率乘常数"));
        checkStep(
            e,
            [&] {
                e.f.user.pushInput(QStringLiteral("0"));
                e.action("mnuWaveMul")->trigger();
            },
            QStringLiteral("波形幅度乘常数"));
        // The formula trims the length and commits it: one step.
        e.enter(e.w.controls().Text_Arb_Length, QStringLiteral("1001"));
        e.action("mnuStandardSin")->trigger();
        checkStep(
            e,
            [&] {
                e.f.user.pushInput(QStringLiteral("sinx+0.5sin2x"));
                e.action("mnuWaveSinAddFormula")->trigger();
            },
            QStringLiteral("正弦波相加公式"));
        QCOMPARE(e.f.store.ArbLength, 1000.0f);
    }

    void lengthClearAndTypedPoints()
    {
        Editor e;
        QLineEdit *length = e.w.controls().Text_Arb_Length;
        // The new length clears the waveform: one step, not two.
        checkStep(
            e, [&] { e.enter(length, QStringLiteral("300")); }, QStringLiteral("设置波形点数"));
        e.action("mnuStandardSin")->trigger();
        checkStep(
            e, [&] { e.w.controls().Command_ArbWaveClear->click(); }, QStringLiteral("清除波形"));

        PointEntry &points = e.w.pointEntry();
        auto *startX = e.w.findChild<QLineEdit *>(QStringLiteral("Text_ArbLineStartX"));
        auto *startY = e.w.findChild<QLineEdit *>(QStringLiteral("Text_ArbLineStartY"));
        auto *stopX = e.w.findChild<QLineEdit *>(QStringLiteral("Text_ArbLineStopX"));
        auto *stopY = e.w.findChild<QLineEdit *>(QStringLiteral("Text_ArbLineStopY"));
        e.enter(startX, QStringLiteral("250"));
        const std::size_t steps = e.steps();
        e.enter(startY, QStringLiteral("0.5"));
        // Committing the fields writes nothing.
        QCOMPARE(e.steps(), steps);
        checkStep(
            e, [&] { points.Command_ArbPoint_Click(); }, QStringLiteral("输入点"));
        e.enter(startX, QStringLiteral("10"));
        e.enter(stopX, QStringLiteral("280"));
        e.enter(stopY, QStringLiteral("-0.5"));
        checkStep(
            e, [&] { e.w.findChild<QPushButton *>(QStringLiteral("Command_ArbLine"))->click(); },
            QStringLiteral("输入线段"));
    }

    void filesFromMenuAndToolBar()
    {
        Editor e;
        const QString plain = e.writeFile(QStringLiteral("a.txt"), "5\r\n0.5\r\n-0.5\r\n1\r\n0\r\n0.25\r\n");
        checkStep(
            e,
            [&] {
                e.f.user.pushFile(plain);
                e.action("menuFileOpen")->trigger();
            },
            QStringLiteral("打开"));
        const QString longer = e.writeFile(QStringLiteral("b.txt"),
                                           "8\r\n0.5\r\n0.5\r\n0.5\r\n0.5\r\n0.5\r\n0.5\r\n0.5\r\n0.5\r\n");
        checkStep(
            e,
            [&] {
                e.f.user.pushFile(longer);
                e.w.Toolbar1_ButtonClick(QStringLiteral("WaveAdd"));
            },
            QStringLiteral("相加"));
        checkStep(
            e,
            [&] {
                e.f.user.pushFile(longer);
                e.action("mnuWaveDec")->trigger();
            },
            QStringLiteral("相减"));

        const QString table =
            e.writeFile(QStringLiteral("t.csv"), "time,value\n0,0.5\n1,-0.25\n2,1\n3,-1\n4,0\n");
        checkStep(
            e,
            [&] {
                e.f.importUi.acceptImportDefaults();
                e.f.user.pushFile(table);
                e.action("menuFileImport")->trigger();
            },
            QStringLiteral("导入波形"));
        QCOMPARE(e.f.store.ArbLength, 5.0f);

        // A file that ends early still changed the length and some points.
        const QString shortFile = e.writeFile(QStringLiteral("c.txt"), "100\r\n0.125\r\n0.25\r\n");
        checkStep(
            e,
            [&] {
                e.f.user.pushFile(shortFile);
                e.action("menuFileOpen")->trigger();
            },
            QStringLiteral("打开"));

        // Saving scales a quiet waveform to full scale in place.
        e.action("mnuStandardSin")->trigger();
        e.f.user.pushInput(QStringLiteral("4"));
        e.action("mnuWaveDiv")->trigger();
        const QString saved = e.dir.filePath(QStringLiteral("s.arb"));
        checkStep(
            e,
            [&] {
                e.f.user.pushFile(saved);
                e.w.Toolbar1_ButtonClick(QStringLiteral("FileSave"));
            },
            QStringLiteral("保存"));
        QVERIFY(QFile::exists(saved));
    }

    void refusedOrIdleCommandsRecordNothing()
    {
        Editor e;
        const std::size_t steps = e.steps();
        const ArbStore before = e.f.store;
        e.action("menuFileOpen")->trigger(); // cancelled
        e.f.user.pushFile(e.writeFile(QStringLiteral("x.arb"), "ArbNo0\r\n201\r\n"));
        e.action("menuFileOpen")->trigger(); // refused in the header
        e.f.user.pushFile(e.writeFile(QStringLiteral("x.dat"), "3\r\n0\r\n0\r\n0\r\n"));
        e.action("mnuWaveAdd")->trigger(); // wrong ending
        e.f.user.pushFile(e.writeFile(QStringLiteral("y.csv"), "1,2\n3,4\n"));
        e.action("menuFileImport")->trigger(); // too few values
        e.f.user.pushFile(e.writeFile(QStringLiteral("z.csv"), "0.1\n0.2\n0.3\n0.4\n0.5\n"));
        e.action("menuFileImport")->trigger(); // cancelled in the import dialog
        e.f.user.pushInput(QStringLiteral("cosx"));
        e.action("mnuWaveSinAddFormula")->trigger();
        e.f.user.pushInput(QStringLiteral("0"));
        e.action("mnuWaveFreqMul")->trigger();
        e.action("mnuWaveDiv")->trigger(); // Cancel divides by 1
        e.enter(e.w.controls().Text_Arb_Length, QStringLiteral("201"));
        e.action("menuFileSave")->trigger(); // cancelled
        e.action("mnuArbZoomin")->trigger();
        e.action("mnuStandardSqu")->trigger();
        e.action("mnuWaveAmplZoomIn")->trigger(); // a square's peak is 1 already
        QCOMPARE(e.f.user.messages.size(), std::size_t(5));
        QCOMPARE(e.steps(), steps + 1);
        QCOMPARE(e.undoAction()->statusTip(), QStringLiteral("撤销：方波"));
        e.undoAction()->trigger();
        QVERIFY(SameBits(e.f.store, before));
    }

    void aStrokeIsOneStep()
    {
        Editor e;
        checkStep(
            e,
            [&] {
                e.press(10.0, 0.0);
                e.move(20.0, 1000000.0);
                e.move(60.0, -500000.0);
                // Undo waits for the end of the stroke.
                e.undoAction()->trigger();
                QCOMPARE(e.f.store.ArbData[20], 1.0f);
                e.move(5.0, 250000.0);
                e.release();
            },
            QStringLiteral("绘制波形"));
        // A zoomed view draws only inside it.
        e.action("mnuArbZoomin")->trigger();
        checkStep(
            e,
            [&] {
                e.press(100.0, 900000.0);
                e.move(110.0, -900000.0);
                e.release();
            },
            QStringLiteral("绘制波形"));
        // A click without a move is a stroke too; a release without a press
        // is none.
        checkStep(
            e,
            [&] {
                e.press(100.0, 0.0);
                e.release();
            },
            QStringLiteral("绘制波形"));
        const std::size_t steps = e.steps();
        e.release();
        QCOMPARE(e.steps(), steps);
    }

    void aTraceReadIsOneStepAndBlocksUndo()
    {
        Editor e;
        e.action("mnuStandardSin")->trigger();
        e.connectScope();
        QVERIFY(e.w.controls().cmdReadValue->isEnabled());
        checkStep(
            e,
            [&] {
                e.w.controls().cmdReadValue->click();
                QVERIFY(!e.undoAction()->isEnabled());
                e.port.reply(Editor::Trace().left(1000));
                e.undoAction()->trigger();
                QCOMPARE(e.f.store.ArbData[0], (0 - 127) / 128.0f);
                // Asking again while the trace comes keeps one step.
                e.w.controls().cmdReadValue->click();
                e.port.reply(Editor::Trace(7).left(2000));
                QVERIFY(!e.undoAction()->isEnabled());
                // The trace is taken the moment it is complete.
                e.port.reply(Editor::Trace(7).mid(2000));
                QVERIFY(e.undoAction()->isEnabled());
            },
            QStringLiteral("读取数据"));
        QCOMPARE(e.f.store.ArbLength, 2500.0f);

        // A trace that fails after writing some points is undone as well.
        checkStep(
            e,
            [&] {
                e.w.controls().cmdReadValue->click();
                e.port.reply(Editor::Trace(99).left(600));
                e.scopeTick(7000);
                QCOMPARE(e.f.user.messages.size(), std::size_t(1));
            },
            QStringLiteral("读取数据"));
        // Its rest, coming late, is still taken: one more step.
        checkStep(
            e, [&] { e.port.reply(Editor::Trace(99).mid(600)); }, QStringLiteral("读取数据"));
    }

    void aDownloadBlocksUndo()
    {
        Editor e;
        e.enter(e.w.controls().Text_Arb_Length, QStringLiteral("2500"));
        e.action("mnuStandardSin")->trigger();
        e.w.controls().Command_DetectIO->click();
        e.w.generatorLink().timeLink_Timer();
        QVERIFY(e.w.InstrConnected());
        const ArbStore sine = e.f.store;

        e.w.controls().Command_viPrintf->click();
        QVERIFY(e.w.generatorLink().downloading());
        QVERIFY(!e.undoAction()->isEnabled());
        e.undoAction()->trigger();
        e.undo().mnuArbUndo_Click();
        QVERIFY(SameBits(e.f.store, sine));
        e.w.generatorLink().Timer1_Timer();
        QVERIFY(!e.undoAction()->isEnabled());
        e.w.generatorLink().Timer1_Timer();
        QVERIFY(!e.w.generatorLink().downloading());
        QVERIFY(e.undoAction()->isEnabled());
        e.undoAction()->trigger();
        QVERIFY(!SameBits(e.f.store, sine));
    }

    void keysBelongToATextFieldThatHasTheFocus()
    {
        Editor e;
        e.w.show();
        QVERIFY(QTest::qWaitForWindowActive(&e.w));
        e.action("mnuStandardSin")->trigger();
        const ArbStore sine = e.f.store;
        QLineEdit *length = e.w.controls().Text_Arb_Length;
        length->setFocus();
        QTest::keyClick(length, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(SameBits(e.f.store, sine));

        PlotCanvas *canvas = e.w.controls().Picture_Arb;
        canvas->setFocus();
        QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!SameBits(e.f.store, sine));
        length->setFocus();
        QTest::keyClick(length, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(length, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!SameBits(e.f.store, sine));
        // The menu item still acts on the waveform.
        e.redoAction()->trigger();
        QVERIFY(SameBits(e.f.store, sine));
        canvas->setFocus();
        QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(SameBits(e.f.store, sine));
        QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(canvas, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(SameBits(e.f.store, sine));

        // A field with an undo of its own takes back its own typing.
        QLineEdit *baud = e.w.controls().cobBaud->lineEdit();
        baud->setFocus();
        baud->end(false);
        QTest::keyClicks(baud, QStringLiteral("0"));
        QCOMPARE(baud->text(), QStringLiteral("96000"));
        QTest::keyClick(baud, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(baud->text(), QStringLiteral("9600"));
        QTest::keyClick(baud, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(baud->text(), QStringLiteral("96000"));
        QVERIFY(SameBits(e.f.store, sine));
        // A read-only field has none: the keys reach the menu.
        QLineEdit *model = e.w.controls().txtInstName;
        model->setFocus();
        QTest::keyClick(model, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!SameBits(e.f.store, sine));
    }

    void keysStayWithAFieldWhoseRedoKeysDiffer()
    {
        // A field that would let Ctrl+Y through, as on a platform whose redo
        // key is only Ctrl+Shift+Z.
        class PlainField final : public QLineEdit
        {
          protected:
            bool event(QEvent *e) override
            {
                if (e->type() == QEvent::ShortcutOverride)
                    return false;
                return QLineEdit::event(e);
            }
        };
        QWidget window;
        auto *field = new PlainField;
        field->setParent(&window);
        auto *undo = new QAction(&window);
        undo->setObjectName(QStringLiteral("mnuArbUndo"));
        undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
        auto *redo = new QAction(&window);
        redo->setObjectName(QStringLiteral("mnuArbRedo"));
        redo->setShortcuts(
            {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
        arb::test::FakeHost host;
        UndoCommands commands(&window, host);
        const QList<QKeyCombination> keys = {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_Y,
                                             Qt::CTRL | Qt::SHIFT | Qt::Key_Z};
        for (const QKeyCombination key : keys) {
            QKeyEvent press(QEvent::ShortcutOverride, key.key(), key.keyboardModifiers());
            press.ignore();
            QCoreApplication::sendEvent(field, &press);
            QVERIFY(press.isAccepted());
        }
        QKeyEvent other(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier);
        other.ignore();
        QCoreApplication::sendEvent(field, &other);
        QVERIFY(!other.isAccepted());
        field->setReadOnly(true);
        QKeyEvent readOnly(QEvent::ShortcutOverride, Qt::Key_Y, Qt::ControlModifier);
        readOnly.ignore();
        QCoreApplication::sendEvent(field, &readOnly);
        QVERIFY(!readOnly.isAccepted());
    }
};

QTEST_MAIN(TestUndoCommands)
#include "tst_undo_commands.moc"
