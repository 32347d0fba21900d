// The dialog "更多波形": its controls, the preview and note that follow every
// change, refused values, and the command in the main window with its undo
// step and the choices it remembers between runs.
#include "app/FormMain.h"
#include "app/ShapeDialog.h"
#include "app/ShapeMemory.h"
#include "app/UndoCommands.h"
#include "core/ArbStore.h"
#include "core/shapes/ShapeSynthesis.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

using namespace arb;

namespace
{

// A waveform of 201 points, and others behind it that no shape may touch.
struct Points {
    Points()
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<float>(0.25 * std::sin(0.1 * static_cast<double>(i)));
    }
    std::array<float, kArbBufferSize> values{};
};

ShapeChoices Defaults()
{
    QSettings empty(QString(), QSettings::IniFormat);
    return RecallShapeChoices(empty);
}

// The field called caption among the chosen shape's parameters or the
// fields every shape shares.
template <typename T = QLineEdit> T *Field(QDialog &d, const QString &caption)
{
    QWidget *page = d.findChild<QStackedWidget *>(QStringLiteral("stkShapeParameters"))->currentWidget();
    for (T *w : page->findChildren<T *>())
        if (w->accessibleName() == caption)
            return w;
    for (T *w : d.findChildren<T *>())
        if (w->accessibleName() == caption && !page->isAncestorOf(w) && w->parentWidget() == &d)
            return w;
    return nullptr;
}

QListWidget *List(QDialog &d)
{
    return d.findChild<QListWidget *>(QStringLiteral("lstShape"));
}

void Choose(QDialog &d, const QString &caption)
{
    const QList<QListWidgetItem *> items = List(d)->findItems(caption, Qt::MatchExactly);
    QVERIFY(items.size() == 1);
    List(d)->setCurrentItem(items.first());
}

QString Note(QDialog &d)
{
    return d.findChild<QLabel *>(QStringLiteral("LblShapeNote"))->text();
}

QImage Preview(QDialog &d)
{
    return d.findChild<PlotCanvas *>(QStringLiteral("picShapePreview"))->image();
}

// Runs act on the dialog once it is open and waiting for the user; the
// dialog is cancelled afterwards if act left it open.
void WhenDialogOpens(const std::function<void(ShapeDialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *d = qobject_cast<ShapeDialog *>(QApplication::activeModalWidget());
        if (!d) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *found = qobject_cast<ShapeDialog *>(w); found && found->isVisible())
                    d = found;
        }
        QVERIFY(d);
        act(*d);
        if (d->isVisible())
            d->reject();
    });
}

void ClickOk(QDialog &d)
{
    d.findChild<QPushButton *>(QStringLiteral("cmdShapeOk"))->click();
}

QAction *Action(FormMain &w, const char *name)
{
    return w.findChild<QAction *>(QString::fromLatin1(name));
}

bool SameBits(const float *a, const float *b, std::size_t n)
{
    return std::memcmp(a, b, n * sizeof(float)) == 0;
}

} // namespace

class TestShapeDialog : public QObject
{
    Q_OBJECT
  private slots:
    void controlsAndDefaults()
    {
        Points p;
        test::ScriptedPrompt user;
        ShapeDialog d(p.values.data(), 201, Defaults(), user);
        QCOMPARE(d.windowTitle(), QStringLiteral("更多波形"));
        QListWidget *list = List(d);
        QVERIFY(list);
        QCOMPARE(list->accessibleName(), QStringLiteral("波形"));
        QCOMPARE(list->count(), 24);
        QCOMPARE(list->item(0)->text(), QStringLiteral("正弦"));
        QCOMPARE(list->item(10)->text(), QStringLiteral("升余弦（haversine）"));
        QCOMPARE(list->item(23)->text(), QStringLiteral("PRBS"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(Field(d, QStringLiteral("周期数"))->text(), QStringLiteral("1"));
        QCOMPARE(Field(d, QStringLiteral("相位(度)"))->text(), QStringLiteral("0"));
        QCOMPARE(Field(d, QStringLiteral("起点"))->text(), QStringLiteral("0"));
        QCOMPARE(Field(d, QStringLiteral("终点"))->text(), QStringLiteral("200"));
        QCOMPARE(Field(d, QStringLiteral("幅度"))->text(), QStringLiteral("1"));
        QCOMPARE(Field(d, QStringLiteral("偏移"))->text(), QStringLiteral("0"));
        QVERIFY(Note(d).isEmpty());
        QVERIFY(d.findChild<QLabel *>(QStringLiteral("LblShapeFormula"))
                    ->text()
                    .startsWith(QStringLiteral("s(u) = sin(2π(c·u + p/360))")));

        Choose(d, QStringLiteral("梯形脉冲"));
        QCOMPARE(Field(d, QStringLiteral("上升"))->text(), QStringLiteral("0.1"));
        QCOMPARE(Field(d, QStringLiteral("高"))->text(), QStringLiteral("0.3"));
        QCOMPARE(Field(d, QStringLiteral("下降"))->text(), QStringLiteral("0.1"));
        Choose(d, QStringLiteral("PRBS"));
        auto *order = Field<QComboBox>(d, QStringLiteral("阶数"));
        QVERIFY(order);
        QStringList orders;
        for (int i = 0; i < order->count(); ++i)
            orders << order->itemText(i);
        QCOMPARE(orders, (QStringList{"7", "9", "15", "23", "31"}));
        QCOMPARE(Field(d, QStringLiteral("每位点数"))->text(), QStringLiteral("1"));
        Choose(d, QStringLiteral("均匀噪声"));
        Field(d, QStringLiteral("随机种子"))->setText(QStringLiteral("4294967295"));
        QVERIFY(Note(d).isEmpty());
        QCOMPARE(d.request()->settings.values, std::vector<double>{4294967295.0});
    }

    // The preview is the whole waveform as 确定 would leave it.
    void previewAndNoteFollowEveryChange()
    {
        Points p;
        test::ScriptedPrompt user;
        ShapeDialog d(p.values.data(), 201, Defaults(), user);
        const QImage sine = Preview(d);
        Field(d, QStringLiteral("周期数"))->setText(QStringLiteral("3"));
        const QImage three = Preview(d);
        QVERIFY(three != sine);
        Field(d, QStringLiteral("起点"))->setText(QStringLiteral("81"));
        QVERIFY(Preview(d) != three);

        // Beyond ±1: the note says the range will be divided by its peak,
        // 2 at u = 10/120.
        Field(d, QStringLiteral("幅度"))->setText(QStringLiteral("2"));
        QCOMPARE(Note(d), QStringLiteral("结果超出 ±1：确定后这一段将除以其最大绝对值 2"));
        Field(d, QStringLiteral("幅度"))->setText(QStringLiteral("0.5"));
        QVERIFY(Note(d).isEmpty());

        // A refused value is named as it is typed; the preview then shows
        // the waveform as it is, without the shape.
        const QImage shaped = Preview(d);
        Field(d, QStringLiteral("终点"))->setText(QStringLiteral("80"));
        QCOMPARE(Note(d), QStringLiteral("“终点”应为 81 到 200 之间的整数"));
        const QImage unchanged = Preview(d);
        QVERIFY(unchanged != shaped);
        Field(d, QStringLiteral("终点"))->setText(QStringLiteral("200"));
        QCOMPARE(Preview(d), shaped);
        Choose(d, QStringLiteral("高斯脉冲"));
        Field(d, QStringLiteral("宽度σ"))->setText(QStringLiteral("0"));
        QCOMPARE(Note(d), QStringLiteral("“宽度σ”应大于 0 且不大于 1000"));
        QCOMPARE(Preview(d), unchanged);
    }

    void refusedValuesKeepTheDialogOpen()
    {
        Points p;
        test::ScriptedPrompt user;
        ShapeDialog d(p.values.data(), 201, Defaults(), user);
        d.show();
        Choose(d, QStringLiteral("方波（占空比）"));
        QLineEdit *duty = Field(d, QStringLiteral("占空比"));
        duty->setText(QStringLiteral("1.5"));
        ClickOk(d);
        QCOMPARE(user.messages.size(), std::size_t(1));
        QCOMPARE(user.messages[0].text, QStringLiteral("“占空比”应在 0 到 1 之间"));
        QCOMPARE(user.messages[0].title, QStringLiteral("更多波形"));
        QCOMPARE(user.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(d.isVisible());
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(d.focusWidget(), static_cast<QWidget *>(duty));

        duty->setText(QStringLiteral("0.5"));
        Choose(d, QStringLiteral("梯形脉冲"));
        Field(d, QStringLiteral("高"))->setText(QStringLiteral("0.9"));
        ClickOk(d);
        QCOMPARE(user.messages.back().text, QStringLiteral("“上升”、“高”、“下降”之和应不大于 1"));
        Field(d, QStringLiteral("高"))->setText(QStringLiteral("0.3"));
        Choose(d, QStringLiteral("阶梯"));
        Field(d, QStringLiteral("台阶数"))->setText(QStringLiteral("1"));
        ClickOk(d);
        QCOMPARE(user.messages.back().text, QStringLiteral("“台阶数”应为 2 到 1000 之间的整数"));
        Field(d, QStringLiteral("台阶数"))->setText(QStringLiteral("8"));
        Field(d, QStringLiteral("起点"))->setText(QStringLiteral("201"));
        ClickOk(d);
        QCOMPARE(user.messages.back().text, QStringLiteral("“起点”应为 0 到 200 之间的整数"));
        QCOMPARE(user.messages.size(), std::size_t(4));
        QVERIFY(d.isVisible());

        Field(d, QStringLiteral("起点"))->setText(QStringLiteral("20"));
        ClickOk(d);
        QCOMPARE(user.messages.size(), std::size_t(4));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const ShapeRequest r = *d.request();
        QCOMPARE(r.settings.kind, ShapeKind::Staircase);
        QCOMPARE(r.settings.values, std::vector<double>{8});
        QCOMPARE(r.start, 20);
        QCOMPARE(r.end, 200);
    }

    void menuItem()
    {
        test::WindowFixture f;
        auto *menu = f.window->findChild<QMenu *>(QStringLiteral("mnuStandard"));
        QVERIFY(menu);
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.size(), 8);
        QVERIFY(actions[6]->isSeparator());
        QCOMPARE(actions[7]->objectName(), QStringLiteral("mnuStandardMore"));
        QCOMPARE(actions[7]->text(), QStringLiteral("更多波形(&M)..."));
        QVERIFY(!actions[7]->whatsThis().isEmpty());
    }

    // 确定 writes the range as one undo step; undo gives back every point.
    void commandWritesTheRangeAsOneStep()
    {
        test::WindowFixture f;
        FormMain &w = *f.window;
        Points p;
        ArbStore start = f.store;
        start.ArbData = p.values;
        f.document.replacePoints(start);
        UndoCommands &undo = w.undoCommands();
        undo.beginCommand(QStringLiteral("准备"));
        undo.endCommand();
        const std::size_t steps = undo.history().undoCount();
        const auto before = f.store.ArbData;

        WhenDialogOpens([](ShapeDialog &d) {
            Choose(d, QStringLiteral("高斯脉冲"));
            Field(d, QStringLiteral("宽度σ"))->setText(QStringLiteral("0.2"));
            Field(d, QStringLiteral("起点"))->setText(QStringLiteral("10"));
            Field(d, QStringLiteral("终点"))->setText(QStringLiteral("109"));
            Field(d, QStringLiteral("偏移"))->setText(QStringLiteral("-0.5"));
            ClickOk(d);
        });
        Action(w, "mnuStandardMore")->trigger();

        QCOMPARE(undo.history().undoCount(), steps + 1);
        QCOMPARE(Action(w, "mnuArbUndo")->statusTip(), QStringLiteral("撤销：高斯脉冲"));
        for (int i = 10; i <= 109; ++i) {
            const double u = (i - 10) / 100.0;
            const double s = std::exp(-std::pow((u - 0.5) / 0.2, 2) / 2);
            QVERIFY2(qAbs(f.store.ArbData[static_cast<std::size_t>(i)] - static_cast<float>(s - 0.5)) < 1e-6f,
                     qPrintable(QString::number(i)));
        }
        QVERIFY(SameBits(f.store.ArbData.data(), before.data(), 10));
        QVERIFY(SameBits(f.store.ArbData.data() + 110, before.data() + 110, kArbBufferSize - 110));
        QCOMPARE(f.store.ArbLength, 201.0f);
        QVERIFY(f.user.messages.empty());

        Action(w, "mnuArbUndo")->trigger();
        QVERIFY(SameBits(f.store.ArbData.data(), before.data(), kArbBufferSize));

        // 取消 changes nothing and records no step.
        WhenDialogOpens([](ShapeDialog &d) {
            Field(d, QStringLiteral("幅度"))->setText(QStringLiteral("0.1"));
            d.findChild<QPushButton *>(QStringLiteral("cmdShapeCancel"))->click();
        });
        Action(w, "mnuStandardMore")->trigger();
        QCOMPARE(undo.history().undoCount(), steps);
        QVERIFY(SameBits(f.store.ArbData.data(), before.data(), kArbBufferSize));
    }

    void choicesAreRememberedBetweenRuns()
    {
        test::WindowFixture first;
        WhenDialogOpens([](ShapeDialog &d) {
            Choose(d, QStringLiteral("方波（占空比）"));
            Field(d, QStringLiteral("周期数"))->setText(QStringLiteral("2.5"));
            Field(d, QStringLiteral("占空比"))->setText(QStringLiteral("0.25"));
            Field(d, QStringLiteral("幅度"))->setText(QStringLiteral("0.5"));
            ClickOk(d);
        });
        Action(*first.window, "mnuStandardMore")->trigger();
        QCOMPARE(first.store.ArbData[0], 0.5f);
        first.window.reset();
        first.settings.sync();

        // A second window reads the same file afresh.
        test::WindowFixture second;
        second.window.reset();
        QSettings again(first.settings.fileName(), QSettings::IniFormat);
        FormMainServices s;
        s.document = &second.document;
        s.prompt = &second.user;
        s.help = &second.help;
        s.workArea = QRect(0, 0, 1024, 768);
        s.visa = &second.visa;
        s.importExport = &second.importUi;
        s.settings = &again;
        FormMain w(s);
        bool seen = false;
        WhenDialogOpens([&seen](ShapeDialog &d) {
            QCOMPARE(List(d)->currentItem()->text(), QStringLiteral("方波（占空比）"));
            QCOMPARE(Field(d, QStringLiteral("周期数"))->text(), QStringLiteral("2.5"));
            QCOMPARE(Field(d, QStringLiteral("占空比"))->text(), QStringLiteral("0.25"));
            QCOMPARE(Field(d, QStringLiteral("幅度"))->text(), QStringLiteral("0.5"));
            QCOMPARE(Field(d, QStringLiteral("偏移"))->text(), QStringLiteral("0"));
            // Other shapes keep their defaults.
            Choose(d, QStringLiteral("正弦"));
            QCOMPARE(Field(d, QStringLiteral("周期数"))->text(), QStringLiteral("1"));
            seen = true;
        });
        Action(w, "mnuStandardMore")->trigger();
        QVERIFY(seen);
    }

    // Values in the settings file that a shape does not take are not used.
    void settingsThatAreRefusedFallBackToDefaults()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("vxarb.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("shapes/shape"), QStringLiteral("nosuchshape"));
        settings.setValue(QStringLiteral("shapes/square/duty"), QStringLiteral("7"));
        settings.setValue(QStringLiteral("shapes/square/cycles"), QStringLiteral("3"));
        settings.setValue(QStringLiteral("shapes/amplitude"), QStringLiteral("abc"));
        settings.setValue(QStringLiteral("shapes/prbs/order"), 8);
        settings.setValue(QStringLiteral("shapes/trapezoid/rise"), 0.5);
        settings.setValue(QStringLiteral("shapes/trapezoid/high"), 0.5);
        settings.setValue(QStringLiteral("shapes/trapezoid/fall"), 0.5);
        const ShapeChoices c = RecallShapeChoices(settings);
        QCOMPARE(c.chosen, ShapeKind::Sine);
        QCOMPARE(c.values[static_cast<std::size_t>(ShapeKind::Square)], (std::vector<double>{3, 0.5}));
        QCOMPARE(c.amplitude, 1.0);
        QCOMPARE(c.values[static_cast<std::size_t>(ShapeKind::Prbs)], (std::vector<double>{7, 1}));
        QCOMPARE(c.values[static_cast<std::size_t>(ShapeKind::Trapezoid)],
                 (std::vector<double>{1, 0.1, 0.3, 0.1}));
    }
};

QTEST_MAIN(TestShapeDialog)
#include "tst_shape_dialog.moc"
