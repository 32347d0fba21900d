#pragma once

namespace arb
{

struct ArbStore;

// Point-wise transforms of points 0..round(ArbLength - 1), in place. Points
// after them are neither read nor written, and the extremes are not updated.

// Every point negated.
void MirrorX(ArbStore &store);

// The points reversed in time: point i swaps with round((N - 1) - i).
void MirrorY(ArbStore &store);

// The divisor actually used for a typed divisor: magnitudes below 1 become
// +1 or -1, and 0 (which would fill the waveform with infinities) and
// non-finite values become 1, leaving the points unchanged.
float EffectiveDivisor(float divisor);

// The factor actually used for a typed factor: magnitudes below 1 (other
// than 0) become +1 or -1; a non-finite factor becomes 1.
float EffectiveMultiplier(float factor);

// Every point divided by EffectiveDivisor(divisor).
void DivideBy(ArbStore &store, float divisor);

// Every point multiplied by EffectiveMultiplier(factor), the product clipped
// to -1..+1 (an overflow to infinity is clipped like any other value).
void MultiplyBy(ArbStore &store, float factor);

// Scales the points so that the largest magnitude becomes 1. Returns false,
// changing nothing, when the peak is 0 or already exactly 1.
bool Normalise(ArbStore &store);

// Repeats the waveform k times within its length: every k-th point is kept,
// the n = floor(N / k) kept points are copied k times, the rest are 0.
// A factor below 1 changes nothing and returns false.
bool FrequencyMultiply(ArbStore &store, int k);

} // namespace arb
