#include "core/NameRules.h"

namespace arb
{

namespace
{

QString TrimBlanks(const QString &text, int *leadingRemoved)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    if (leadingRemoved)
        *leadingRemoved = static_cast<int>(begin);
    return text.mid(begin, end - begin);
}

} // namespace

QString DefaultArbName(int slot)
{
    return QStringLiteral("ArbNo") + QString::number(slot);
}

bool NameKeyAccepted(int code)
{
    return code == 8 || code == 13 || (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z');
}

QString NameCharactersOf(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        const int code = c.unicode();
        if (code != 8 && code != 13 && NameKeyAccepted(code))
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

NameCheck CheckArbName(const QString &text)
{
    NameCheck c;
    c.text = TrimBlanks(text, &c.leadingRemoved);
    if (c.text.size() > kMaxNameLength) {
        c.tooLong = true;
        c.text = TrimBlanks(c.text.left(kMaxNameLength), nullptr);
    }
    return c;
}

} // namespace arb
