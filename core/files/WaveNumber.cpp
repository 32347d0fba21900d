#include "core/files/WaveNumber.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace arb
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Checks the syntax. On success body is the number without blanks and sign.
bool SplitNumber(std::string_view text, bool &negative, std::string_view &body)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    negative = false;
    if (b < e && (text[b] == '+' || text[b] == '-')) {
        negative = text[b] == '-';
        ++b;
    }
    std::size_t i = b;
    std::size_t digits = 0;
    while (i < e && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < e && text[i] == '.') {
        ++i;
        while (i < e && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < e && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < e && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != e)
        return false;
    body = text.substr(b, e - b);
    return true;
}

// For a number out of the type's range: whether it is too large (rather
// than too small). Its leading significant digit stands for 10^k; a number
// of 1 or more can only be out of range by being too large.
bool TooLarge(std::string_view body)
{
    long long lead = 0;
    bool found = false;
    long long intDigits = 0;
    std::size_t i = 0;
    for (; i < body.size() && IsDigit(body[i]); ++i) {
        if (!found && body[i] != '0') {
            found = true;
            lead = intDigits;
        }
        ++intDigits;
    }
    if (found)
        lead = intDigits - 1 - lead;
    if (i < body.size() && body[i] == '.') {
        ++i;
        long long pos = -1;
        for (; i < body.size() && IsDigit(body[i]); ++i, --pos) {
            if (!found && body[i] != '0') {
                found = true;
                lead = pos;
            }
        }
    }
    if (!found)
        return false;
    long long exponent = 0;
    if (i < body.size() && (body[i] == 'E' || body[i] == 'e')) {
        ++i;
        bool negativeExp = false;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
            negativeExp = body[i] == '-';
            ++i;
        }
        for (; i < body.size(); ++i) {
            // Far beyond any type's range already; saturate.
            if (exponent < 1000000000LL)
                exponent = exponent * 10 + (body[i] - '0');
        }
        if (negativeExp)
            exponent = -exponent;
    }
    return lead + exponent >= 0;
}

template <typename T> std::optional<T> ParseWaveNumber(std::string_view text)
{
    bool negative = false;
    std::string_view body;
    if (!SplitNumber(text, negative, body))
        return std::nullopt;
    T value{};
    const char *end = body.data() + body.size();
    const auto result = std::from_chars(body.data(), end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = TooLarge(body) ? std::numeric_limits<T>::infinity() : T(0);
    else if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<float> ParseWaveSingle(std::string_view text)
{
    return ParseWaveNumber<float>(text);
}

std::optional<double> ParseWaveDouble(std::string_view text)
{
    return ParseWaveNumber<double>(text);
}

std::string FormatWaveCount(float count)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, count, std::chars_format::fixed);
    if (result.ec != std::errc())
        return std::string();
    return std::string(buf, result.ptr);
}

} // namespace arb
