#include "core/NameRules.h"

#include <algorithm>

namespace arb
{

QString DefaultArbName(int slot)
{
    return QStringLiteral("ArbNo") + QString::number(slot);
}

bool IsNameCharacter(int code)
{
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

bool NameKeyAccepted(int code)
{
    return code == 8 || code == 13 || IsNameCharacter(code);
}

QString NameCharactersOf(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (IsNameCharacter(c.unicode()))
            kept.append(c);
    }
    return kept;
}

QString NameKeyMessage()
{
    return QStringLiteral("输入字符必须为数字或字母!");
}

QString NameKeyTitle()
{
    return QStringLiteral("提示");
}

QString NameLengthMessage()
{
    return QStringLiteral("任意波名称字符个数为 1到6 之间且不允许有空格");
}

NameCheck CheckArbName(const QString &text, int caret)
{
    NameCheck c;
    c.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsNameCharacter(text[i].unicode()))
            continue;
        c.text.append(text[i]);
        if (i < caret)
            ++c.caret;
    }
    if (c.text.size() > kMaxNameLength) {
        c.tooLong = true;
        c.text.truncate(kMaxNameLength);
        c.caret = std::min(c.caret, kMaxNameLength);
    }
    return c;
}

} // namespace arb
