#include "tests/support/ScriptedPrompt.h"
#include "view/EntryFilter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

using namespace arb;
using arb::test::ScriptedPrompt;

// One field of each kind in a small window, as the main window holds them.
struct Fields {
    Fields()
    {
        auto *layout = new QVBoxLayout(&window);
        length = new QLineEdit(QStringLiteral("201"), &window);
        index = new QLineEdit(QStringLiteral("0"), &window);
        value = new QLineEdit(QStringLiteral("0.000"), &window);
        other = new QLineEdit(&window);
        for (QLineEdit *e : {length, index, value, other})
            layout->addWidget(e);
        lengthFilter = new EntryFilter(length, EntryKind::Length, user);
        indexFilter = new EntryFilter(index, EntryKind::Index, user);
        valueFilter = new EntryFilter(value, EntryKind::Value, user);
    }
    QString lastMessage() const { return user.messages.empty() ? QString() : user.messages.back().text; }

    ScriptedPrompt user;
    QWidget window;
    QLineEdit *length;
    QLineEdit *index;
    QLineEdit *value;
    QLineEdit *other;
    EntryFilter *lengthFilter;
    EntryFilter *indexFilter;
    EntryFilter *valueFilter;
};

class TestEntryFilter : public QObject
{
    Q_OBJECT

  private:
    static void set(QLineEdit *e, const QString &text, int caret)
    {
        e->setText(text);
        e->setCursorPosition(caret);
    }
    static void focusOut(QLineEdit *e, Qt::FocusReason reason)
    {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(e, &out);
    }

  private slots:
    void minusTogglesTheSignAtTheFront()
    {
        Fields f;
        set(f.value, QStringLiteral("0.5"), 0);
        QTest::keyClick(f.value, Qt::Key_Minus);
        QCOMPARE(f.value->text(), QStringLiteral("-0.5"));
        QCOMPARE(f.value->cursorPosition(), 1);
        f.value->setCursorPosition(3);
        QTest::keyClick(f.value, Qt::Key_Minus);
        QCOMPARE(f.value->text(), QStringLiteral("0.5"));
        QCOMPARE(f.value->cursorPosition(), 0);
        QVERIFY(f.user.messages.empty());
    }

    void valueKeysAndTheirMessages()
    {
        Fields f;
        set(f.value, QStringLiteral("-0.5"), 0);
        QTest::keyClick(f.value, Qt::Key_3);
        QTest::keyClick(f.value, Qt::Key_Period);
        QCOMPARE(f.value->text(), QStringLiteral("-0.5"));
        QCOMPARE(f.user.messages.size(), size_t(2));
        for (const auto &m : f.user.messages) {
            QCOMPARE(m.text, QStringLiteral("当前位置不能再输入小数点或数字"));
            QCOMPARE(m.title, QString());
            QCOMPARE(m.icon, MessageIcon::None);
        }
        f.user.clear();
        set(f.value, QStringLiteral("0.5"), 3);
        QTest::keyClick(f.value, Qt::Key_Period);
        QCOMPARE(f.lastMessage(), QStringLiteral("不能再输入小数点"));
        QCOMPARE(f.value->text(), QStringLiteral("0.5"));
        for (Qt::Key k : {Qt::Key_A, Qt::Key_Plus, Qt::Key_Space}) {
            f.user.clear();
            QTest::keyClick(f.value, k);
            QCOMPARE(f.lastMessage(), QStringLiteral("只能输入数值!"));
            QCOMPARE(f.value->text(), QStringLiteral("0.5"));
        }
        // Digits go in at the caret.
        f.user.clear();
        set(f.value, QStringLiteral("0.5"), 3);
        QTest::keyClicks(f.value, QStringLiteral("25"));
        QCOMPARE(f.value->text(), QStringLiteral("0.525"));
        QVERIFY(f.user.messages.empty());
    }

    void theSelectionGoesFirst()
    {
        Fields f;
        f.value->setText(QStringLiteral("0.5"));
        f.value->selectAll();
        QTest::keyClick(f.value, Qt::Key_Period);
        QCOMPARE(f.value->text(), QStringLiteral("."));
        QVERIFY(f.user.messages.empty());
        // A refused key still takes the selection away.
        f.value->setText(QStringLiteral("0.25"));
        f.value->setSelection(1, 2);
        QTest::keyClick(f.value, Qt::Key_X);
        QCOMPARE(f.value->text(), QStringLiteral("05"));
        QCOMPARE(f.lastMessage(), QStringLiteral("只能输入数值!"));
        // Backspace on a selection removes just the selection.
        f.value->setText(QStringLiteral("0.25"));
        f.value->setSelection(3, 1);
        QTest::keyClick(f.value, Qt::Key_Backspace);
        QCOMPARE(f.value->text(), QStringLiteral("0.2"));
    }

    void enterAndLeavingCommitAValueFieldWithoutItsSelection()
    {
        Fields f;
        QSignalSpy commits(f.valueFilter, &EntryFilter::commitRequested);
        QStringList seen;
        connect(f.valueFilter, &EntryFilter::commitRequested, f.value, [&] { seen << f.value->text(); });
        f.value->setText(QStringLiteral("0.750"));
        f.value->selectAll();
        QTest::keyClick(f.value, Qt::Key_Return);
        f.value->setText(QStringLiteral("0.750"));
        f.value->selectAll();
        focusOut(f.value, Qt::MouseFocusReason);
        QCOMPARE(seen, QStringList({QString(), QString()}));
        // A message box or another program taking the focus, or the field's
        // own context menu, is no leaving.
        f.value->setText(QStringLiteral("0.750"));
        f.value->selectAll();
        focusOut(f.value, Qt::ActiveWindowFocusReason);
        focusOut(f.value, Qt::PopupFocusReason);
        QCOMPARE(commits.count(), 2);
        QCOMPARE(f.value->text(), QStringLiteral("0.750"));
    }

    void indexAndLengthKeys()
    {
        Fields f;
        QSignalSpy indexCommits(f.indexFilter, &EntryFilter::commitRequested);
        QSignalSpy lengthCommits(f.lengthFilter, &EntryFilter::commitRequested);
        QSignalSpy indexReturn(f.index, &QLineEdit::returnPressed);
        QSignalSpy lengthReturn(f.length, &QLineEdit::returnPressed);
        set(f.index, QStringLiteral("12"), 2);
        for (Qt::Key k : {Qt::Key_Minus, Qt::Key_Period}) {
            f.user.clear();
            QTest::keyClick(f.index, k);
            QCOMPARE(f.lastMessage(), QStringLiteral("只能输入正整数"));
            QCOMPARE(f.user.messages.back().icon, MessageIcon::None);
        }
        QTest::keyClick(f.index, Qt::Key_3);
        QCOMPARE(f.index->text(), QStringLiteral("123"));
        QTest::keyClick(f.index, Qt::Key_Return);
        QCOMPARE(indexCommits.count(), 1);
        QCOMPARE(indexReturn.count(), 1); // Enter goes on to the field

        f.user.clear();
        set(f.length, QStringLiteral("201"), 3);
        QTest::keyClick(f.length, Qt::Key_A);
        QTest::keyClick(f.length, Qt::Key_Minus);
        QCOMPARE(f.length->text(), QStringLiteral("201"));
        QVERIFY(f.user.messages.empty());
        QTest::keyClick(f.length, Qt::Key_Backspace);
        QTest::keyClick(f.length, Qt::Key_Enter);
        QCOMPARE(f.length->text(), QStringLiteral("20"));
        QCOMPARE(lengthCommits.count(), 1);
        QCOMPARE(lengthReturn.count(), 0); // discarded
    }

    void editingKeysWorkAndShortcutsAreCharacters()
    {
        Fields f;
        set(f.index, QStringLiteral("123"), 3);
        QTest::keyClick(f.index, Qt::Key_Left);
        QTest::keyClick(f.index, Qt::Key_Delete);
        QTest::keyClick(f.index, Qt::Key_Home);
        QCOMPARE(f.index->text(), QStringLiteral("12"));
        QCOMPARE(f.index->cursorPosition(), 0);
        QVERIFY(f.user.messages.empty());
        // The paste shortcut types character 22, which no numeric field takes.
        QTest::keyClick(f.index, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.lastMessage(), QStringLiteral("只能输入正整数"));
        QCOMPARE(f.index->text(), QStringLiteral("12"));
    }

    void inputMethodTextGoesThroughTheKeyRules()
    {
        Fields f;
        set(f.index, QStringLiteral("1"), 1);
        QInputMethodEvent im;
        im.setCommitString(QStringLiteral("2a3"));
        QApplication::sendEvent(f.index, &im);
        QCOMPARE(f.index->text(), QStringLiteral("123"));
        QCOMPARE(f.lastMessage(), QStringLiteral("只能输入正整数"));
    }

    void realFocusChanges()
    {
        Fields f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QSignalSpy valueCommits(f.valueFilter, &EntryFilter::commitRequested);
        QSignalSpy indexCommits(f.indexFilter, &EntryFilter::commitRequested);
        f.index->setFocus(Qt::OtherFocusReason);
        // Tabbing into a value field leaves its text unselected, so tabbing
        // on does not commit it as empty.
        QTest::keyClick(f.index, Qt::Key_Tab);
        QVERIFY(f.value->hasFocus());
        QCOMPARE(indexCommits.count(), 1);
        QVERIFY(!f.value->hasSelectedText());
        QStringList seen;
        connect(f.valueFilter, &EntryFilter::commitRequested, f.value, [&] { seen << f.value->text(); });
        QTest::keyClick(f.value, Qt::Key_Tab);
        QVERIFY(f.other->hasFocus());
        QCOMPARE(seen, QStringList{QStringLiteral("0.000")});
        QCOMPARE(valueCommits.count(), 1);
    }
};

QTEST_MAIN(TestEntryFilter)
#include "tst_entry_filter.moc"
