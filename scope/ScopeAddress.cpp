#include "scope/ScopeAddress.h"

#include "link/visa/NetworkResource.h"

namespace arb
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Letters, digits and the punctuation of resource and host names.
bool IsAddressCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
           c == '.' || c == '-' || c == '_' || c == '[' || c == ']';
}

bool StartsWithoutCase(std::string_view text, std::string_view start)
{
    if (text.size() < start.size())
        return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        const char c = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
        if (c != start[i])
            return false;
    }
    return true;
}

bool EndsWithoutCase(std::string_view text, std::string_view end)
{
    if (text.size() < end.size())
        return false;
    const std::string_view tail = text.substr(text.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        const char c = tail[i] >= 'a' && tail[i] <= 'z' ? static_cast<char>(tail[i] - 'a' + 'A') : tail[i];
        if (c != end[i])
            return false;
    }
    return true;
}

// "USB[board]::vendor::product::serial[::interface]::INSTR", each field
// letters, digits, "." "_" or "-".
bool IsUsbResource(std::string_view name)
{
    if (!StartsWithoutCase(name, "USB") || !EndsWithoutCase(name, "::INSTR"))
        return false;
    int fields = 1;
    std::size_t run = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "::") == 0) {
            if (run == 0)
                return false;
            ++fields;
            run = 0;
            ++i;
        } else if (name[i] == ':' || name[i] == '[' || name[i] == ']') {
            return false;
        } else {
            ++run;
        }
    }
    return run > 0 && (fields == 5 || fields == 6);
}

} // namespace

ScopeAddress ResolveScopeAddress(std::string_view typed)
{
    ScopeAddress address;
    while (!typed.empty() && IsBlank(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back()))
        typed.remove_suffix(1);
    if (typed.empty()) {
        address.fault = AddressFault::Empty;
        return address;
    }
    if (typed.size() > kMaxAddressLength) {
        address.fault = AddressFault::TooLong;
        return address;
    }
    for (char c : typed) {
        if (!IsAddressCharacter(c)) {
            address.fault = AddressFault::BadCharacters;
            return address;
        }
    }
    // A bracketed IPv6 address holds "::" of its own.
    const bool resourceName = typed.front() != '[' && typed.find("::") != std::string_view::npos;
    if (resourceName) {
        if (visa::ParseSocketResource(typed) || visa::ParseVxi11Resource(typed) || IsUsbResource(typed))
            address.resource = std::string(typed);
        else
            address.fault = AddressFault::Malformed;
        return address;
    }
    if (!visa::IsHostName(typed)) {
        address.fault = AddressFault::Malformed;
        return address;
    }
    address.resource = "TCPIP0::" + std::string(typed) + "::" + std::to_string(kDefaultScpiPort) + "::SOCKET";
    return address;
}

} // namespace arb
