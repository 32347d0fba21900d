#include "tests/support/ScriptedPrompt.h"

namespace arb::test
{

void ScriptedPrompt::message(const QString &text, const QString &title, MessageIcon icon)
{
    messages.push_back({text, title, icon});
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

std::optional<QString> ScriptedPrompt::openFile(const QString &title, const QString &filter)
{
    dialogs.push_back({false, title, filter});
    if (files_.empty())
        return std::nullopt;
    auto reply = files_.front();
    files_.pop_front();
    return reply;
}

std::optional<QString> ScriptedPrompt::saveFile(const QString &title, const QString &filter)
{
    dialogs.push_back({true, title, filter});
    if (files_.empty())
        return std::nullopt;
    auto reply = files_.front();
    files_.pop_front();
    return reply;
}

} // namespace arb::test
