#include "app/MainControls.h"
#include "app/NameField.h"
#include "core/WaveDocument.h"
#include "tests/support/ScriptedPrompt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using namespace arb;
using arb::test::ScriptedPrompt;

// Drops text onto the field as a drag from another program would.
void DropText(QLineEdit *field, const QString &text)
{
    QMimeData data;
    data.setText(text);
    const QPointF at(field->width() - 2, field->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
}

// The name frame and the slot frame with their names, and the controller.
struct NameWindow {
    NameWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        name = new QLineEdit(QStringLiteral("ArbNo0"), &window);
        name->setObjectName(QStringLiteral("txtName"));
        other = new QLineEdit(&window);
        label = new QLabel(QStringLiteral("0"), &window);
        label->setObjectName(QStringLiteral("Label_ArbNumber"));
        scroll = new QScrollBar(Qt::Vertical, &window);
        scroll->setObjectName(QStringLiteral("VScroll_ArbNumber"));
        for (QWidget *w : std::initializer_list<QWidget *>{name, other, label, scroll})
            layout->addWidget(w);
        MainControls c;
        c.txtName = name;
        c.Label_ArbNumber = label;
        c.VScroll_ArbNumber = scroll;
        field = new NameField(c, doc, user, &window);
        field->startUp();
    }
    void upArrow() { scroll->triggerAction(QAbstractSlider::SliderSingleStepSub); }
    void downArrow() { scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); }
    void leave()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(name, &out);
    }

    ScriptedPrompt user;
    WaveDocument doc;
    QWidget window;
    QLineEdit *name;
    QLineEdit *other;
    QLabel *label;
    QScrollBar *scroll;
    NameField *field;
};

class TestNameField : public QObject
{
    Q_OBJECT

  private slots:
    void startsAtTheDefaultName()
    {
        NameWindow w;
        QCOMPARE(w.field->slot(), 0);
        QCOMPARE(w.label->text(), QStringLiteral("0"));
        QCOMPARE(w.label->alignment(), Qt::AlignCenter);
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QVERIFY(!w.field->NameChanged());
    }

    void onlyLettersAndDigitsMayBeTyped()
    {
        NameWindow w;
        w.name->setCursorPosition(6);
        QTest::keyClick(w.name, Qt::Key_Backspace);
        QTest::keyClick(w.name, Qt::Key_Backspace);
        for (Qt::Key k : {Qt::Key_Space, Qt::Key_Minus, Qt::Key_Underscore}) {
            w.user.clear();
            QTest::keyClick(w.name, k);
            QCOMPARE(w.user.messages.size(), size_t(1));
            QCOMPARE(w.user.messages[0].text, QStringLiteral("输入字符必须为数字或字母!"));
            QCOMPARE(w.user.messages[0].title, QStringLiteral("提示"));
            QCOMPARE(w.user.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(w.name->text(), QStringLiteral("ArbN"));
        }
        // The paste shortcut is a key like any other.
        QApplication::clipboard()->setText(QStringLiteral("XY"));
        QTest::keyClick(w.name, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.name->text(), QStringLiteral("ArbN"));
        QTest::keyClicks(w.name, QStringLiteral("z9"));
        QCOMPARE(w.name->text(), QStringLiteral("ArbNz9"));
        QVERIFY(w.field->NameChanged());
    }

    void aSeventhCharacterIsCutFromTheEnd()
    {
        NameWindow w;
        w.name->setText(QStringLiteral("ABCDEF"));
        w.user.clear();
        w.name->setCursorPosition(2);
        QTest::keyClick(w.name, Qt::Key_X);
        QCOMPARE(w.name->text(), QStringLiteral("ABxCDE"));
        QCOMPARE(w.name->cursorPosition(), 3);
        QCOMPARE(w.user.messages.size(), size_t(1));
        QCOMPARE(w.user.messages[0].text, QStringLiteral("任意波名称字符个数为 1到6 之间且不允许有空格"));
        QCOMPARE(w.user.messages[0].title, QString());
        QCOMPARE(w.user.messages[0].icon, MessageIcon::Critical);
    }

    void pastedTextKeepsOnlyLettersAndDigits()
    {
        NameWindow w;
        QApplication::clipboard()->setText(QStringLiteral("  AB"));
        w.name->selectAll();
        w.name->paste();
        QCOMPARE(w.name->text(), QStringLiteral("AB"));
        QApplication::clipboard()->setText(QStringLiteral("A B"));
        w.name->selectAll();
        w.name->paste();
        QCOMPARE(w.name->text(), QStringLiteral("AB"));
        QVERIFY(w.user.messages.empty());
        // A long name set by the file reader is trimmed and cut with the message.
        w.field->SetNameText(QStringLiteral(" WAVEFORM1 "));
        QCOMPARE(w.name->text(), QStringLiteral("WAVEFO"));
        QCOMPARE(w.user.messages.size(), size_t(1));
    }

    // Every way text comes into the field whole: what stays is what typing
    // the same characters would have left, never a separator, a line end or
    // NUL that would reach the generator's command.
    void noRouteBringsInMoreThanTyping()
    {
        const QString attack = QStringLiteral("A;*RST");
        const QString lineEnds = QStringLiteral("AB,CD\r\n");
        const auto put = [](NameWindow &w, const std::function<void()> &route) {
            w.name->clear();
            route();
        };
        const std::vector<std::pair<const char *, std::function<void(NameWindow &, const QString &)>>>
            routes = {
                {"paste",
                 [&](NameWindow &w, const QString &t) {
                     QApplication::clipboard()->setText(t);
                     put(w, [&] { w.name->paste(); });
                 }},
                {"context menu",
                 [&](NameWindow &w, const QString &t) {
                     QApplication::clipboard()->setText(t);
                     std::unique_ptr<QMenu> menu(w.name->createStandardContextMenu());
                     QAction *paste = nullptr;
                     for (QAction *a : menu->actions())
                         if (a->text().startsWith(QStringLiteral("&Paste")))
                             paste = a;
                     QVERIFY(paste && paste->isEnabled());
                     put(w, [&] { paste->trigger(); });
                 }},
                {"Shift+Insert",
                 [&](NameWindow &w, const QString &t) {
                     QApplication::clipboard()->setText(t);
                     w.name->setFocus();
                     put(w, [&] { QTest::keyClick(w.name, Qt::Key_Insert, Qt::ShiftModifier); });
                 }},
                {"drop", [&](NameWindow &w, const QString &t) { put(w, [&] { DropText(w.name, t); }); }},
                {"setText", [&](NameWindow &w, const QString &t) { put(w, [&] { w.name->setText(t); }); }},
            };
        for (const auto &[route, bring] : routes) {
            NameWindow w;
            w.window.show();
            bring(w, attack);
            QVERIFY2(w.name->text() == QStringLiteral("ARST"), route);
            QVERIFY2(w.user.messages.empty(), route);
            QVERIFY2(w.field->NameChanged(), route);
            QCOMPARE(w.field->Name(), QStringLiteral("ARST"));
            bring(w, lineEnds);
            QVERIFY2(w.name->text() == QStringLiteral("ABCD"), route);
            // More than six letters: cut with the length message, as typed.
            bring(w, QStringLiteral("W,A;V\tE\0FORM1"));
            QVERIFY2(w.name->text() == QStringLiteral("WAVEFO"), route);
            QCOMPARE(w.user.messages.size(), size_t(1));
            QCOMPARE(w.user.messages[0].text, QStringLiteral("任意波名称字符个数为 1到6 之间且不允许有空格"));
            QCOMPARE(w.user.messages[0].icon, MessageIcon::Critical);
        }

        // Pasted into the middle, the caret stays after what was kept.
        NameWindow w;
        w.name->setText(QStringLiteral("AB"));
        w.name->setCursorPosition(1);
        QApplication::clipboard()->setText(QStringLiteral(";X\n"));
        w.name->paste();
        QCOMPARE(w.name->text(), QStringLiteral("AXB"));
        QCOMPARE(w.name->cursorPosition(), 2);
    }

    void theFlagStaysUntilAFullRedraw()
    {
        NameWindow w;
        w.name->setCursorPosition(6);
        QTest::keyClick(w.name, Qt::Key_Backspace);
        QTest::keyClick(w.name, Qt::Key_0);
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QVERIFY(w.field->NameChanged());
        w.name->setText(QStringLiteral("WAVE1"));
        w.doc.resetChangedName();
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QVERIFY(!w.field->NameChanged());
        // Unchanged, the redraw leaves the name alone, even one the file reader
        // set to the default text.
        w.field->SetNameText(QStringLiteral("ArbNo0"));
        QVERIFY(!w.field->NameChanged());
        w.doc.resetChangedName();
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
    }

    void theSlotSelectorCountsUpwardsWithItsUpperArrow()
    {
        NameWindow w;
        w.upArrow();
        QCOMPARE(w.field->slot(), 1);
        QCOMPARE(w.label->text(), QStringLiteral("1"));
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo1"));
        QVERIFY(!w.field->NameChanged());
        for (int i = 0; i < 12; ++i)
            w.upArrow();
        QCOMPARE(w.label->text(), QStringLiteral("9"));
        for (int i = 0; i < 12; ++i)
            w.downArrow();
        QCOMPARE(w.label->text(), QStringLiteral("0"));
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        // A custom name stays; a typed default name follows the slot.
        w.name->setText(QStringLiteral("WAVE"));
        w.upArrow();
        QCOMPARE(w.name->text(), QStringLiteral("WAVE"));
        QVERIFY(w.field->NameChanged());
        w.name->setText(QStringLiteral("ArbNo1"));
        w.upArrow();
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo2"));
        QVERIFY(!w.field->NameChanged());
        // The redraw's default is the slot's.
        w.name->setText(QStringLiteral("X"));
        w.doc.resetChangedName();
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo2"));
    }

    void anEmptyNameIsNotKept()
    {
        NameWindow w;
        w.name->selectAll();
        QTest::keyClick(w.name, Qt::Key_Backspace);
        QCOMPARE(w.name->text(), QString());
        QCOMPARE(w.field->Name(), QStringLiteral("ArbNo0"));
        QVERIFY(w.user.messages.empty()); // editing goes on undisturbed
        w.leave();
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QCOMPARE(w.user.messages.size(), size_t(1));
        QCOMPARE(w.user.messages[0].text, QStringLiteral("任意波名称字符个数为 1到6 之间且不允许有空格"));
        QVERIFY(w.field->NameChanged());
        w.name->selectAll();
        QTest::keyClick(w.name, Qt::Key_Backspace);
        QTest::keyClick(w.name, Qt::Key_Return);
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QCOMPARE(w.user.messages.size(), size_t(2));
        // From another part of the program, silently.
        w.field->SetNameText(QStringLiteral("   "));
        QCOMPARE(w.name->text(), QStringLiteral("ArbNo0"));
        QCOMPARE(w.user.messages.size(), size_t(2));
    }
};

QTEST_MAIN(TestNameField)
#include "tst_name_field.moc"
