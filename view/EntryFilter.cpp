#include "view/EntryFilter.h"

#include "view/UserPrompt.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace arb
{

int TypedCharacter(const QKeyEvent &event)
{
    const int key = event.key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return kKeyEnter;
    if (key == Qt::Key_Backspace)
        return kKeyBackspace;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return -1;
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event.text();
    if (text.isEmpty())
        return -1;
    return text.at(0).unicode();
}

EntryFilter::EntryFilter(QLineEdit *field, EntryKind kind, UserPrompt &prompt)
    : QObject(field), field_(field), kind_(kind), prompt_(prompt)
{
    // Numbers are typed key by key; an input method would bring its text in
    // past the key rules.
    field_->setAttribute(Qt::WA_InputMethodEnabled, false);
    field_->installEventFilter(this);
}

bool EntryFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int code = TypedCharacter(*static_cast<QKeyEvent *>(event));
        return code >= 0 && !typeCharacter(code);
    }
    case QEvent::InputMethod: {
        auto *im = static_cast<QInputMethodEvent *>(event);
        if (im->commitString().isEmpty())
            return false;
        for (const QChar c : im->commitString()) {
            if (typeCharacter(c.unicode()))
                field_->insert(QString(c));
        }
        return true;
    }
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // The field would select all of its text when tabbed into, and a
        // value field that is left with its text selected commits it as
        // empty: tabbing through must not zero the value.
        if (kind_ == EntryKind::Value && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                          reason == Qt::ShortcutFocusReason)) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(field_, &plain);
            return true;
        }
        return false;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window (a message box, another program) or a popup such as
        // the field's context menu takes the focus only for a while.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            requestCommit();
        return false;
    }
    default: return false;
    }
}

bool EntryFilter::typeCharacter(int code)
{
    KeyDecision d;
    switch (kind_) {
    case EntryKind::Length: d = LengthKey(code); break;
    case EntryKind::Index: d = IndexKey(code); break;
    case EntryKind::Value: {
        FieldState s;
        s.text = field_->text();
        s.caret = field_->cursorPosition();
        s.selectionStart = field_->selectionStart();
        s.selectionLength = field_->selectionLength();
        d = ValueKey(s, code);
        break;
    }
    }
    apply(d);
    return d.pass;
}

void EntryFilter::apply(const KeyDecision &decision)
{
    if (decision.retext) {
        field_->setText(decision.text);
        field_->setCursorPosition(decision.caret);
    }
    if (!decision.message.isEmpty())
        prompt_.message(decision.message, QString(), MessageIcon::None);
    if (decision.commit)
        requestCommit();
}

void EntryFilter::requestCommit()
{
    if (committing_)
        return;
    committing_ = true;
    if (kind_ == EntryKind::Value && field_->hasSelectedText()) {
        FieldState s;
        s.text = field_->text();
        s.selectionStart = field_->selectionStart();
        s.selectionLength = field_->selectionLength();
        const FieldState rest = RemoveSelection(s);
        field_->setText(rest.text);
        field_->setCursorPosition(rest.caret);
    }
    emit commitRequested();
    committing_ = false;
}

} // namespace arb
