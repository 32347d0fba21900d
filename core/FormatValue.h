#pragma once

#include <string>

namespace arb
{

// Text of a point value with exactly three decimals, right-aligned in a field
// of six characters: 0 -> " 0.000", -0.5 -> "-0.500", 1 -> " 1.000".
// Values whose rounded text needs more than six characters (magnitude 10 or
// more, or -9.9996 which rounds to -10.000) come out whole, so that no sign
// or digit is lost: "-12.300", "-10.000", "123.457".
// Halves round away from zero; a value that rounds to zero never shows a
// minus sign.
std::string FormatValue6(float value);

// The same digits without the field: "0.500", "-1.000", "12.300".
std::string FormatFixed3(float value);

} // namespace arb
