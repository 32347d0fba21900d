#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arb
{

// The numbers of the waveform files. A field is a number when its whole text
// is a decimal real number: optional blanks, an optional sign, digits with an
// optional period and fraction (or a period and fraction alone), an optional
// exponent (E or e, an optional sign, digits), optional blanks. The period is
// the decimal point whatever the user's locale.
//
// A number too large for the type comes back as an infinity of its sign, one
// too small as a zero of its sign; text that is not a number gives no value.
std::optional<float> ParseWaveSingle(std::string_view text);
std::optional<double> ParseWaveDouble(std::string_view text);

// A count in its shortest decimal form, as the length field shows it:
// 1000 -> "1000", 1000.5 -> "1000.5".
std::string FormatWaveCount(float count);

} // namespace arb
