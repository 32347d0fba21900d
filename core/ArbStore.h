#pragma once

#include <algorithm>
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

// The points and length of a waveform: what the waveform document
// (WaveDocument) holds, and the copy of it a routine works on. Points 0..N-1
// are in use, where N is round(ArbLength); the elements beyond keep whatever
// they last held.
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

// The points of a straight line from the point at `from` (its value read
// before anything is written) to value at `to`: write(j, v) for every point
// strictly between the two and then for `to`, which takes value itself
// (b + (value - b) x 1 can miss it by a rounding step). The point at `from`
// is not written unless it is `to`. Indices outside the buffer write nothing.
template <typename Write>
void ForEachLinePoint(const ArbStore &store, int from, int to, float value, Write write)
{
    const int last = kArbBufferSize - 1;
    if (from < 0 || from > last || to < 0 || to > last)
        return;
    const float b = store.ArbData[static_cast<std::size_t>(from)];
    const float span = static_cast<float>(to - from);
    const float rise = value - b;
    const int hi = std::max(from, to);
    for (int j = std::min(from, to) + 1; j < hi; ++j) {
        const float ratio = static_cast<float>(j - from) / span;
        write(j, b + rise * ratio);
    }
    write(to, value);
}

// Fills the points from `from` to `to` with ForEachLinePoint's line.
void InterpolateTo(ArbStore &store, int from, int to, float value);

} // namespace arb
