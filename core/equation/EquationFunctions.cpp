#include "core/equation/EquationFunctions.h"

#include <cmath>
#include <limits>

namespace arb
{

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The fractional part t - floor(t), in [0, 1) for finite t.
double Phase(double t)
{
    return t - std::floor(t);
}

// splitmix64's finaliser: every bit of the result depends on every bit of z.
std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t RandomBits(std::uint32_t seed, int point, int call, std::uint64_t stream)
{
    std::uint64_t h = Mix(static_cast<std::uint64_t>(seed) + 0x9E3779B97F4A7C15ULL * (stream + 1));
    h = Mix(h ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(point)) * 0xD1B54A32D192ED03ULL));
    return Mix(h ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(call)) * 0x8CB92BA72F3D8DD7ULL));
}

// [0, 1) in steps of 2^-53.
double Unit(std::uint64_t bits)
{
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

} // namespace

double EquationRound(double v)
{
    return std::round(v);
}

double EquationMod(double a, double b)
{
    return a - b * std::floor(a / b);
}

double EquationSign(double v)
{
    if (std::isnan(v))
        return v;
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

double EquationMin(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return kNaN;
    return b < a ? b : a;
}

double EquationMax(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return kNaN;
    return b > a ? b : a;
}

double EquationClip(double v, double lo, double hi)
{
    if (std::isnan(v) || std::isnan(lo) || std::isnan(hi))
        return kNaN;
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

double Sinc(double t)
{
    if (t == 0)
        return 1.0;
    const double a = kPi * t;
    return std::sin(a) / a;
}

double Gauss(double t)
{
    return std::exp(-t * t / 2);
}

double Rect(double t)
{
    if (std::isnan(t))
        return t;
    return std::fabs(t) <= 0.5 ? 1.0 : 0.0;
}

double Tri(double t)
{
    if (std::isnan(t))
        return t;
    const double v = 1 - std::fabs(t);
    return v > 0 ? v : 0.0;
}

double Step(double t)
{
    if (std::isnan(t))
        return t;
    return t >= 0 ? 1.0 : 0.0;
}

double Saw(double t)
{
    return 2 * Phase(t) - 1;
}

double Square(double t)
{
    const double p = Phase(t);
    if (std::isnan(p))
        return p;
    return p < 0.5 ? 1.0 : -1.0;
}

double Pwm(double t, double d)
{
    const double p = Phase(t);
    if (std::isnan(p) || std::isnan(d))
        return kNaN;
    return p < d ? 1.0 : -1.0;
}

int WrapPointIndex(double k, int count)
{
    if (!std::isfinite(k) || count <= 0)
        return -1;
    // The remainder first, so that no large k is ever turned into an int.
    double r = std::fmod(std::nearbyint(k), static_cast<double>(count));
    if (r < 0)
        r += count;
    return static_cast<int>(r);
}

double RandomUniform(std::uint32_t seed, int point, int call)
{
    return 2 * Unit(RandomBits(seed, point, call, 0)) - 1;
}

double RandomNormal(std::uint32_t seed, int point, int call)
{
    // u1 in (0, 1], so that its logarithm is finite.
    const double u1 = 1 - Unit(RandomBits(seed, point, call, 1));
    const double u2 = Unit(RandomBits(seed, point, call, 2));
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * kPi * u2);
}

} // namespace arb
