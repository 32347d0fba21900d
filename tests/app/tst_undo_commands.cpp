#include "app/GeneratorLink.h"
#include "app/UndoCommands.h"
#include "core/WaveStep.h"
#include "core/files/WaveNumber.h"
#include "scope/ScopeClock.h"
#include "scope/SerialPortIo.h"
#include "tests/support/FakeHost.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstring>
#include <functional>

using namespace arb;

namespace
{

struct ManualClock final : ScopeClock {
    qint64 nowMs() const override { return now; }
    qint64 now = 1000000;
};

// A serial port that opens anything and delivers the bytes it is given.
struct ScriptedPort final : SerialPortIo {
    PortOpenResult open(const QString &, const LineSettings &, Handshake, bool, bool) override
    {
        return PortOpenResult::Opened;
    }
    void close() override {}
    bool isOpen() const override { return true; }
    QByteArray readAll() override { return std::exchange(in, QByteArray()); }
    bool write(const QByteArray &) override { return true; }
    void reply(const QByteArray &bytes)
    {
        in += bytes;
        emit dataArrived();
    }
    QByteArray in;
};

bool SameBits(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(a.ArbData.data(), b.ArbData.data(), sizeof(a.ArbData)) == 0 &&
           std::memcmp(&a.ArbLength, &b.ArbLength, sizeof(float)) == 0;
}

QByteArray Trace(int first)
{
    QByteArray bytes("#42500");
    for (int i = 0; i < 2500; ++i)
        bytes += static_cast<char>((first + i) % 256);
    return bytes + '\n';
}

// The window with an oscilloscope and a generator on doubles, holding a
// half-amplitude waveform with other values behind its end.
struct Editor {
    Editor()
        : f(QRect(0, 0, 1024, 768), [this](test::WindowFixture &fx) {
              fx.scope = {&port, &clock, {}};
              fx.visa.resources = {"USB0::0x1AB1::0x0588::DG1::INSTR"};
          })
    {
        ArbStore start = f.store;
        for (int i = 0; i < kArbBufferSize; ++i)
            start.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.05));
        start.ArbData[3] = -0.0f;
        f.document.assign(start);
        undo().beginCommand(QStringLiteral("准备")); // records the above
        undo().endCommand();
    }
    UndoCommands &undo() { return f.window->undoCommands(); }
    const MainControls &c() { return f.window->controls(); }
    QAction *action(const char *name) { return f.window->findChild<QAction *>(QString::fromLatin1(name)); }
    std::size_t steps() { return undo().history().undoCount(); }
    QString file(const char *name, const QByteArray &text)
    {
        QFile out(dir.filePath(QString::fromLatin1(name)));
        out.open(QIODevice::WriteOnly);
        out.write(text);
        return out.fileName();
    }
    void enter(QLineEdit *field, const char *text)
    {
        field->setText(QString::fromLatin1(text));
        QTest::keyClick(field, Qt::Key_Return);
    }
    void stroke(std::initializer_list<QPointF> points)
    {
        PlotCanvas *canvas = c().Picture_Arb;
        emit canvas->mousePressed(Qt::LeftButton, Qt::LeftButton, *points.begin());
        for (const QPointF &p : points)
            emit canvas->mouseMoved(Qt::LeftButton, p);
        emit canvas->mouseReleased(Qt::LeftButton, Qt::NoButton, {});
    }

    ScriptedPort port;
    ManualClock clock;
    test::WindowFixture f;
    QTemporaryDir dir;
};

} // namespace

class TestUndoCommands : public QObject
{
    Q_OBJECT

    // The command makes one step named label; undo gives back the waveform
    // bit for bit with its length field, redo the one after.
    static void checkStep(Editor &e, const QString &label, const std::function<void()> &command)
    {
        const ArbStore before = e.f.store;
        const std::size_t steps = e.steps();
        command();
        const ArbStore after = e.f.store;
        QVERIFY2(!SameBits(before, after) && e.steps() == steps + 1, qPrintable(label));
        QCOMPARE(e.action("mnuArbUndo")->statusTip(), QStringLiteral("撤销：") + label);
        e.action("mnuArbUndo")->trigger();
        QVERIFY2(SameBits(e.f.store, before), qPrintable(label));
        QCOMPARE(e.c().Text_Arb_Length->text(), QString::fromStdString(FormatWaveCount(before.ArbLength)));
        QCOMPARE(e.action("mnuArbRedo")->statusTip(), QStringLiteral("重做：") + label);
        e.action("mnuArbRedo")->trigger();
        QVERIFY2(SameBits(e.f.store, after), qPrintable(label));
        QVERIFY(e.action("mnuArbUndo")->isEnabled() && !e.action("mnuArbRedo")->isEnabled());
    }

  private slots:
    void everyCommandIsOneStep()
    {
        Editor e;
        e.file("a.txt", "8\r\n0.5\r\n-0.5\r\n1\r\n0\r\n0.25\r\n0\r\n0\r\n0\r\n");
        e.file("c.txt", "100\r\n0.125\r\n0.25\r\n"); // ends early
        e.file("t.csv", "time,value\n0,0.5\n1,-0.25\n2,1\n3,-1\n4,0\n");
        e.f.importUi.acceptImportDefaults();
        // Caption, menu item, and the reply or @file it is given. The formula
        // commits the length inside; saving scales to full scale in place.
        const QStringList menu =
            QStringLiteral(
                "方波 mnuStandardSqu;X轴对称 mnuWaveXSymm;正弦波 mnuStandardSin;余弦波 mnuStandardCos;"
                "升锯齿波 mnuStandardUpRamp;Y轴对称 mnuWaveYSymm;降锯齿波 mnuStandardDownRamp;"
                "三角波 mnuStandardTri;波形幅度除常数 mnuWaveDiv 4;波形幅度归一化 mnuWaveAmplZoomIn;"
                "频率乘常数 mnuWaveFreqMul 3;波形幅度乘常数 mnuWaveMul 0;"
                "正弦波相加公式 mnuWaveSinAddFormula sinx+0.5sin2x;打开 menuFileOpen @a.txt;"
                "相减 mnuWaveDec @a.txt;相加 mnuWaveAdd @a.txt;打开 menuFileOpen @c.txt;"
                "导入波形 menuFileImport @t.csv;波形幅度除常数 mnuWaveDiv 4;保存 menuFileSave @s.arb")
                .split(QLatin1Char(';'));
        for (const QString &m : menu) {
            const QStringList part = m.split(QLatin1Char(' '));
            checkStep(e, part[0], [&] {
                if (part.size() > 2 && part[2].startsWith(QLatin1Char('@')))
                    e.f.user.pushFile(e.dir.filePath(part[2].mid(1)));
                else if (part.size() > 2)
                    e.f.user.pushInput(part[2]);
                e.action(part[1].toLatin1().constData())->trigger();
            });
        }
        checkStep(e, "输入点", [&] {
            e.enter(e.c().Text_ArbLineStartX, "2");
            e.enter(e.c().Text_ArbLineStartY, "0.5");
            e.c().Command_ArbPoint->click();
        });
        checkStep(e, "输入线段", [&] {
            e.enter(e.c().Text_ArbLineStartX, "0");
            e.enter(e.c().Text_ArbLineStopY, "-0.5");
            e.c().Command_ArbLine->click();
        });
        checkStep(e, "清除波形", [&] { e.c().Command_ArbWaveClear->click(); });
        checkStep(e, "设置波形点数", [&] { e.enter(e.c().Text_Arb_Length, "300"); }); // clears: one step
        QCOMPARE(e.f.user.messages.size(), std::size_t(0));
    }

    void aStrokeAndATraceReadAreOneStepEach()
    {
        Editor e;
        checkStep(e, "绘制波形", [&] { e.stroke({{10, 0}, {5, 1e6}, {60, -5e5}, {40, 2.5e5}}); });
        checkStep(e, "绘制波形", [&] { e.stroke({{100, 0}}); });
        // Undo waits for the end of the stroke: the points drawn so far stay.
        checkStep(e, "绘制波形", [&] {
            PlotCanvas *canvas = e.c().Picture_Arb;
            emit canvas->mousePressed(Qt::LeftButton, Qt::LeftButton, {10, 0});
            emit canvas->mouseMoved(Qt::LeftButton, {20, 1e6});
            emit canvas->mouseMoved(Qt::LeftButton, {60, -5e5});
            e.action("mnuArbUndo")->trigger();
            e.undo().mnuArbUndo_Click();
            QCOMPARE(e.f.store.ArbData[20], 1.0f);
            emit canvas->mouseMoved(Qt::LeftButton, {5, 2.5e5});
            emit canvas->mouseReleased(Qt::LeftButton, Qt::NoButton, {});
        });
        const std::size_t strokes = e.steps();
        emit e.c().Picture_Arb->mouseReleased(Qt::LeftButton, Qt::NoButton, {}); // no stroke
        QCOMPARE(e.steps(), strokes);

        e.c().cmdLink->click();
        e.port.reply("TDS\n");
        checkStep(e, "读取数据", [&] {
            e.c().cmdReadValue->click();
            e.port.reply(Trace(0).left(1000));
            QVERIFY(!e.action("mnuArbUndo")->isEnabled());
            e.undo().mnuArbUndo_Click(); // refused while the trace comes
            e.c().cmdReadValue->click(); // asked again: still one step
            e.port.reply(Trace(7));
        });
        QCOMPARE(e.f.store.ArbLength, 2500.0f);
        // A trace judged failed leaves the waveform as it was, and no step.
        const ArbStore beforeFailure = e.f.store;
        const std::size_t steps = e.steps();
        e.c().cmdReadValue->click();
        e.port.reply(Trace(99).left(600));
        e.clock.now += 7000;
        e.f.window->scopeCapture().Timer_TDS_Timer(); // judged failed
        QVERIFY(SameBits(e.f.store, beforeFailure));
        QCOMPARE(e.steps(), steps);
        QCOMPARE(e.f.user.messages.back().text, QStringLiteral("从示波器读取数据出错！"));
        // The rest, coming late, is still taken.
        checkStep(e, "读取数据", [&] { e.port.reply(Trace(99).mid(600)); });
    }

    void refusedCommandsRecordNothing()
    {
        Editor e;
        const std::size_t steps = e.steps();
        const ArbStore before = e.f.store;
        e.action("menuFileOpen")->trigger(); // cancelled
        e.f.user.pushFile(e.file("x.arb", "ArbNo0\r\n201\r\n"));
        e.action("menuFileOpen")->trigger(); // refused in the header
        e.f.user.pushFile(e.file("y.csv", "1,2\n3,4\n"));
        e.action("menuFileImport")->trigger(); // too few values
        for (const char *reply : {"cosx", "0"})
            e.f.user.pushInput(QString::fromLatin1(reply));
        e.action("mnuWaveSinAddFormula")->trigger();
        e.action("mnuWaveFreqMul")->trigger();
        e.action("mnuWaveDiv")->trigger(); // Cancel divides by 1
        e.enter(e.c().Text_Arb_Length, "201");
        e.action("menuFileSave")->trigger(); // cancelled
        e.action("mnuArbZoomin")->trigger();
        e.action("mnuStandardSqu")->trigger();
        e.action("mnuWaveAmplZoomIn")->trigger(); // the square's peak is 1 already
        QCOMPARE(e.f.user.messages.size(), std::size_t(4));
        QCOMPARE(e.steps(), steps + 1);
        e.action("mnuArbUndo")->trigger();
        QVERIFY(SameBits(e.f.store, before));
    }

    void aDownloadBlocksUndo()
    {
        Editor e;
        e.enter(e.c().Text_Arb_Length, "2500");
        e.c().Command_DetectIO->click();
        e.f.window->generatorLink().timeLink_Timer();
        const ArbStore cleared = e.f.store;
        e.c().Command_viPrintf->click();
        QVERIFY(!e.action("mnuArbUndo")->isEnabled());
        e.undo().mnuArbUndo_Click();
        QVERIFY(SameBits(e.f.store, cleared));
        e.f.window->generatorLink().Timer1_Timer();
        e.f.window->generatorLink().Timer1_Timer();
        QVERIFY(e.action("mnuArbUndo")->isEnabled());
    }

    // Only the points the document says changed are compared: a change that
    // no command or stroke marked is recorded before the next command or
    // undo, whatever strokes were recorded meanwhile.
    void aChangeNobodyMarkedWaitsBesideAStroke()
    {
        test::FakeHost host;
        UndoCommands undo(nullptr, nullptr, {}, host);
        const auto stroke = [&] {
            undo.beginStroke();
            host.doc.drawLine(10, 20, 1.0f);
            undo.endStroke(10, 20);
        };
        host.doc.setPoint(5, 0.25f);
        stroke();
        {
            const WaveStep nothing(host.doc, QStringLiteral("清除波形"));
        }
        QCOMPARE(undo.history().undoCount(), std::size_t(2));
        QCOMPARE(undo.history().undoLabel(), UndoCommands::UnmarkedLabel());
        undo.mnuArbUndo_Click();
        QCOMPARE(host.arb.ArbData[5], 0.0f);
        QCOMPARE(host.arb.ArbData[20], 1.0f);
        undo.mnuArbUndo_Click();
        QCOMPARE(host.arb.ArbData[20], 0.0f);

        host.doc.setPoint(500, -0.5f);
        stroke();
        undo.mnuArbUndo_Click();
        QCOMPARE(host.arb.ArbData[500], 0.0f);
        QCOMPARE(host.arb.ArbData[20], 1.0f);
        QCOMPARE(undo.history().redoLabel(), UndoCommands::UnmarkedLabel());
    }

    void menuItemsAndTheKeysOfTextFields()
    {
        {
            // A fresh window has nothing to undo or redo.
            test::WindowFixture fresh;
            auto *undo = fresh.window->findChild<QAction *>(QStringLiteral("mnuArbUndo"));
            auto *redo = fresh.window->findChild<QAction *>(QStringLiteral("mnuArbRedo"));
            QVERIFY(!undo->isEnabled() && !redo->isEnabled());
            QCOMPARE(undo->statusTip(), QStringLiteral("没有可撤销的操作"));
        }
        Editor e;
        const QList<QAction *> items = e.f.window->findChild<QMenu *>(QStringLiteral("mnuArb"))->actions();
        QCOMPARE(items.size(), 11);
        QVERIFY(items[8]->isSeparator());
        QCOMPARE(items[9]->text() + items[10]->text(), QStringLiteral("撤销(&U)重做(&R)"));
        QCOMPARE(items[10]->shortcuts(),
                 QKeySequence::listFromString(QStringLiteral("Ctrl+Y; Ctrl+Shift+Z")));

        e.f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(e.f.window.get()));
        e.action("mnuStandardSin")->trigger();
        const ArbStore sine = e.f.store;
        const auto keys = [&](QWidget *w, Qt::KeyboardModifiers mods) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | mods);
        };
        keys(e.c().Text_Arb_Length, {}); // the field's
        QVERIFY(SameBits(e.f.store, sine));
        keys(e.c().txtInstName, {}); // read-only: the menu's
        QVERIFY(!SameBits(e.f.store, sine));
        keys(e.c().Text_Arb_Length, Qt::ShiftModifier);
        QTest::keyClick(e.c().Text_Arb_Length, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!SameBits(e.f.store, sine));
        keys(e.c().Picture_Arb, Qt::ShiftModifier);
        QVERIFY(SameBits(e.f.store, sine));

        // A field whose own redo keys lack Ctrl+Y, as on some platforms,
        // still keeps it from the menu.
        struct PlainField final : QLineEdit {
            bool event(QEvent *ev) override
            {
                return ev->type() != QEvent::ShortcutOverride && QLineEdit::event(ev);
            }
        };
        QWidget window;
        auto *field = new PlainField;
        field->setParent(&window);
        auto *redo = new QAction(&window);
        redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Y")));
        test::FakeHost host;
        UndoCommands commands(nullptr, redo, {field}, host);
        QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Y, Qt::ControlModifier);
        press.ignore();
        QCoreApplication::sendEvent(field, &press);
        QVERIFY(press.isAccepted());
        // Other shortcuts (Ctrl+O opens a file) still reach the menus.
        QKeyEvent other(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier);
        other.ignore();
        QCoreApplication::sendEvent(field, &other);
        QVERIFY(!other.isAccepted());
        // A read-only field has no undo of its own to keep the keys for.
        field->setReadOnly(true);
        QKeyEvent readOnly(QEvent::ShortcutOverride, Qt::Key_Y, Qt::ControlModifier);
        readOnly.ignore();
        QCoreApplication::sendEvent(field, &readOnly);
        QVERIFY(!readOnly.isAccepted());
    }
};

QTEST_MAIN(TestUndoCommands)
#include "tst_undo_commands.moc"
