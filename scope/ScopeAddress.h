#pragma once

#include <string>
#include <string_view>

namespace arb
{

// What is wrong with an address typed for a capture.
enum class AddressFault {
    None,
    Empty,         // nothing but blanks
    TooLong,       // beyond kMaxAddressLength characters
    BadCharacters, // a character no resource name or host name holds
    Malformed,     // none of the forms below
};

constexpr std::size_t kMaxAddressLength = 255;
// The port a bare host name is reached on (SCPI over a raw socket).
constexpr int kDefaultScpiPort = 5025;

// An address typed by the user, as the VISA resource name it stands for:
// "TCPIP0::host::port::SOCKET", "TCPIP0::host[::device]::INSTR" and
// "USB0::…::INSTR" as they are; a bare host name or IP address as
// "TCPIP0::host::5025::SOCKET". Blanks around the text are dropped.
struct ScopeAddress {
    AddressFault fault = AddressFault::None;
    std::string resource;
};
ScopeAddress ResolveScopeAddress(std::string_view typed);

} // namespace arb
