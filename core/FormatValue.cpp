#include "core/FormatValue.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace arb
{

std::string FormatFixed3(float value)
{
    const double v = static_cast<double>(value);
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Inf" : "-Inf";
    // A float times 1000 is exact in double precision, so the rounding below
    // sees the stored value itself.
    const double scaled = std::round(v * 1000.0);
    if (std::fabs(scaled) < 9.0e15) {
        const auto milli = static_cast<std::int64_t>(scaled);
        const std::int64_t mag = milli < 0 ? -milli : milli;
        std::string text = milli < 0 ? "-" : "";
        text += std::to_string(mag / 1000);
        text += '.';
        const std::int64_t frac = mag % 1000;
        text += static_cast<char>('0' + frac / 100);
        text += static_cast<char>('0' + (frac / 10) % 10);
        text += static_cast<char>('0' + frac % 10);
        return text;
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    return std::string(buf, res.ptr);
}

std::string FormatValue6(float value)
{
    const std::string digits = FormatFixed3(value);
    if (digits.size() >= 6)
        return digits;
    return std::string(6 - digits.size(), ' ') + digits;
}

} // namespace arb
