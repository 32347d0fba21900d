#pragma once

#include <algorithm>
#include <cstddef>

namespace arb
{

// Resamples a record of n values to count values by linear interpolation
// between neighbouring samples, first and last values kept: value i is taken
// at position i x (n - 1) / (count - 1) of the source. This does not filter:
// a reduction keeps whatever lies between the samples it takes apart from
// interpolating, so content above the new rate's half folds back.
void ResampleLinear(const float *source, std::size_t n, float *target, std::size_t count);

// The same from any source whose values source[k] gives as floats.
template <typename Source>
void ResampleLinearFrom(const Source &source, std::size_t n, float *target, std::size_t count)
{
    if (count == 0)
        return;
    if (n == 0) {
        std::fill(target, target + count, 0.0f);
        return;
    }
    if (n == count) {
        for (std::size_t i = 0; i < n; ++i)
            target[i] = source[i];
        return;
    }
    if (n == 1 || count == 1) {
        std::fill(target, target + count, static_cast<float>(source[0]));
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
