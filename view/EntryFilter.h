#pragma once

#include "core/EntryRules.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;

namespace arb
{

class UserPrompt;

// The character code a key press types, as the field filters judge it: Enter
// 13, Backspace 8, Ctrl with a letter its control code (Ctrl+V is 22), any
// other typed character its code. Keys that type nothing (arrows, Home, End,
// Delete, Tab, function keys) give -1 and are left to the field.
int TypedCharacter(const QKeyEvent &event);

// Applies the key rules of one kind of numeric field to a text field: refused
// keys are discarded with their message (no icon, the application's title),
// and commitRequested is emitted on Enter and whenever the field loses the
// focus to another control of the window. A value field's selection is
// removed before any key is judged and before the commit on leaving.
class EntryFilter : public QObject
{
    Q_OBJECT
  public:
    EntryFilter(QLineEdit *field, EntryKind kind, UserPrompt &prompt);

    QLineEdit *field() const { return field_; }
    EntryKind kind() const { return kind_; }

  signals:
    void commitRequested();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // Judges one typed character; true when the field is to take it.
    bool typeCharacter(int code);
    void apply(const KeyDecision &decision);
    void requestCommit();

    QLineEdit *field_;
    EntryKind kind_;
    UserPrompt &prompt_;
    bool committing_ = false;
};

} // namespace arb
