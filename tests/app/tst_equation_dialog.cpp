// "任意公式": the dialog's controls, its preview and status while a formula
// is typed, and the command in the main window with its undo step and the
// formulas it remembers between runs.
#include "app/EquationDialog.h"
#include "app/EquationHistory.h"
#include "app/FormMain.h"
#include "app/UndoCommands.h"
#include "core/ArbStore.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"
#include "view/WavePreview.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

using namespace arb;

namespace
{

// The dialog's controls by their object names.
struct Controls {
    explicit Controls(QDialog &d)
        : text(d.findChild<QComboBox *>(QStringLiteral("cobEquation"))),
          examples(d.findChild<QListWidget *>(QStringLiteral("lstEquationExamples"))),
          first(d.findChild<QSpinBox *>(QStringLiteral("txtEquationStart"))),
          last(d.findChild<QSpinBox *>(QStringLiteral("txtEquationEnd"))),
          seed(d.findChild<QSpinBox *>(QStringLiteral("txtEquationSeed"))),
          status(d.findChild<QLabel *>(QStringLiteral("LblEquationStatus"))),
          overflow(d.findChild<QComboBox *>(QStringLiteral("cobEquationOverflow"))),
          preview(d.findChild<WavePreview *>(QStringLiteral("picEquationPreview"))),
          ok(d.findChild<QPushButton *>(QStringLiteral("cmdEquationOk"))),
          cancel(d.findChild<QPushButton *>(QStringLiteral("cmdEquationCancel")))
    {
    }
    bool complete() const
    {
        return text && examples && first && last && seed && status && overflow && preview && ok && cancel;
    }
    void type(const QString &t)
    {
        text->lineEdit()->clear();
        QTest::keyClicks(text->lineEdit(), t);
    }
    QComboBox *text;
    QListWidget *examples;
    QSpinBox *first, *last, *seed;
    QLabel *status;
    QComboBox *overflow;
    WavePreview *preview;
    QPushButton *ok, *cancel;
};

ArbStore SineStore(int points)
{
    ArbStore s;
    s.ArbLength = static_cast<float>(points);
    for (int i = 0; i < kArbBufferSize; ++i)
        s.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.05));
    return s;
}

bool SameBits(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(a.ArbData.data(), b.ArbData.data(), sizeof(a.ArbData)) == 0 &&
           std::memcmp(&a.ArbLength, &b.ArbLength, sizeof(float)) == 0;
}

// Acts on the dialog the next menu command opens, as the user would, once
// it is on the screen; the dialog is closed afterwards in any case.
void OnDialog(const std::function<void(EquationDialog &, Controls &)> &act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<EquationDialog *>(w); d && d->isVisible()) {
                Controls c(*d);
                act(*d, c);
                // A check that failed inside act left the dialog open.
                if (d->isVisible())
                    d->reject();
                return;
            }
        QFAIL("the dialog is not open");
    });
}

// Typed as a key press that carries the text, as an input method delivers
// characters that have no key of their own.
void TypeText(QWidget *field, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
}

QAction *Action(FormMain &w, const char *name)
{
    return w.findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TestEquationDialog : public QObject
{
    Q_OBJECT

  private slots:
    void controlsAndDefaults()
    {
        const ArbStore store = SineStore(201);
        EquationDialog d(store, {});
        Controls c(d);
        QVERIFY(c.complete());
        QCOMPARE(d.windowTitle(), QStringLiteral("任意公式"));
        QCOMPARE(c.text->accessibleName(), QStringLiteral("公式"));
        QCOMPARE(c.first->accessibleName(), QStringLiteral("起点"));
        QCOMPARE(c.last->accessibleName(), QStringLiteral("终点"));
        QCOMPARE(c.seed->accessibleName(), QStringLiteral("随机种子"));
        QCOMPARE(c.examples->accessibleName(), QStringLiteral("示例"));
        QCOMPARE(c.overflow->accessibleName(), QStringLiteral("超出 ±1 时"));
        QCOMPARE(c.ok->text(), QStringLiteral("确定"));
        QCOMPARE(c.cancel->text(), QStringLiteral("取消"));
        QVERIFY(c.text->isEditable());
        QCOMPARE(c.text->currentText(), QStringLiteral("sin(2*pi*x)"));
        QCOMPARE(c.first->value(), 0);
        QCOMPARE(c.last->value(), 200);
        QCOMPARE(c.last->maximum(), 200);
        QCOMPARE(c.seed->value(), 1);
        QVERIFY(c.examples->count() >= 8);
        QCOMPARE(c.overflow->currentText(), QStringLiteral("按峰值缩放"));
        QVERIFY(c.ok->isEnabled());
        QVERIFY(c.status->text().startsWith(QStringLiteral("结果范围 ")));
        QVERIFY(c.overflow->isHidden());

        // A waveform replaced while the dialog is open (a trace read from the
        // oscilloscope) brings its length to the range.
        ArbStore changing = SineStore(201);
        EquationDialog r(changing, {});
        Controls rc(r);
        changing.ArbLength = 100;
        rc.type(QStringLiteral("x"));
        QCOMPARE(rc.last->value(), 99);
        QVERIFY(rc.ok->isEnabled());
        QCOMPARE(r.outcome().points.size(), std::size_t{100});

        // The history fills the drop-down, newest first, and the field.
        EquationDialog h(store, {QStringLiteral("x"), QStringLiteral("y")});
        Controls hc(h);
        QCOMPARE(hc.text->count(), 2);
        QCOMPARE(hc.text->currentText(), QStringLiteral("x"));
        QCOMPARE(hc.text->itemText(1), QStringLiteral("y"));
    }

    void previewAndStatusFollowTheTyping()
    {
        const ArbStore store = SineStore(201);
        EquationDialog d(store, {});
        Controls c(d);
        c.type(QStringLiteral("0.25"));
        const QImage flat = c.preview->image();
        QCOMPARE(c.status->text(), QStringLiteral("结果范围 0.25 ～ 0.25"));
        QCOMPARE(d.outcome().points.size(), std::size_t{201});

        QTest::keyClicks(c.text->lineEdit(), QStringLiteral("*sni"));
        QCOMPARE(c.status->text(), QStringLiteral("第 6 个字符：未知的名称 sni"));
        QVERIFY(!c.ok->isEnabled());
        QTest::keyClicks(c.text->lineEdit(), QStringLiteral("(x"));
        QCOMPARE(c.status->text(), QStringLiteral("第 6 个字符：未知的函数 sni"));
        c.type(QStringLiteral("0.25*sin(2*pi*x)"));
        QVERIFY(c.ok->isEnabled());
        QVERIFY(c.preview->image() != flat);

        // Beyond ±1: the choice appears and changes the result.
        c.type(QStringLiteral("2*sin(2*pi*x)"));
        QVERIFY(c.status->text().endsWith(QStringLiteral("个点超出 ±1")));
        QVERIFY(!c.overflow->isHidden());
        QVERIFY(c.ok->isEnabled());
        const QImage scaled = c.preview->image();
        QCOMPARE(d.outcome().points[50], 1.0f);
        const double peak = 2 * std::sin(2 * M_PI * 50 / 201);
        QVERIFY(std::fabs(d.outcome().points[17] - 2 * std::sin(2 * M_PI * 17 / 201) / peak) < 1e-6);
        c.overflow->setCurrentIndex(1);
        QCOMPARE(d.choices().overflow, EquationOverflow::Clip);
        QCOMPARE(d.outcome().points[17], 1.0f);
        QVERIFY(c.preview->image() != scaled);

        // Not a finite number: refused, named by its first point.
        c.type(QStringLiteral("1/(n-37)"));
        QCOMPARE(c.status->text(), QStringLiteral("第 37 点的结果不是有限数"));
        QVERIFY(!c.ok->isEnabled());
        QVERIFY(c.overflow->isHidden());
        c.first->setValue(38);
        QVERIFY(c.ok->isEnabled());
        c.last->setValue(20);
        QCOMPARE(c.status->text(), QStringLiteral("起点不能大于终点"));
        QVERIFY(!c.ok->isEnabled());
    }

    void examplesFillTheField()
    {
        const ArbStore store = SineStore(201);
        EquationDialog d(store, {});
        Controls c(d);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QString smoothing = QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3");
        QVERIFY(c.examples->item(6)->text().contains(QStringLiteral("三点平滑")));
        // Taking the focus chooses no example.
        c.examples->setFocus();
        QCOMPARE(c.text->currentText(), QStringLiteral("sin(2*pi*x)"));
        // Moving through the list does.
        for (int k = 0; k < 6; ++k)
            QTest::keyClick(c.examples, Qt::Key_Down);
        QCOMPARE(c.examples->currentRow(), 6);
        QCOMPARE(c.text->currentText(), smoothing);
        QVERIFY(c.ok->isEnabled());
        // Chosen again after an edit, by a click or by Enter, which does not
        // close the dialog.
        c.type(QStringLiteral("x"));
        QTest::mouseClick(c.examples->viewport(), Qt::LeftButton, {},
                          c.examples->visualItemRect(c.examples->item(6)).center());
        QCOMPARE(c.text->currentText(), smoothing);
        c.type(QStringLiteral("x"));
        QTest::keyClick(c.examples, Qt::Key_Return);
        QCOMPARE(c.text->currentText(), smoothing);
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), 0);
    }

    void fuzzOfTheField()
    {
        const ArbStore store = SineStore(64);
        EquationDialog d(store, {});
        Controls c(d);
        const QStringList pieces = {QStringLiteral("sin("),   QStringLiteral("x"),    QStringLiteral(")"),
                                    QStringLiteral("*"),      QStringLiteral("w(n+"), QStringLiteral("1/0"),
                                    QStringLiteral("?"),      QStringLiteral(":"),    QStringLiteral(","),
                                    QStringLiteral("rand()"), QStringLiteral("2"),    QStringLiteral("（"),
                                    QStringLiteral("="),      QStringLiteral("-")};
        std::mt19937 random(5);
        for (int round = 0; round < 300; ++round) {
            if (random() % 3 == 0)
                QTest::keyClick(c.text->lineEdit(), Qt::Key_Backspace);
            else
                TypeText(c.text->lineEdit(), pieces[static_cast<qsizetype>(random() % pieces.size())]);
            if (round % 40 == 39)
                c.text->lineEdit()->clear();
            const EquationOutcome &o = d.outcome();
            QCOMPARE(c.ok->isEnabled(), o.usable());
            QCOMPARE(c.status->text(), o.status());
            if (o.error.isError())
                QVERIFY(o.error.position >= 1 &&
                        o.error.position <= std::max<qsizetype>(1, c.text->currentText().toUcs4().size()));
        }
    }

    void menuItemAppliesOneUndoStepAndRemembers()
    {
        test::WindowFixture f;
        FormMain &w = *f.window;
        auto *wave = w.findChild<QMenu *>(QStringLiteral("mnuWave"));
        QVERIFY(wave);
        const QList<QAction *> items = wave->actions();
        QVERIFY(items.size() >= 2);
        QVERIFY(items[items.size() - 2]->isSeparator());
        QCOMPARE(items.last()->objectName(), QStringLiteral("mnuWaveEquation"));
        QCOMPARE(items.last()->text(), QStringLiteral("任意公式(&E)..."));
        QVERIFY(!items.last()->whatsThis().isEmpty());

        ArbStore sine = f.store;
        for (int i = 0; i < kArbBufferSize; ++i)
            sine.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.05));
        f.document.assign(sine);
        // Recorded as a step of its own before the next command.
        w.undoCommands().beginCommand(QStringLiteral("准备"));
        w.undoCommands().endCommand();
        const std::size_t steps = w.undoCommands().history().undoCount();
        const ArbStore before = f.store;

        // Cancel leaves everything as it was.
        OnDialog([](EquationDialog &, Controls &c) {
            c.type(QStringLiteral("0"));
            c.cancel->click();
        });
        Action(w, "mnuWaveEquation")->trigger();
        QVERIFY(SameBits(f.store, before));
        QVERIFY(f.settings.value(QStringLiteral("equation/history")).toStringList().isEmpty());
        QCOMPARE(w.undoCommands().history().undoCount(), steps);

        // A refused result cannot be applied.
        OnDialog([](EquationDialog &d, Controls &c) {
            c.type(QStringLiteral("ln(x)"));
            QCOMPARE(c.status->text(), QStringLiteral("第 0 点的结果不是有限数"));
            QTest::mouseClick(c.ok, Qt::LeftButton);
            QVERIFY(d.isVisible());
            c.cancel->click();
        });
        Action(w, "mnuWaveEquation")->trigger();
        QVERIFY(SameBits(f.store, before));

        // A range, smoothed: only its points change, from the values before.
        OnDialog([](EquationDialog &, Controls &c) {
            c.type(QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3 + 0.25"));
            c.first->setValue(10);
            c.last->setValue(19);
            c.ok->click();
        });
        Action(w, "mnuWaveEquation")->trigger();
        for (int i = 0; i < 201; ++i) {
            const auto k = static_cast<std::size_t>(i);
            if (i < 10 || i > 19)
                QCOMPARE(f.store.ArbData[k], before.ArbData[k]);
            else
                QCOMPARE(f.store.ArbData[k], static_cast<float>((static_cast<double>(before.ArbData[k - 1]) +
                                                                 before.ArbData[k] + before.ArbData[k + 1]) /
                                                                    3 +
                                                                0.25));
        }
        QCOMPARE(Action(w, "mnuArbUndo")->statusTip(), QStringLiteral("撤销：任意公式"));
        QCOMPARE(w.undoCommands().history().undoCount(), steps + 1);
        const ArbStore after = f.store;
        Action(w, "mnuArbUndo")->trigger();
        QVERIFY(SameBits(f.store, before));
        QCOMPARE(w.undoCommands().history().undoCount(), steps);
        Action(w, "mnuArbRedo")->trigger();
        QVERIFY(SameBits(f.store, after));

        // Enter applies too; the formulas are remembered newest first.
        OnDialog([](EquationDialog &, Controls &c) {
            c.type(QStringLiteral("x"));
            QTest::keyClick(c.text->lineEdit(), Qt::Key_Return);
        });
        Action(w, "mnuWaveEquation")->trigger();
        QCOMPARE(f.store.ArbData[200], 200.0f / 201);
        QCOMPARE(f.settings.value(QStringLiteral("equation/history")).toStringList(),
                 (QStringList{QStringLiteral("x"), QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3 + 0.25")}));

        // A second window on the same settings offers them.
        FormMainServices s;
        s.document = &f.document;
        s.prompt = &f.user;
        s.help = &f.help;
        s.workArea = QRect(0, 0, 1024, 768);
        s.visa = &f.visa;
        s.importExport = &f.importUi;
        s.settings = &f.settings;
        FormMain second(s);
        QStringList offered;
        OnDialog([&offered](EquationDialog &, Controls &c) {
            for (int i = 0; i < c.text->count(); ++i)
                offered << c.text->itemText(i);
            QCOMPARE(c.text->currentText(), QStringLiteral("x"));
            c.cancel->click();
        });
        Action(second, "mnuWaveEquation")->trigger();
        QCOMPARE(offered,
                 (QStringList{QStringLiteral("x"), QStringLiteral("(w(n-1) + w(n) + w(n+1)) / 3 + 0.25")}));
    }

    void historyKeepsTheNewestTwenty()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("h.conf")), QSettings::IniFormat);
        // A hand-edited file: blanks and repeats are dropped.
        settings.setValue(QStringLiteral("equation/history"),
                          QStringList{QStringLiteral(" x "), QString(), QStringLiteral("x")});
        QCOMPARE(LoadEquationHistory(settings), QStringList{QStringLiteral("x")});
        for (int k = 0; k < 23; ++k)
            RememberEquation(settings, QStringLiteral("%1*x").arg(k % 22));
        const QStringList history = LoadEquationHistory(settings);
        QCOMPARE(history.size(), 20);
        // "0*x" used again last comes first, and only once.
        QCOMPARE(history.first(), QStringLiteral("0*x"));
        QCOMPARE(history.count(QStringLiteral("0*x")), 1);
        QCOMPARE(history.last(), QStringLiteral("3*x"));
    }
};

QTEST_MAIN(TestEquationDialog)
#include "tst_equation_dialog.moc"
