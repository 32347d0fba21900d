#include "core/ImportNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace arb
{

namespace
{

bool IsDigitOrPoint(char c)
{
    return (c >= '0' && c <= '9') || c == '.';
}

// A result outside single precision: too small reads as a signed zero, too
// large is refused.
NumberScan OutOfRange(const char *first, const char *last, float &value)
{
    double d = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, d);
    (void)ptr;
    bool tiny = false;
    if (ec == std::errc())
        tiny = std::fabs(d) < 1.0;
    else {
        // Beyond double precision too: tiny when the exponent is negative.
        for (const char *q = first; q < last; ++q)
            if (*q == 'e' || *q == 'E') {
                tiny = q + 1 < last && q[1] == '-';
                break;
            }
    }
    if (!tiny)
        return NumberScan::BeyondSingle;
    value = std::signbit(d) || *first == '-' ? -0.0f : 0.0f;
    if (ec == std::errc())
        value = static_cast<float>(d);
    return NumberScan::Ok;
}

NumberScan Convert(const char *first, const char *last, const char *&next, float &value)
{
    float v = 0.0f;
    const auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return NumberScan::NotANumber;
    next = ptr;
    if (ec == std::errc::result_out_of_range)
        return OutOfRange(first, ptr, value);
    if (!std::isfinite(v))
        return NumberScan::NotFinite;
    value = v;
    return NumberScan::Ok;
}

} // namespace

NumberScan ScanNumberSlow(const char *&p, const char *end, float &value, bool decimalComma)
{
    const char *first = p;
    if (first < end && *first == '+') {
        // from_chars takes no plus sign; "+-1" and "+inf" are no numbers.
        if (first + 1 >= end || !IsDigitOrPoint(first[1]))
            return NumberScan::NotANumber;
        ++first;
    }
    if (first >= end)
        return NumberScan::NotANumber;
    if (!decimalComma) {
        const char *next = first;
        const NumberScan s = Convert(first, end, next, value);
        if (s != NumberScan::NotANumber)
            p = next;
        return s;
    }
    // A decimal comma: the number's characters are copied with the comma
    // turned into a point. Longer numbers than the copy holds are refused.
    char copy[128];
    std::size_t n = 0;
    for (const char *q = first; q < end && n < sizeof copy; ++q, ++n) {
        const char c = *q;
        if (!(IsDigitOrPoint(c) || c == ',' || c == 'e' || c == 'E' || c == '+' || c == '-' ||
              (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            break;
        copy[n] = c == ',' ? '.' : c;
    }
    const char *next = copy;
    const NumberScan s = Convert(copy, copy + n, next, value);
    if (s != NumberScan::NotANumber)
        p = first + (next - copy);
    return s;
}

} // namespace arb
