#include "core/import/ImportNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace arb
{

namespace
{

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsDigitOrPoint(char c)
{
    return IsDigit(c) || c == '.';
}

// Whether the number written in [first, last) (sign, digits, point,
// exponent) has a magnitude of 1 or more, decided from its digits alone, so
// that it holds for any number of digits and any exponent: the leading
// significant digit stands for 10^k, and the magnitude is 1 or more exactly
// when k >= 0.
bool AtLeastOne(const char *first, const char *last)
{
    const char *q = first;
    if (q < last && (*q == '-' || *q == '+'))
        ++q;
    long long lead = 0; // the power of ten of the leading significant digit
    bool found = false;
    long long intDigits = 0;
    for (; q < last && IsDigit(*q); ++q, ++intDigits)
        if (!found && *q != '0') {
            found = true;
            lead = intDigits;
        }
    if (found)
        lead = intDigits - 1 - lead;
    if (q < last && *q == '.') {
        ++q;
        for (long long power = -1; q < last && IsDigit(*q); ++q, --power)
            if (!found && *q != '0') {
                found = true;
                lead = power;
            }
    }
    if (!found)
        return false;
    long long exponent = 0;
    if (q < last && (*q == 'e' || *q == 'E')) {
        ++q;
        const bool negative = q < last && *q == '-';
        if (q < last && (*q == '-' || *q == '+'))
            ++q;
        // Far beyond any range already: saturate.
        for (; q < last && IsDigit(*q); ++q)
            if (exponent < 1'000'000'000'000LL)
                exponent = exponent * 10 + (*q - '0');
        if (negative)
            exponent = -exponent;
    }
    return lead + exponent >= 0;
}

// A number the single-precision conversion, correctly rounded, put out of
// range: one of magnitude 1 or more is too large and refused; a smaller one
// rounds to a zero of its sign.
NumberScan OutOfRange(const char *first, const char *last, float &value)
{
    if (AtLeastOne(first, last))
        return NumberScan::BeyondSingle;
    value = *first == '-' ? -0.0f : 0.0f;
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
