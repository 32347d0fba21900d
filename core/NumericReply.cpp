#include "core/NumericReply.h"

#include "core/ArbStore.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace arb
{

namespace
{

std::optional<double> ParseIn(QLocale locale, const QString &text)
{
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> ParseReplyDouble(const QString &reply)
{
    const QString text = reply.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (const auto v = ParseIn(QLocale::c(), text))
        return v;
    return ParseIn(QLocale(), text);
}

} // namespace

std::optional<float> ParseReplySingle(const QString &reply)
{
    const std::optional<double> v = ParseReplyDouble(reply);
    if (!v || std::fabs(*v) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(*v);
}

std::optional<int> ParseReplyInt16(const QString &reply)
{
    const std::optional<double> v = ParseReplyDouble(reply);
    if (!v)
        return std::nullopt;
    const int r = RoundHalfEven(*v);
    if (r < -32768 || r > 32767)
        return std::nullopt;
    return r;
}

float ReplyFactorSingle(const QString &reply)
{
    return ParseReplySingle(reply).value_or(1.0f);
}

int ReplyFactorInt16(const QString &reply)
{
    return ParseReplyInt16(reply).value_or(1);
}

} // namespace arb
