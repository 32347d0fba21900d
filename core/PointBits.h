#pragma once

namespace arb
{

// Points compared as bit patterns, never as numbers: -0.0 differs from 0.0,
// and a NaN equals a NaN with the same bits.

// First index in [first, last] where the two arrays differ, or last + 1.
int FirstDifference(const float *a, const float *b, int first, int last);

// Last index in [first, last] where they differ; first - 1 when none does.
int LastDifference(const float *a, const float *b, int first, int last);

// Whether two values have the same bits.
bool SameBits(float a, float b);

} // namespace arb
