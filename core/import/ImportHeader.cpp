#include "core/import/ImportHeader.h"

#include "core/import/ImportNumber.h"

#include <charconv>

namespace arb
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Straight quotes and the curly ones in UTF-8.
constexpr std::string_view kQuotes[] = {"\"",           "'",           "\xE2\x80\x9C", "\xE2\x80\x9D",
                                        "\xE2\x80\x98", "\xE2\x80\x99"};

bool StartsWithNumber(std::string_view text)
{
    const char *p = text.data();
    float v = 0.0f;
    return ScanNumber(p, text.data() + text.size(), v) != NumberScan::NotANumber;
}

} // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view StripQuotes(std::string_view text)
{
    for (const std::string_view q : kQuotes)
        if (StartsWith(text, q)) {
            text.remove_prefix(q.size());
            break;
        }
    for (const std::string_view q : kQuotes)
        if (EndsWith(text, q)) {
            text.remove_suffix(q.size());
            break;
        }
    return TrimBlanks(text);
}

std::optional<HeaderField> ParseHeaderLine(std::string_view line)
{
    line = TrimBlanks(line);
    while (!line.empty() && line.front() == '#')
        line = TrimBlanks(line.substr(1));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = TrimBlanks(line.substr(0, colon));
    if (key.empty() || StartsWithNumber(key))
        return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    // A tab, then a "#" comment, ends the value.
    for (std::size_t tab = value.find('\t'); tab != std::string_view::npos; tab = value.find('\t', tab + 1))
        if (const std::string_view rest = TrimBlanks(value.substr(tab));
            !rest.empty() && rest.front() == '#') {
            value = value.substr(0, tab);
            break;
        }
    value = StripQuotes(TrimBlanks(value));
    return HeaderField{std::string(key), std::string(value)};
}

std::string HeaderKey(std::string_view key)
{
    std::string out;
    out.reserve(key.size());
    for (const char c : key) {
        if (IsBlank(c))
            continue;
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

char ColumnCharOf(std::string_view value)
{
    const std::string v = HeaderKey(value);
    if (v == "tab")
        return '\t';
    if (v == "comma")
        return ',';
    if (v == "space")
        return ' ';
    if (v == "semicolon")
        return ';';
    return 0;
}

std::optional<long long> HeaderWholeNumber(std::string_view value)
{
    value = StripQuotes(TrimBlanks(value));
    long long n = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || ptr != value.data() + value.size())
        return std::nullopt;
    return n;
}

} // namespace arb
