#include "core/PointBits.h"

#include <cstddef>
#include <cstring>

namespace arb
{

namespace
{

// Points compared at once before looking at single points.
constexpr int kBlock = 64;

bool SameRun(const float *a, const float *b, int count)
{
    return std::memcmp(a, b, static_cast<std::size_t>(count) * sizeof(float)) == 0;
}

} // namespace

int FirstDifference(const float *a, const float *b, int first, int last)
{
    int i = first;
    while (i + kBlock - 1 <= last && SameRun(a + i, b + i, kBlock))
        i += kBlock;
    while (i <= last && SameRun(a + i, b + i, 1))
        ++i;
    return i;
}

int LastDifference(const float *a, const float *b, int first, int last)
{
    int i = last;
    while (i - kBlock + 1 >= first && SameRun(a + i - kBlock + 1, b + i - kBlock + 1, kBlock))
        i -= kBlock;
    while (i >= first && SameRun(a + i, b + i, 1))
        --i;
    return i;
}

bool SameBits(float a, float b)
{
    return SameRun(&a, &b, 1);
}

} // namespace arb
