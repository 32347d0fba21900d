#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;

namespace arb
{

// Keeps an editable combo box to its list: only choosing an entry (from the
// popup list, with the arrow keys or the wheel) selects one and emits
// activated. Typed text completes to nothing, Enter is taken without acting,
// and when the field is left or Enter is pressed the text returns to the
// chosen entry, or to the box's first text while none is chosen.
class ChosenEntryGuard : public QObject
{
    Q_OBJECT
  public:
    // Installs itself on box, as its child.
    explicit ChosenEntryGuard(QComboBox *box);

    // Fills box with entries and guards it. No entry is chosen: the text
    // stays what the box had (its own name) until one is.
    static void Fill(QComboBox *box, const QStringList &entries);

    // The text of the chosen entry; the first text while none is chosen.
    QString chosenText() const;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void restoreText();

    QComboBox *box_;
    QString firstText_;
};

} // namespace arb
