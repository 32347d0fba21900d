#include "core/LengthRule.h"

#include "core/ArbStore.h"

namespace arb
{

int CheckArbLength(long long n, bool *outOfRange)
{
    const bool out = n > kMaxArbLength || n < kMinArbLength;
    if (outOfRange)
        *outOfRange = out;
    if (n > kMaxArbLength)
        return kMaxArbLength;
    if (n < kMinArbLength)
        return kMinArbLength;
    return static_cast<int>(n);
}

LengthCommit CommitLengthText(const QString &fieldText)
{
    QString text = fieldText.trimmed();
    bool allDigits = !text.isEmpty();
    for (const QChar c : text)
        allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!allDigits)
        text = QStringLiteral("2001");
    // A digit string too long for an integer holds as the upper bound.
    bool ok = false;
    long long n = text.toLongLong(&ok);
    if (!ok)
        n = static_cast<long long>(kMaxArbLength) + 1;
    bool out = false;
    const int r = CheckArbLength(n, &out);
    return {QString::number(r), static_cast<float>(r), out};
}

QString LengthRangeMessage()
{
    return QStringLiteral("任意波点数在 4 到 16384 之间");
}

} // namespace arb
