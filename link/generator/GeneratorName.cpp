#include "link/generator/GeneratorName.h"

#include <algorithm>

namespace arb
{

namespace
{

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAsciiLetterOrDigit(char c)
{
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool IsGeneratorName(const std::string &name)
{
    return !name.empty() && name.size() <= 6 && std::all_of(name.begin(), name.end(), IsAsciiLetterOrDigit);
}

std::optional<std::string> NameCommand(const std::string &slot, const std::string &name)
{
    if (slot.empty() || !std::all_of(slot.begin(), slot.end(), IsAsciiDigit) || !IsGeneratorName(name))
        return std::nullopt;
    return "SYSTEM:ARB NAME " + slot + " " + name;
}

} // namespace arb
