#include "core/WaveTransforms.h"

#include "core/ArbStore.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace arb
{

namespace
{

float &Point(ArbStore &store, int i)
{
    return store.ArbData[static_cast<std::size_t>(i)];
}

float MagnitudeAtLeastOne(float v)
{
    if (v > 0.0f && v < 1.0f)
        return 1.0f;
    if (v < 0.0f && v > -1.0f)
        return -1.0f;
    return v;
}

} // namespace

void MirrorX(ArbStore &store)
{
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i)
        Point(store, i) = Point(store, i) * -1.0f;
}

void MirrorY(ArbStore &store)
{
    const int last = store.LastIndex();
    const double top = static_cast<double>(store.ArbLength) - 1.0;
    for (int i = 0; i <= last / 2; ++i) {
        const int p = std::clamp(RoundHalfEven(top - i), 0, kArbBufferSize - 1);
        std::swap(Point(store, i), Point(store, p));
    }
}

float EffectiveDivisor(float divisor)
{
    // Zero passes the magnitude clamp; dividing by it would write
    // infinities, so it divides by 1 instead.
    if (!std::isfinite(divisor) || divisor == 0.0f)
        return 1.0f;
    return MagnitudeAtLeastOne(divisor);
}

float EffectiveMultiplier(float factor)
{
    if (!std::isfinite(factor))
        return 1.0f;
    return MagnitudeAtLeastOne(factor);
}

void DivideBy(ArbStore &store, float divisor)
{
    const double d = EffectiveDivisor(divisor);
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i)
        Point(store, i) = static_cast<float>(static_cast<double>(Point(store, i)) / d);
}

void MultiplyBy(ArbStore &store, float factor)
{
    const float m = EffectiveMultiplier(factor);
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i) {
        float t = m * Point(store, i);
        if (t > 1.0f)
            t = 1.0f;
        if (t < -1.0f)
            t = -1.0f;
        if (std::isnan(t)) // only from a point that was not a number already
            t = 0.0f;
        Point(store, i) = t;
    }
}

bool Normalise(ArbStore &store)
{
    const int last = store.LastIndex();
    float peak = 0.0f;
    for (int i = 0; i <= last; ++i) {
        const float m = std::fabs(Point(store, i));
        if (peak < m)
            peak = m;
    }
    if (peak == 0.0f || peak == 1.0f || !std::isfinite(peak))
        return false;
    const double divisor = peak;
    for (int i = 0; i <= last; ++i)
        Point(store, i) = static_cast<float>(static_cast<double>(Point(store, i)) / divisor);
    return true;
}

bool FrequencyMultiply(ArbStore &store, int k)
{
    if (k < 1)
        return false;
    const int last = store.LastIndex();
    const double quotient = std::floor(static_cast<double>(store.ArbLength) / k);
    // n k never exceeds the length, so every index below stays inside it;
    // the buffer bound guards a length that does not fit the buffer.
    const int n = std::isfinite(quotient) ? static_cast<int>(std::clamp(quotient, 0.0, 16385.0)) : 0;
    const auto inBuffer = [](long long index) { return index >= 0 && index < kArbBufferSize; };

    for (int i = 0; i < n; ++i) {
        const long long source = static_cast<long long>(i) * k;
        if (inBuffer(source))
            Point(store, i) = Point(store, static_cast<int>(source));
    }
    for (int i = std::max(n, 0); i <= last; ++i)
        Point(store, i) = 0.0f;
    for (int j = 1; j < k; ++j) {
        for (int i = 0; i < n; ++i) {
            const long long target = static_cast<long long>(j) * n + i;
            if (!inBuffer(target))
                break;
            Point(store, static_cast<int>(target)) = Point(store, i);
        }
    }
    return true;
}

} // namespace arb
