#include "core/equation/EquationParserErrors.h"

#include "core/equation/EquationTextScan.h"
#include "core/equation/WaveEquation.h"

#include <muParser.h>

#include <algorithm>

namespace arb
{

namespace
{

// The first character of the call of the function whose closing bracket is
// at or before index at (muparser names the bracket, or the place after it).
int CallStart(const QString &text, int at)
{
    int close = std::min(at, static_cast<int>(text.size()) - 1);
    while (close >= 0 && text[close] != QLatin1Char(')'))
        --close;
    int depth = 0;
    for (int i = close; i >= 0; --i) {
        if (text[i] == QLatin1Char(')'))
            ++depth;
        else if (text[i] == QLatin1Char('(') && --depth == 0) {
            int name = PreviousNonBlank(text, i);
            while (name > 0 && IsNameChar(text[name - 1]))
                --name;
            return std::max(name, 0);
        }
    }
    return std::max(at, 0);
}

QString ArgumentCountMessage(const QString &name)
{
    const int count = WaveEquation::FunctionArgumentCount(name);
    if (count == 0)
        return QStringLiteral("函数 %1 不带参数，应写成 %1()").arg(name);
    return QStringLiteral("函数 %1 要 %2 个参数").arg(name).arg(count);
}

} // namespace

EquationError TranslateParserError(const mu::ParserError &error, const QString &text, int openBracket)
{
    const int length = static_cast<int>(text.size());
    const int pos = std::clamp(error.GetPos(), 0, std::max(length - 1, 0));
    const QString token = QString::fromStdString(error.GetToken()).trimmed();
    // 1-based, within the text.
    const auto place = [length](int index) { return std::clamp(index + 1, 1, std::max(length, 1)); };
    const int end = place(PreviousNonBlank(text, length));
    switch (error.GetCode()) {
    case mu::ecEMPTY_EXPRESSION: return EquationError::At(1, QStringLiteral("请输入公式"));
    case mu::ecUNASSIGNABLE_TOKEN: {
        const QChar c = text.isEmpty() ? QChar() : text[pos];
        if (c.isDigit() || c == QLatin1Char('.'))
            return EquationError::At(
                place(pos), QStringLiteral("无法识别的数 %1").arg(token.section(QLatin1Char(' '), 0, 0)));
        const QString name = NameAt(text, pos);
        if (name.isEmpty())
            return EquationError::At(place(pos), QStringLiteral("无法识别的符号“%1”").arg(c));
        if (WaveEquation::FunctionArgumentCount(name) >= 0)
            return EquationError::At(place(pos), QStringLiteral("函数 %1 后面要有括号").arg(name));
        const int next = NextNonBlank(text, pos + static_cast<int>(name.size()) - 1);
        if (next < length && text[next] == QLatin1Char('('))
            return EquationError::At(place(pos), QStringLiteral("未知的函数 %1").arg(name));
        return EquationError::At(place(pos), QStringLiteral("未知的名称 %1").arg(name));
    }
    case mu::ecUNEXPECTED_OPERATOR:
        return EquationError::At(place(pos), QStringLiteral("这里不应有运算符“%1”").arg(token));
    case mu::ecUNEXPECTED_EOF: return EquationError::At(end, QStringLiteral("公式不完整"));
    case mu::ecUNEXPECTED_ARG_SEP: return EquationError::At(place(pos), QStringLiteral("这里不应有逗号"));
    case mu::ecUNEXPECTED_VAL:
    case mu::ecUNEXPECTED_VAR:
    case mu::ecUNEXPECTED_FUN:
    case mu::ecUNEXPECTED_ARG: return EquationError::At(place(pos), QStringLiteral("这里缺少运算符"));
    case mu::ecUNEXPECTED_PARENS: {
        const int before = PreviousNonBlank(text, pos);
        if (before >= 0 && text[before] == QLatin1Char(','))
            return EquationError::At(place(pos), QStringLiteral("逗号后面缺少参数"));
        if (before >= 0 && text[before] == QLatin1Char('('))
            return EquationError::At(place(pos), QStringLiteral("括号里缺少内容"));
        return EquationError::At(place(pos), QStringLiteral("这里不应有括号"));
    }
    case mu::ecMISSING_PARENS:
        return EquationError::At(openBracket > 0 ? openBracket : end, QStringLiteral("括号没有闭合"));
    case mu::ecTOO_MANY_PARAMS:
    case mu::ecTOO_FEW_PARAMS:
        return EquationError::At(place(CallStart(text, pos)), ArgumentCountMessage(token));
    case mu::ecUNEXPECTED_CONDITIONAL: return EquationError::At(place(pos), QStringLiteral("这里不应有“?”"));
    case mu::ecMISSING_ELSE_CLAUSE: {
        const int question = static_cast<int>(text.lastIndexOf(QLatin1Char('?')));
        return EquationError::At(question >= 0 ? place(question) : end,
                                 QStringLiteral("条件运算缺少“:”和后面的部分"));
    }
    case mu::ecMISPLACED_COLON: return EquationError::At(place(pos), QStringLiteral("这里不应有“:”"));
    case mu::ecIDENTIFIER_TOO_LONG: return EquationError::At(place(pos), QStringLiteral("名称太长"));
    case mu::ecEXPRESSION_TOO_LONG: return EquationError::At(1, QStringLiteral("公式太长"));
    case mu::ecINTERNAL_ERROR:
        // What muparser says of a sign or operator left at the end.
        if (end <= length && QStringView(u"+-*/^<>=!&|?:,(").contains(text[end - 1]))
            return EquationError::At(end, QStringLiteral("公式不完整"));
        return EquationError::At(place(pos), QStringLiteral("公式有误"));
    default: return EquationError::At(place(pos), QStringLiteral("公式有误"));
    }
}

QString BracketsAfterNames(QString text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('(') || i == 0 || IsNameChar(text[i - 1]))
            continue;
        const int name = PreviousNonBlank(text, i);
        if (name >= 0 && WaveEquation::FunctionArgumentCount(NameAt(text, name)) >= 0) {
            text.remove(i, 1);
            text.insert(name + 1, QLatin1Char('('));
        }
    }
    return text;
}

bool ComesOfTheCut(const mu::ParserError &error, const QString &cut)
{
    const int code = error.GetCode();
    if (code == mu::ecUNEXPECTED_EOF || code == mu::ecMISSING_PARENS || code == mu::ecMISSING_ELSE_CLAUSE ||
        code == mu::ecEMPTY_EXPRESSION || error.GetPos() < 0 || error.GetPos() >= cut.size())
        return true;
    const int name = static_cast<int>(NameAt(cut, error.GetPos()).size());
    return code == mu::ecUNASSIGNABLE_TOKEN && name > 0 &&
           error.GetPos() + name - 1 == PreviousNonBlank(cut, static_cast<int>(cut.size()));
}

} // namespace arb
