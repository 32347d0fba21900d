#include "link/ArbHexTable.h"

#include <cmath>

namespace arb
{

int PointCode(float value, double scale)
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
    int code = RoundHalfEven(v * 32767.0);
    if (code < 0)
        code += 65536;
    return code;
}

void PointToHex(const ArbStore &store, int i, ArbHexTable &table)
{
    static const char digits[] = "0123456789ABCDEF";
    const int c = PointCode(store.ArbData[static_cast<std::size_t>(i)], store.ArbScale);
    auto &entry = table.ArbHexDigits[static_cast<std::size_t>(i)];
    entry[0] = digits[c / 4096];
    entry[1] = digits[(c / 256) % 16];
    entry[2] = digits[(c / 16) % 16];
    entry[3] = digits[c % 16];
}

} // namespace arb
