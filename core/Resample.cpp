#include "core/Resample.h"

#include <algorithm>

namespace arb
{

void ResampleLinear(const float *source, std::size_t n, float *target, std::size_t count)
{
    if (count == 0)
        return;
    if (n == 0) {
        std::fill(target, target + count, 0.0f);
        return;
    }
    if (n == count) {
        std::copy(source, source + n, target);
        return;
    }
    if (n == 1 || count == 1) {
        std::fill(target, target + count, source[0]);
        return;
    }
    const double step = static_cast<double>(n - 1) / static_cast<double>(count - 1);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double x = static_cast<double>(i) * step;
        const auto k = std::min(static_cast<std::size_t>(x), n - 2);
        const double f = x - static_cast<double>(k);
        const double a = source[k];
        const double b = source[k + 1];
        target[i] = static_cast<float>(a + (b - a) * f);
    }
    target[count - 1] = source[n - 1];
}

} // namespace arb
