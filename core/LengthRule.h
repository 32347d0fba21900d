#pragma once

#include <QString>

namespace arb
{

// The rules of the length field: a committed length is held to 4..16384, an
// empty field means 2001, a fractional one rounds half to even, and text that
// is no number commits as an empty field would.
struct LengthCommit {
    QString text;    // what the field shows afterwards
    float length;    // the new ArbLength
    bool outOfRange; // the range message is due
};

// Held to 4..16384; outOfRange tells whether the range message is due.
int CheckArbLength(long long n, bool *outOfRange);

LengthCommit CommitLengthText(const QString &fieldText);

// "任意波点数在 4 到 16384 之间"
QString LengthRangeMessage();

} // namespace arb
