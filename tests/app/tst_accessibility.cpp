#include "app/Accessibility.h"
#include "tests/support/WindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace arb;

namespace
{

// The current entry as assistive technology reads it: the box's own text,
// or the text of its edit field.
QString EntryText(QAccessibleInterface *iface)
{
    if (QAccessibleTextInterface *text = iface->textInterface())
        return text->text(0, text->characterCount());
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child && child->role() == QAccessible::EditableText && child->textInterface())
            return child->textInterface()->text(0, child->textInterface()->characterCount());
    }
    return QStringLiteral("<none>");
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

  private slots:
    void aListOnlyBoxTellsItsEntryAndKeepsItsCaption()
    {
        InstallAccessibilityFactory();
        QWidget window;
        auto *box = new QComboBox(&window);
        box->setAccessibleName(QStringLiteral("接口参数"));
        window.show();
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::ComboBox);
        // Empty: no text at all.
        QVERIFY(iface->textInterface());
        QCOMPARE(iface->textInterface()->characterCount(), 0);
        QCOMPARE(iface->textInterface()->text(0, -1), QString());

        const QString gen = QStringLiteral("USB0::0x1AB1::0x0588::DG1::INSTR");
        box->addItems({gen, QStringLiteral("ASRL1::INSTR")});
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("接口参数"));
        QCOMPARE(iface->text(QAccessible::Value), gen);
        QAccessibleTextInterface *text = iface->textInterface();
        QCOMPARE(text->characterCount(), static_cast<int>(gen.size()));
        QCOMPARE(text->text(0, text->characterCount()), gen);
        QCOMPARE(text->text(0, 4), QStringLiteral("USB0"));
        QCOMPARE(text->text(-5, 1000), gen);
        int start = -1, end = -1;
        QCOMPARE(text->textAtOffset(0, QAccessible::LineBoundary, &start, &end), gen);
        QCOMPARE(text->selectionCount(), 0);

        // It follows the choice.
        box->setCurrentIndex(1);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("ASRL1::INSTR"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("接口参数"));
    }

    void everyBoxOfTheWindowTellsItsEntry()
    {
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [](arb::test::WindowFixture &fx) {
            fx.visa.resources = {"USB0::0x1AB1::0x0588::DG1::INSTR"};
        });
        f.window->show();
        const QList<QComboBox *> boxes = f.window->findChildren<QComboBox *>();
        QVERIFY(boxes.size() >= 9);
        for (QComboBox *box : boxes) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
            QVERIFY(iface);
            QCOMPARE(iface->text(QAccessible::Name), box->accessibleName());
            QVERIFY2(!box->currentText().isEmpty(), qPrintable(box->objectName()));
            QCOMPARE(EntryText(iface), box->currentText());
        }
        auto *combo1 = f.window->findChild<QComboBox *>(QStringLiteral("Combo1"));
        QVERIFY(combo1 && !combo1->isEditable());
        QCOMPARE(EntryText(QAccessible::queryAccessibleInterface(combo1)),
                 QStringLiteral("USB0::0x1AB1::0x0588::DG1::INSTR"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
