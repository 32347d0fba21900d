#include "view/ZoomField.h"

#include "view/EntryFilter.h"
#include "view/ZoomRules.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <algorithm>

namespace arb
{

namespace
{

bool ZoomKeyCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

// Judges every change of the field by the text it brings in, however it
// comes (a paste, a drop, an input method): all of it must be characters the
// key rule takes, or nothing is taken. Text the field already holds (such as
// "1e+07", which Enter may write back) stays editable.
class InsertedTextRule final : public QValidator
{
  public:
    explicit InsertedTextRule(QLineEdit *field) : QValidator(field), before_(field->text())
    {
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { before_ = text; });
    }

    State validate(QString &input, int &) const override
    {
        // A change replaces one stretch of the old text: what lies between
        // the common beginning and the common end is what it brings in.
        const qsizetype shorter = std::min(input.size(), before_.size());
        qsizetype head = 0;
        while (head < shorter && input[head] == before_[head])
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && input[input.size() - 1 - tail] == before_[before_.size() - 1 - tail])
            ++tail;
        for (qsizetype i = head; i < input.size() - tail; ++i) {
            if (!ZoomKeyCharacter(input[i]))
                return Invalid;
        }
        return Acceptable;
    }

  private:
    QString before_;
};

} // namespace

ZoomField::ZoomField(QLineEdit *field) : QObject(field), field_(field)
{
    field_->installEventFilter(this);
    field_->setValidator(new InsertedTextRule(field_));
}

bool ZoomField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_ || event->type() != QEvent::KeyPress)
        return false;
    const int code = TypedCharacter(*static_cast<QKeyEvent *>(event));
    if (code == kKeyEnter) {
        field_->setText(NormalizeZoomText(field_->text()));
        return true;
    }
    // Only typed characters are filtered; Backspace, editing and navigation
    // keys and the field's shortcuts (Ctrl+V among them) keep working.
    if (code < 0 || !QChar(code).isPrint())
        return false;
    return !ZoomKeyCharacter(QChar(code));
}

} // namespace arb
