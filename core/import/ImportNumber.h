#pragma once

#include <charconv>
#include <cmath>
#include <system_error>

namespace arb
{

enum class NumberScan {
    Ok,
    NotANumber,   // no number starts here
    NotFinite,    // "inf", "nan" and the like
    BeyondSingle, // a finite number too large for single precision
};

// Reads one number of an import table starting at p, never past end, in the
// C locale: an optional sign, digits with an optional point and fraction (or
// a point and fraction alone), an optional exponent. With decimalComma a
// comma stands for the point. On Ok, p is moved past the number; a number
// too small for single precision reads as zero.
NumberScan ScanNumberSlow(const char *&p, const char *end, float &value, bool decimalComma);

inline NumberScan ScanNumber(const char *&p, const char *end, float &value, bool decimalComma = false)
{
    // The common case inline: a plain number with a point, in range.
    if (!decimalComma && p < end && *p != '+') {
        float v = 0.0f;
        const auto [ptr, ec] = std::from_chars(p, end, v, std::chars_format::general);
        if (ec == std::errc() && std::isfinite(v)) {
            value = v;
            p = ptr;
            return NumberScan::Ok;
        }
    }
    return ScanNumberSlow(p, end, value, decimalComma);
}

} // namespace arb
