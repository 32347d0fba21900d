#include "tests/support/ScriptedPrompt.h"

namespace arb::test
{

void ScriptedPrompt::message(const QString &text, const QString &title, MessageIcon icon)
{
    messages.push_back({text, title, icon});
    if (whileMessageShown)
        whileMessageShown();
}

QString ScriptedPrompt::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    questions.push_back({prompt, title, defaultText});
    if (inputs_.empty())
        return QString();
    QString reply = inputs_.front();
    inputs_.pop_front();
    return reply;
}

std::optional<QString> ScriptedPrompt::nextFile()
{
    if (files_.empty())
        return std::nullopt;
    const bool chosen = files_.front().has_value();
    const QString path = chosen ? *files_.front() : QString();
    files_.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}

std::optional<QString> ScriptedPrompt::openFile(const QString &title, const QString &filter)
{
    dialogs.push_back({false, title, filter});
    return nextFile();
}

std::optional<QString> ScriptedPrompt::saveFile(const QString &title, const QString &filter)
{
    dialogs.push_back({true, title, filter});
    return nextFile();
}

} // namespace arb::test
