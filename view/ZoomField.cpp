#include "view/ZoomField.h"

#include "view/ZoomRules.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace arb
{

ZoomField::ZoomField(QLineEdit *field) : QObject(field), field_(field)
{
    field_->installEventFilter(this);
}

bool ZoomField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_ || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        field_->setText(NormalizeZoomText(field_->text()));
        return true;
    }
    if (key->key() == Qt::Key_Backspace)
        return false;
    const QString text = key->text();
    // Only typed characters are filtered; editing and navigation keys keep
    // working.
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    const QChar c = text.at(0);
    const bool accepted = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
    return !accepted;
}

} // namespace arb
