#include "link/visa/NetworkResource.h"

#include <vector>

namespace arb::visa
{

namespace
{

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c)
{
    return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z');
}

bool IsHex(char c)
{
    return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f');
}

// The fields of a resource name between "::"; an IPv6 host in brackets
// keeps its colons.
std::vector<std::string_view> Fields(std::string_view name)
{
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    std::size_t at = 0;
    while (at < name.size()) {
        if (name[at] == '[') {
            const std::size_t close = name.find(']', at);
            if (close == std::string_view::npos)
                break;
            at = close + 1;
            continue;
        }
        if (name.compare(at, 2, "::") == 0) {
            fields.push_back(name.substr(from, at - from));
            at += 2;
            from = at;
            continue;
        }
        ++at;
    }
    fields.push_back(name.substr(from));
    return fields;
}

// "TCPIP" and an optional board number.
bool IsTcpipInterface(std::string_view field)
{
    if (field.size() < 5 || !SameText(field.substr(0, 5), "TCPIP"))
        return false;
    for (char c : field.substr(5))
        if (!IsDigit(c))
            return false;
    return field.size() <= 8;
}

std::optional<std::uint16_t> Port(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool IsIpv6InBrackets(std::string_view host)
{
    if (host.size() < 4 || host.size() > 48 || host.front() != '[' || host.back() != ']')
        return false;
    int colons = 0;
    for (char c : host.substr(1, host.size() - 2)) {
        if (c == ':')
            ++colons;
        else if (!IsHex(c) && c != '.')
            return false;
    }
    return colons >= 2;
}

} // namespace

bool IsHostName(std::string_view host)
{
    if (IsIpv6InBrackets(host))
        return true;
    if (host.empty() || host.size() > 253)
        return false;
    std::size_t label = 0;
    char previous = '.';
    for (char c : host) {
        if (c == '.') {
            if (label == 0 || previous == '-')
                return false;
            label = 0;
        } else if (IsAlnum(c) || c == '-') {
            if (label == 0 && c == '-')
                return false;
            if (++label > 63)
                return false;
        } else {
            return false;
        }
        previous = c;
    }
    return label > 0 && previous != '-';
}

std::optional<SocketResource> ParseSocketResource(std::string_view name)
{
    const std::vector<std::string_view> f = Fields(name);
    if (f.size() != 4 || !IsTcpipInterface(f[0]) || !SameText(f[3], "SOCKET") || !IsHostName(f[1]))
        return std::nullopt;
    const std::optional<std::uint16_t> port = Port(f[2]);
    if (!port)
        return std::nullopt;
    std::string host(f[1]);
    if (host.front() == '[')
        host = host.substr(1, host.size() - 2);
    return SocketResource{host, *port};
}

std::optional<std::string> ParseVxi11Resource(std::string_view name)
{
    const std::vector<std::string_view> f = Fields(name);
    if ((f.size() != 3 && f.size() != 4) || !IsTcpipInterface(f[0]) || !SameText(f.back(), "INSTR") ||
        !IsHostName(f[1]))
        return std::nullopt;
    if (f.size() == 4) {
        // A device name such as "inst0" or "hislip0".
        if (f[2].empty() || f[2].size() > 32)
            return std::nullopt;
        for (char c : f[2])
            if (!IsAlnum(c) && c != '_' && c != ',')
                return std::nullopt;
    }
    return std::string(f[1]);
}

} // namespace arb::visa
