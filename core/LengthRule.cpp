#include "core/LengthRule.h"

#include "core/ArbStore.h"
#include "core/EntryRules.h"

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
    // Empty text and text that is no number commit as 2001; a fractional
    // length (left by a waveform file) rounds half to even; digits beyond an
    // integer hold as the upper bound.
    const int n = EntryTextToInt(fieldText).value_or(2001);
    bool out = false;
    const int r = CheckArbLength(n, &out);
    return {QString::number(r), static_cast<float>(r), out};
}

QString LengthRangeMessage()
{
    return QStringLiteral("任意波点数在 4 到 16384 之间");
}

} // namespace arb
