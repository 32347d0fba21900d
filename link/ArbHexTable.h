#pragma once

#include "core/ArbStore.h"

#include <array>
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
// two's complement (value + 65536).
int PointCode(float value, double scale);

// Converts point i of store.ArbData at store.ArbScale into
// table.ArbHexDigits[i].
void PointToHex(const ArbStore &store, int i, ArbHexTable &table);

} // namespace arb
