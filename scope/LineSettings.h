#pragma once

#include <QString>
#include <optional>

namespace arb
{

// Line parameters of a serial port as written in a settings string such as
// "9600,N,8,1": baud rate, parity letter, data bits, stop bits.
struct LineSettings {
    enum class Parity { None, Odd, Even, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings &o) const
    {
        return baud == o.baud && parity == o.parity && dataBits == o.dataBits && stopBits == o.stopBits;
    }
};

// Parses "baud,parity,data,stop". The parity letter is N, O, E, M or S in
// either case; data bits are 5..8; stop bits 1, 1.5 or 2. Anything else gives
// no value.
std::optional<LineSettings> ParseLineSettings(const QString &text);

// Handshaking codes of the port: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both.
enum class Handshake { None = 0, XonXoff = 1, RtsCts = 2, RtsCtsXonXoff = 3 };

// The code as a handshake; an unknown code means none.
Handshake HandshakeFromCode(int code);

} // namespace arb
