#include "core/EntryRules.h"

#include "core/ArbStore.h"
#include "core/FormatValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace arb
{

namespace
{

bool IsDigitCode(int code)
{
    return code >= '0' && code <= '9';
}

bool BeginsWithMinus(const QString &text)
{
    return text.startsWith(QLatin1Char('-'));
}

KeyDecision Pass()
{
    KeyDecision d;
    d.pass = true;
    return d;
}

KeyDecision Discard(const QString &message = QString())
{
    KeyDecision d;
    d.message = message;
    return d;
}

KeyDecision WholeNumberKey(int code, const QString &refusal)
{
    if (code == kKeyEnter) {
        KeyDecision d;
        d.commit = true;
        return d;
    }
    if (IsDigitCode(code) || code == kKeyBackspace)
        return Pass();
    return Discard(refusal);
}

QString ShortestDecimal(float value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    if (result.ec != std::errc())
        return QString();
    return QString::fromLatin1(buf, static_cast<qsizetype>(result.ptr - buf));
}

QString Latin1(const std::string &text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

KeyDecision LengthKey(int code)
{
    return WholeNumberKey(code, QString());
}

KeyDecision IndexKey(int code)
{
    KeyDecision d = WholeNumberKey(code, QStringLiteral("只能输入正整数"));
    // Enter commits and then goes on to the field.
    if (d.commit)
        d.pass = true;
    return d;
}

FieldState RemoveSelection(const FieldState &state)
{
    if (state.selectionLength <= 0)
        return state;
    const int start = std::clamp(state.selectionStart, 0, static_cast<int>(state.text.size()));
    const int length = std::clamp(state.selectionLength, 0, static_cast<int>(state.text.size()) - start);
    FieldState s;
    s.text = state.text.left(start) + state.text.mid(start + length);
    s.caret = start;
    return s;
}

KeyDecision ValueKey(const FieldState &state, int code)
{
    const FieldState s = RemoveSelection(state);
    const bool removed = s.text != state.text;
    KeyDecision d;
    if (code == kKeyEnter) {
        d.commit = true;
    } else if (code == kKeyMinus) {
        d.text = ToggleMinus(s.text);
        d.caret = BeginsWithMinus(d.text) ? 1 : 0;
        d.retext = true;
        return d;
    } else if (code == kKeyPoint) {
        d.pass = CheckDecimalPoint(s.text, s.caret, &d.message);
    } else if (IsDigitCode(code)) {
        d.pass = CheckSignPosition(s.text, s.caret, &d.message);
    } else if (code == kKeyBackspace) {
        // Removing the selection is what Backspace does to it; it does not
        // take the character before the selection as well.
        d.pass = !removed;
    } else {
        d.message = QStringLiteral("只能输入数值!");
    }
    if (removed) {
        d.retext = true;
        d.text = s.text;
        d.caret = s.caret;
    }
    return d;
}

QString ToggleMinus(const QString &text)
{
    if (BeginsWithMinus(text))
        return text.mid(1);
    return QLatin1Char('-') + text;
}

bool CheckSignPosition(const QString &text, int caret, QString *message)
{
    if (BeginsWithMinus(text) && caret == 0) {
        if (message)
            *message = QStringLiteral("当前位置不能再输入小数点或数字");
        return false;
    }
    return true;
}

bool CheckDecimalPoint(const QString &text, int caret, QString *message)
{
    if (!CheckSignPosition(text, caret, message))
        return false;
    if (text.contains(QLatin1Char('.'))) {
        if (message)
            *message = QStringLiteral("不能再输入小数点");
        return false;
    }
    return true;
}

std::optional<double> ParseEntryNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == QLatin1Char('-');
    if (negative)
        ++i;
    bool significant = false; // a digit other than a leading zero before the point
    int digits = 0;
    for (; i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i, ++digits)
        significant = significant || t[i] != QLatin1Char('0');
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        for (; i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i)
            ++digits;
    }
    if (digits == 0 || i != t.size())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && std::isfinite(v))
        return v;
    // The form is right, so the conversion failed for the magnitude: too large
    // when a whole part is there, too small otherwise.
    const double magnitude = significant ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

std::optional<int> EntryTextToInt(const QString &text)
{
    const std::optional<double> v = ParseEntryNumber(text);
    if (!v)
        return std::nullopt;
    return RoundHalfEven(*v);
}

float EntryTextToSingle(const QString &text)
{
    const double v = ParseEntryNumber(text).value_or(0.0);
    const double largest = static_cast<double>(std::numeric_limits<float>::max());
    if (v > largest)
        return std::numeric_limits<float>::infinity();
    if (v < -largest)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

int CheckArbX(long long x, float arbLength, bool *outOfRange)
{
    const double last = static_cast<double>(arbLength - 1.0f);
    int result = static_cast<int>(std::clamp<long long>(x, 0, std::numeric_limits<int>::max()));
    bool out = false;
    if (static_cast<double>(x) > last) {
        out = true;
        result = RoundHalfEven(last);
    } else if (x < 0) {
        out = true;
        result = 0;
    }
    if (outOfRange)
        *outOfRange = out;
    return result;
}

QString IndexRangeMessage(float arbLength)
{
    return QStringLiteral("任意波X坐标在 0 到 ") + ShortestDecimal(arbLength - 1.0f) +
           QStringLiteral(" 之间");
}

QString CheckArbY(float y, bool *outOfRange)
{
    float taken = y;
    bool out = false;
    if (y > 1.0f) {
        out = true;
        taken = 1.0f;
    } else if (y < -1.0f) {
        out = true;
        taken = -1.0f;
    }
    if (outOfRange)
        *outOfRange = out;
    return Latin1(FormatFixed3(taken));
}

QString ValueRangeMessage()
{
    return QStringLiteral("任意波Y坐标在 -1.000 到 1.000 之间");
}

IndexCommit CommitIndexText(const QString &fieldText, float arbLength)
{
    const int x = EntryTextToInt(fieldText).value_or(0);
    bool out = false;
    const int r = CheckArbX(x, arbLength, &out);
    return {QString::number(r), r, out};
}

ValueCommit CommitValueText(const QString &fieldText)
{
    bool out = false;
    const QString text = CheckArbY(EntryTextToSingle(fieldText), &out);
    return {text, EntryTextToSingle(text), out};
}

} // namespace arb
