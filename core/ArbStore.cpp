#include "core/ArbStore.h"

#include <algorithm>
#include <cmath>

namespace arb
{

int RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // The default floating-point environment rounds to nearest, ties to even.
    const double r = std::nearbyint(value);
    if (r >= 2147483647.0)
        return 2147483647;
    if (r <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(r);
}

void ArbStore::UpdateMinMax(int index)
{
    const float v = ArbData[static_cast<std::size_t>(index)];
    if (v > ArbMaxValue)
        ArbMaxValue = v;
    if (v < ArbMinValue)
        ArbMinValue = v;
}

void ArbStore::UpdateMinMaxPass()
{
    ArbMaxValue = 0.0f;
    ArbMinValue = 0.0f;
    const int last = LastIndex();
    for (int i = 0; i <= last; ++i)
        UpdateMinMax(i);
}

int ArbStore::LastIndex() const
{
    return std::clamp(RoundHalfEven(static_cast<double>(ArbLength) - 1.0), -1, kArbBufferSize - 1);
}

int ArbStore::PointCount() const
{
    return std::clamp(RoundHalfEven(ArbLength), 0, kMaxArbLength);
}

void ArbStore::ChooseFullScale()
{
    ArbScale = 1.0;
    UpdateMinMaxPass();
    const float top = ArbMaxValue;
    const float bottom = std::fabs(ArbMinValue);
    if (top == 0.0f && bottom == 0.0f)
        return;
    if (top >= 1.0f || bottom >= 1.0f)
        return;
    const float peak = bottom < top ? top : bottom;
    ArbScale = 1.0 / static_cast<double>(peak);
}

void InterpolateTo(ArbStore &store, int from, int to, float value)
{
    ForEachLinePoint(store, from, to, value,
                     [&store](int j, float v) { store.ArbData[static_cast<std::size_t>(j)] = v; });
}

void ArbStore::ClearPoints()
{
    const int last = LastIndex();
    for (int i = 0; i <= last; ++i)
        ArbData[static_cast<std::size_t>(i)] = 0.0f;
}

} // namespace arb
