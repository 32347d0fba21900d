#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arb::visa
{

// The host and port of a raw socket resource, "TCPIP[board]::host::port::SOCKET".
struct SocketResource {
    std::string host;
    std::uint16_t port = 0;
};

// The parts of a socket resource name (letters without regard to case),
// or none when name is no such name, its host is not a host name, an IPv4
// address or a bracketed IPv6 address, or its port is not 1 to 65535.
std::optional<SocketResource> ParseSocketResource(std::string_view name);

// The host of a VXI-11 resource name, "TCPIP[board]::host[::device]::INSTR",
// or none.
std::optional<std::string> ParseVxi11Resource(std::string_view name);

// A host name (letters, digits and "-" in labels of up to 63 characters
// joined by "."), an IPv4 address, or an IPv6 address in brackets.
bool IsHostName(std::string_view host);

} // namespace arb::visa
