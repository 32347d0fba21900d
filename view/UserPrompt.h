#pragma once

#include <QString>
#include <optional>

namespace arb
{

enum class MessageIcon { None, Information, Exclamation, Critical };

// Everything the program asks or tells the user goes through this interface,
// so that tests can script the replies and read the messages.
class UserPrompt
{
  public:
    virtual ~UserPrompt() = default;

    // A modal message box with an OK button. An empty title shows the
    // application's title.
    virtual void message(const QString &text, const QString &title, MessageIcon icon) = 0;

    // A modal input box with OK and Cancel; Cancel returns empty text.
    virtual QString input(const QString &prompt, const QString &title, const QString &defaultText) = 0;

    // Open and save dialogs. The filter is a list of "label|pattern" pairs
    // joined by "|", as in "波形数据文件(*.txt)|*.txt|波形数据文件(*.arb)|*.arb".
    // The open dialog accepts only existing files; the save dialog asks before
    // an existing file is replaced. Cancelling returns no value.
    virtual std::optional<QString> openFile(const QString &title, const QString &filter) = 0;
    virtual std::optional<QString> saveFile(const QString &title, const QString &filter) = 0;
};

// The application's title, shown by message boxes given no title of their own.
QString ApplicationTitle();

} // namespace arb
