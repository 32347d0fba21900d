#pragma once

#include <QString>
#include <optional>

namespace arb
{

// Conversion of the replies typed into the input boxes. Leading and trailing
// blanks are allowed. The decimal point is always accepted ("2.5"); a reply
// that is not a number in that form is tried once more in the user's own
// locale (so "2,5" is read as 2.5 where the comma is the decimal separator).
// Group separators are never accepted, so "2,5" can never become 25.
//
// A number outside the single-precision range, an infinity or a NaN, and
// empty text (a cancelled box) give no value.
std::optional<float> ParseReplySingle(const QString &reply);

// The reply rounded to the nearest whole number, halves to the even one;
// no value when the result lies outside -32768..32767.
std::optional<int> ParseReplyInt16(const QString &reply);

// The factors of the transforms: the reply's value, or 1 when it has none.
float ReplyFactorSingle(const QString &reply);
int ReplyFactorInt16(const QString &reply);

} // namespace arb
