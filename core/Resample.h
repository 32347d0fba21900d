#pragma once

#include <cstddef>

namespace arb
{

// Resamples a record of n values to count values by linear interpolation
// between neighbouring samples, first and last values kept: value i is taken
// at position i x (n - 1) / (count - 1) of the source. This does not filter:
// a reduction keeps whatever lies between the samples it takes apart from
// interpolating, so content above the new rate's half folds back.
void ResampleLinear(const float *source, std::size_t n, float *target, std::size_t count);

} // namespace arb
