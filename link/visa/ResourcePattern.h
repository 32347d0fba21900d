#pragma once

#include <string_view>

namespace arb::visa
{

// Whether a resource name matches a find expression such as "?*INSTR":
// "?" stands for one character, "*" for any run of characters, and letters
// compare without regard to case, as resource names do.
bool MatchesResourcePattern(std::string_view pattern, std::string_view name);

// Resource names compare without regard to case.
bool SameResourceName(std::string_view a, std::string_view b);

} // namespace arb::visa
