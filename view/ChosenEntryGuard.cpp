#include "view/ChosenEntryGuard.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace arb
{

ChosenEntryGuard::ChosenEntryGuard(QComboBox *box) : QObject(box), box_(box), firstText_(box->currentText())
{
    box->setInsertPolicy(QComboBox::NoInsert);
    // A completer would turn a typed prefix into an entry.
    box->setCompleter(nullptr);
    box->installEventFilter(this);
    if (QLineEdit *edit = box->lineEdit())
        edit->installEventFilter(this);
}

void ChosenEntryGuard::Fill(QComboBox *box, const QStringList &entries)
{
    const QString text = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    new ChosenEntryGuard(box);
}

QString ChosenEntryGuard::chosenText() const
{
    const int index = box_->currentIndex();
    return index >= 0 ? box_->itemText(index) : firstText_;
}

void ChosenEntryGuard::restoreText()
{
    if (box_->isEditable() && box_->currentText() != chosenText())
        box_->setEditText(chosenText());
}

bool ChosenEntryGuard::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // The box would otherwise select an entry whose text was typed.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            restoreText();
            return true;
        }
        break;
    }
    case QEvent::FocusOut:
        // Before the field's own handling, which would select a typed entry.
        restoreText();
        break;
    default: break;
    }
    return false;
}

} // namespace arb
