#include "app/ScopePortList.h"

#include "scope/ScopeSettings.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace arb
{

namespace
{

int PortCount()
{
    return static_cast<int>(PortEntries().size());
}

} // namespace

QStringList ScopePortList::instruments() const
{
    QStringList entries;
    for (int i = PortCount(); i < box_->count(); ++i)
        entries << box_->itemText(i);
    return entries;
}

void ScopePortList::setInstruments(const QStringList &found)
{
    if (found == instruments())
        return;
    const int chosenIndex = box_->currentIndex();
    const QString chosen = chosenIndex >= 0 ? box_->itemText(chosenIndex) : QString();
    const QString text = box_->currentText();
    const QSignalBlocker block(box_);
    while (box_->count() > PortCount())
        box_->removeItem(box_->count() - 1);
    box_->addItems(found);
    const int index = chosen.isEmpty() ? -1 : box_->findText(chosen, Qt::MatchExactly);
    box_->setCurrentIndex(index);
    if (index < 0)
        box_->setEditText(text);
}

void ScopePortList::widenForPopup()
{
    // Sized as the list opens, not with its entries, so that listing the
    // instruments at start-up does not build the list before it is first
    // wanted.
    QAbstractItemView *list = box_->view();
    list->setTextElideMode(Qt::ElideNone);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8);
}

} // namespace arb
