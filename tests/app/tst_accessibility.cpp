#include "tests/support/WindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QTest>

namespace
{

// The current entry as assistive technology reads it: the box's own text,
// or the text of its edit field.
QString EntryText(QAccessibleInterface *iface)
{
    for (int i = -1; i < iface->childCount(); ++i) {
        QAccessibleInterface *part = i < 0 ? iface : iface->child(i);
        if (QAccessibleTextInterface *text = part ? part->textInterface() : nullptr)
            return text->text(0, text->characterCount());
    }
    return QStringLiteral("<none>");
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

  private slots:
    void everyBoxTellsItsEntryUnderItsCaption()
    {
        const QString gen = QStringLiteral("USB0::0x1AB1::0x0588::DG1::INSTR");
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [&](arb::test::WindowFixture &fx) {
            fx.visa.resources = {gen.toStdString(), "USB0::0x1AB1::0x0588::DG2::INSTR"};
        });
        f.window->show();
        const QList<QComboBox *> boxes = f.window->findChildren<QComboBox *>();
        QVERIFY(boxes.size() >= 9);
        for (QComboBox *box : boxes) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
            QCOMPARE(iface->text(QAccessible::Name), box->accessibleName());
            QCOMPARE(EntryText(iface), box->currentText());
        }
        // The instrument list has no edit field: its own text follows the
        // choice, out-of-range offsets included, and the name stays.
        auto *combo1 = f.window->findChild<QComboBox *>(QStringLiteral("Combo1"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(combo1);
        QVERIFY(!combo1->isEditable() && iface->textInterface());
        QCOMPARE(iface->textInterface()->text(-5, 1000), gen);
        combo1->setCurrentIndex(1);
        QCOMPARE(EntryText(iface), QStringLiteral("USB0::0x1AB1::0x0588::DG2::INSTR"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("接口参数"));
        combo1->clear();
        QCOMPARE(iface->textInterface()->characterCount(), 0);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
