#include "core/equation/EquationTextScan.h"

#include <QList>

namespace arb
{

namespace
{

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool IsOperatorChar(QChar c)
{
    return QStringView(u"+-*/^?:&|<>!").contains(c);
}

// How a character the language does not know is named to the user.
QString Shown(char32_t c)
{
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x3000 || c == 0xA0)
        return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("“%1”").arg(QString::fromUcs4(&c, 1));
}

struct Open {
    int position; // 1-based
    bool call;    // the bracket of a function call
};

} // namespace

bool IsNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

QString NameAt(const QString &text, int at)
{
    if (at < 0 || at >= text.size() || !IsNameChar(text[at]))
        return QString();
    int from = at;
    while (from > 0 && IsNameChar(text[from - 1]))
        --from;
    int to = at;
    while (to < text.size() && IsNameChar(text[to]))
        ++to;
    return text.mid(from, to - from);
}

int NextNonBlank(const QString &text, int at)
{
    int i = at + 1;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

int PreviousNonBlank(const QString &text, int at)
{
    int i = at - 1;
    while (i >= 0 && IsBlank(text[i]))
        --i;
    return i;
}

EquationScan ScanEquationText(const QString &text)
{
    EquationScan scan;
    QList<Open> open;
    int position = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        ++position;
        const QChar c = text[i];
        if (IsBlank(c) || IsNameChar(c) || c == QLatin1Char('.'))
            continue;
        // ==, <=, >= and != are read whole; any other "=" would be an assignment.
        const bool comparison = QStringView(u"<>!=").contains(c);
        if (comparison && i + 1 < text.size() && text[i + 1] == QLatin1Char('=')) {
            ++i;
            ++position;
            continue;
        }
        if (c == QLatin1Char('=')) {
            scan.error = EquationError::At(position, QStringLiteral("这里不能用“=”：比较是否相等请写“==”"));
            return scan;
        }
        if (IsOperatorChar(c))
            continue;
        if (c == QLatin1Char('(')) {
            const int before = PreviousNonBlank(text, static_cast<int>(i));
            const QString name = NameAt(text, before);
            const bool call = !name.isEmpty() && !name[0].isDigit();
            open.append({position, call});
            continue;
        }
        if (c == QLatin1Char(')')) {
            if (open.isEmpty()) {
                scan.error = EquationError::At(position, QStringLiteral("多余的右括号“)”"));
                return scan;
            }
            open.removeLast();
            continue;
        }
        if (c == QLatin1Char(',')) {
            if (open.isEmpty() || !open.last().call) {
                scan.error = EquationError::At(position, QStringLiteral("逗号只用来分隔函数的参数"));
                return scan;
            }
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        if (code >= 0xFF01 && code <= 0xFF5E) {
            const char32_t half = code - 0xFEE0;
            scan.error = EquationError::At(
                position, QStringLiteral("全角字符%1，请改用半角的%2").arg(Shown(code), Shown(half)));
        } else if (code == 0x3000) {
            scan.error = EquationError::At(position, QStringLiteral("全角空格，请改用半角空格"));
        } else {
            scan.error = EquationError::At(position, QStringLiteral("无法识别的字符%1").arg(Shown(code)));
        }
        return scan;
    }
    if (!open.isEmpty())
        scan.openBracket = open.last().position;
    return scan;
}

} // namespace arb
