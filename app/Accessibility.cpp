#include "app/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

#include <algorithm>

namespace arb
{

namespace
{

// A combo box named by its caption. A box without an edit field also shows
// its current entry as read-only text, so that a screen reader can tell
// which entry is chosen; an editable box has its edit field for that.
class NamedComboBox final : public QAccessibleWidget, public QAccessibleTextInterface
{
  public:
    explicit NamedComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface && !box()->isEditable())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return box()->accessibleName();
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The text: the current entry, with no selection and the caret before it.
    QString text(int startOffset, int endOffset) const override
    {
        const QString entry = box()->currentText();
        const int start = std::clamp(startOffset, 0, static_cast<int>(entry.size()));
        const int end = endOffset < 0 ? static_cast<int>(entry.size())
                                      : std::clamp(endOffset, start, static_cast<int>(entry.size()));
        return entry.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(box()->currentText().size()); }
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

  private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto *box = qobject_cast<QComboBox *>(object);
    if (!box || box->accessibleName().isEmpty())
        return nullptr;
    return new NamedComboBox(box);
}

} // namespace

void InstallAccessibilityFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace arb
