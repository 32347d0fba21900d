#pragma once

#include "core/import/ImportTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace arb
{

// Blanks are spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

// Takes one pair of straight or curly quotes off a value, if it has them.
std::string_view StripQuotes(std::string_view text);

// A "Key:Value" header line as other tools write them: possibly led by "#",
// blanks around key and value, the value maybe quoted and maybe followed by
// a tab and a "#" comment. None when the line has no colon, or when what
// stands before the colon is empty or a number.
std::optional<HeaderField> ParseHeaderLine(std::string_view line);

// The key as compared: ASCII letters in lower case, blanks left out, so
// "Data Points", " data points " and "DataPoints" are one key.
std::string HeaderKey(std::string_view key);

// The column separator a "Column Char" value names (TAB, COMMA, SPACE,
// SEMICOLON, in any case): '\t', ',', ' ', ';'; 0 for any other value.
char ColumnCharOf(std::string_view value);

// A whole number of a header value ("Data Points", "Channel Count"), none
// when the value is not one.
std::optional<long long> HeaderWholeNumber(std::string_view value);

} // namespace arb
