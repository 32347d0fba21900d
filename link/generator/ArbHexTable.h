#pragma once

#include "core/ArbStore.h"

#include <array>
#include <cmath>
#include <string>

namespace arb
{

// The four hexadecimal digits of every point's 16-bit code, most
// significant first. Entries are filled as their chunk is built and never
// cleared.
struct ArbHexTable {
    std::array<std::array<char, 4>, kArbBufferSize> ArbHexDigits{};

    // Appends the four digits of point i.
    void appendDigits(int i, std::string &text) const
    {
        text.append(ArbHexDigits[static_cast<std::size_t>(i)].data(), 4);
    }
};

// The 16-bit code of a point value at the given scale: value x scale,
// held to -1..+1, times 32767, rounded half to even, negative codes as
// two's complement (value + 65536). Inline: the download converts every
// point as its chunk is built.
inline unsigned PointCode(float value, double scale)
{
    double v = static_cast<double>(value) * scale;
    // Values beyond full scale are held to it, so that every code stays in
    // -32767..+32767 and has four digits.
    if (std::isnan(v))
        v = 0.0;
    else if (v > 1.0)
        v = 1.0;
    else if (v < -1.0)
        v = -1.0;
    // Adding and taking away 1.5 x 2^52 rounds to the nearest integer, ties
    // to even, as RoundHalfEven does; exact for magnitudes below 2^51 and
    // much quicker than a library call.
    constexpr double kRound = 6755399441055744.0;
    const int code = static_cast<int>((v * 32767.0 + kRound) - kRound);
    return static_cast<unsigned>(code < 0 ? code + 65536 : code);
}

// Converts point i of store.ArbData at store.ArbScale into
// table.ArbHexDigits[i].
inline void PointToHex(const ArbStore &store, int i, ArbHexTable &table)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const unsigned c = PointCode(store.ArbData[static_cast<std::size_t>(i)], store.ArbScale);
    auto &entry = table.ArbHexDigits[static_cast<std::size_t>(i)];
    entry[0] = digits[c >> 12];
    entry[1] = digits[(c >> 8) & 15u];
    entry[2] = digits[(c >> 4) & 15u];
    entry[3] = digits[c & 15u];
}

} // namespace arb
