#pragma once

#include <array>
#include <cstdint>

namespace arb
{

// Size of the point buffer: indices 0..16384.
constexpr int kArbBufferSize = 16385;
// Valid waveform lengths.
constexpr int kMinArbLength = 4;
constexpr int kMaxArbLength = 16384;
constexpr float kDefaultArbLength = 201.0f;

// Round to nearest, halves to even: the conversion used wherever a
// floating-point value becomes a count or an index.
int RoundHalfEven(double value);

// The one waveform the editor holds. Points 0..N-1 are in use, where N is
// round(ArbLength); the elements beyond keep whatever they last held.
struct ArbStore {
    std::array<float, kArbBufferSize> ArbData{};
    float ArbLength = kDefaultArbLength;
    float ArbMaxValue = 0.0f;
    float ArbMinValue = 0.0f;
    double ArbScale = 1.0;

    // Folds ArbData[index] into the running extremes.
    void UpdateMinMax(int index);

    // A full pass over the points in use: extremes reset to 0, then folded
    // in ascending order, so ArbMaxValue >= 0 >= ArbMinValue afterwards.
    void UpdateMinMaxPass();

    // round(ArbLength - 1), kept inside the buffer whatever ArbLength holds.
    int LastIndex() const;

    // round(ArbLength), kept inside 0..kMaxArbLength.
    int PointCount() const;

    // ArbScale for output at full scale: 1/peak when every point lies
    // strictly inside -1..+1 and some point is not 0, 1.0 otherwise. Runs a
    // pass of UpdateMinMax.
    void ChooseFullScale();

    // Zeroes points 0..N-1 only.
    void ClearPoints();
};

} // namespace arb
