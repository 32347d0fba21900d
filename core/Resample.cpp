#include "core/Resample.h"

#include <algorithm>

namespace arb
{

void ResampleLinear(const float *source, std::size_t n, float *target, std::size_t count)
{
    if (n == count) {
        std::copy(source, source + n, target);
        return;
    }
    ResampleLinearFrom(source, n, target, count);
}

} // namespace arb
