#include "core/StandardWaves.h"

#include "core/ArbStore.h"

#include <cmath>
#include <cstddef>

namespace arb
{

namespace
{

float &Point(ArbStore &store, int i)
{
    return store.ArbData[static_cast<std::size_t>(i)];
}

// Fills points 0..L with f(x), x = (2 i) * 3.14159 / N in double precision.
template <typename F> bool FillCircular(ArbStore &store, F f)
{
    const double n = static_cast<double>(store.ArbLength);
    if (!std::isfinite(n) || n == 0.0)
        return false;
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i) {
        const double x = (2.0 * i) * static_cast<double>(kCirclePi) / n;
        Point(store, i) = static_cast<float>(f(x));
    }
    return true;
}

// 1 - 2 i / (N - 1) rising (sign 1) or falling (sign -1), N - 1 unrounded.
bool FillRamp(ArbStore &store, double sign)
{
    const double span = static_cast<double>(store.ArbLength) - 1.0;
    if (!std::isfinite(span) || span == 0.0)
        return false;
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i)
        Point(store, i) = static_cast<float>(sign * ((2.0 * i) / span - 1.0));
    return true;
}

} // namespace

bool FillSine(ArbStore &store)
{
    return FillCircular(store, [](double x) { return std::sin(x); });
}

bool FillCosine(ArbStore &store)
{
    return FillCircular(store, [](double x) { return std::cos(x); });
}

bool FillSquare(ArbStore &store)
{
    // The positive half is M \ 2 points; for an odd length the negative half
    // is one point longer.
    const int half = RoundHalfEven(static_cast<double>(store.ArbLength)) / 2;
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i)
        Point(store, i) = i < half ? 1.0f : -1.0f;
    return true;
}

bool FillTriangle(ArbStore &store)
{
    const int last = store.LastIndex();
    const int d = last / 2;
    if (d < 1)
        return false;
    // The falling part is offset by M \ 2, not by D: for an even length the
    // two middle points are both +1.
    const int offset = RoundHalfEven(static_cast<double>(store.ArbLength)) / 2;
    const double divisor = d;
    for (int i = 0; i <= last; ++i) {
        const double v = i <= d ? (2.0 * i) / divisor - 1.0 : 1.0 - (2.0 * (i - offset)) / divisor;
        Point(store, i) = static_cast<float>(v);
    }
    return true;
}

bool FillUpRamp(ArbStore &store)
{
    return FillRamp(store, 1.0);
}

bool FillDownRamp(ArbStore &store)
{
    return FillRamp(store, -1.0);
}

} // namespace arb
