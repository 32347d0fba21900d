#pragma once

#include "view/UserPrompt.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace arb::test
{

// A UserPrompt that answers from a script and records what it was shown.
class ScriptedPrompt final : public UserPrompt
{
  public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
    };
    struct Question {
        QString prompt;
        QString title;
        QString defaultText;
    };
    struct Dialog {
        bool save;
        QString title;
        QString filter;
    };

    // Replies are taken in order; with none left, an input box is cancelled
    // (empty text) and a file dialog is cancelled.
    void pushInput(const QString &reply) { inputs_.push_back(reply); }
    void pushFile(std::optional<QString> path) { files_.push_back(std::move(path)); }

    void message(const QString &text, const QString &title, MessageIcon icon) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &filter) override;

    // Runs while a message is shown, as the events that reach the program
    // while a real message box is open.
    std::function<void()> whileMessageShown;

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::vector<Dialog> dialogs;

    void clear()
    {
        messages.clear();
        questions.clear();
        dialogs.clear();
        inputs_.clear();
        files_.clear();
    }

  private:
    std::optional<QString> nextFile();

    std::deque<QString> inputs_;
    std::deque<std::optional<QString>> files_;
};

} // namespace arb::test
