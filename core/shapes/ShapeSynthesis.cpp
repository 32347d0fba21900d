#include "core/shapes/ShapeSynthesis.h"

#include "core/ArbStore.h"
#include "core/shapes/PrbsRegister.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace arb
{

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kTwoTo32 = 4294967296.0;

// Working memory of a computation, kept between computations so that each
// does not take and give back its pages.
struct Scratch {
    std::vector<double> values;
    std::vector<std::uint32_t> turns;
    std::vector<std::uint32_t> order;
};

Scratch &WorkingMemory()
{
    thread_local Scratch scratch;
    return scratch;
}

// std::mt19937 on 32-bit words: the same parameters and so the same outputs,
// at less than half the cost of the standard alias, whose words are 64 bits
// wide here.
using Mt19937 = std::mersenne_twister_engine<std::uint32_t, 32, 624, 397, 31, 0x9908b0dfu, 11, 0xffffffffu, 7,
                                             0x9d2c5680u, 15, 0xefc60000u, 18, 1812433253u>;

double Frac(double t)
{
    return t - std::floor(t);
}

// The points of a computation: amplitude·s + offset kept in double for the
// scaling rule, stored in single precision, and the running peak, all in the
// pass that computes s.
struct Points {
    std::vector<double> &values;
    float *out;
    double amplitude;
    double offset;
    double peak = 0.0;

    std::size_t size() const { return values.size(); }
    void put(std::size_t k, double s)
    {
        const double x = amplitude * s + offset;
        values[k] = x;
        out[k] = static_cast<float>(x);
        peak = std::max(peak, std::abs(x));
    }
};

// Point k gets s(u) with u = k / count, k ascending.
template <typename S> void Evaluate(Points &points, S s)
{
    const double m = static_cast<double>(points.size());
    const std::size_t count = points.size();
    for (std::size_t k = 0; k < count; ++k)
        points.put(k, s(static_cast<double>(k) / m));
}

// sigma·sqrt(-2·ln(a))·cos(2πb) per point, a and b from two consecutive
// outputs. The cosines are taken in the order of b's top four bits rather
// than point by point: the same values, but the library's cosine then takes
// the same path for most arguments in a row instead of guessing at random,
// which made it the costliest part of the shape.
void EvaluateGaussianNoise(std::uint32_t seed, double sigma, Points &points)
{
    std::vector<double> &v = points.values;
    Mt19937 g(seed);
    std::vector<std::uint32_t> &b = WorkingMemory().turns;
    std::vector<std::uint32_t> &order = WorkingMemory().order;
    b.resize(v.size());
    order.resize(v.size());
    std::array<std::size_t, 17> start{};
    // The generator first, then the logarithms in a loop of their own, which
    // keeps the processor's pipeline full; order holds the first outputs
    // until it is filled.
    for (std::size_t k = 0; k < v.size(); ++k) {
        order[k] = g();
        b[k] = g();
        ++start[(b[k] >> 28) + 1];
    }
    for (std::size_t k = 0; k < v.size(); ++k) {
        const double a = (static_cast<double>(order[k]) + 1.0) / kTwoTo32;
        v[k] = sigma * std::sqrt(-2.0 * std::log(a));
    }
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    for (std::size_t k = 0; k < v.size(); ++k)
        order[start[b[k] >> 28]++] = static_cast<std::uint32_t>(k);
    for (const std::uint32_t k : order)
        points.put(k, v[k] * std::cos(kTwoPi * (static_cast<double>(b[k]) / kTwoTo32)));
}

void EvaluateShape(const ShapeSettings &settings, Points &pts)
{
    const std::vector<double> &p = settings.values;
    switch (settings.kind) {
    case ShapeKind::Sine: {
        const double c = p[0];
        const double phase = p[1] / 360.0;
        Evaluate(pts, [=](double u) { return std::sin(kTwoPi * (c * u + phase)); });
        break;
    }
    case ShapeKind::Square: {
        const double c = p[0], d = p[1];
        Evaluate(pts, [=](double u) { return Frac(c * u) < d ? 1.0 : -1.0; });
        break;
    }
    case ShapeKind::Triangle: {
        const double c = p[0], s = p[1];
        Evaluate(pts, [=](double u) {
            const double f = Frac(c * u);
            return f < s ? -1.0 + 2.0 * f / s : 1.0 - 2.0 * (f - s) / (1.0 - s);
        });
        break;
    }
    case ShapeKind::Trapezoid: {
        const double c = p[0], r = p[1], h = p[2], f = p[3];
        Evaluate(pts, [=](double u) {
            const double x = Frac(c * u);
            if (x < r)
                return -1.0 + 2.0 * x / r;
            if (x < r + h)
                return 1.0;
            if (x < r + h + f)
                return 1.0 - 2.0 * (x - r - h) / f;
            return -1.0;
        });
        break;
    }
    case ShapeKind::Sinc: {
        const double k = p[0];
        Evaluate(pts, [=](double u) {
            const double t = k * (2.0 * u - 1.0);
            return t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
        });
        break;
    }
    case ShapeKind::Gaussian: {
        const double sigma = p[0], m = p[1];
        Evaluate(pts, [=](double u) {
            const double q = (u - m) / sigma;
            return std::exp(-(q * q) / 2.0);
        });
        break;
    }
    case ShapeKind::Lorentzian: {
        const double gamma = p[0], m = p[1];
        Evaluate(pts, [=](double u) {
            const double q = (u - m) / gamma;
            return 1.0 / (1.0 + q * q);
        });
        break;
    }
    case ShapeKind::ExpRise: {
        const double tau = p[0];
        const double whole = 1.0 - std::exp(-1.0 / tau);
        Evaluate(pts, [=](double u) { return (1.0 - std::exp(-u / tau)) / whole; });
        break;
    }
    case ShapeKind::ExpDecay: {
        const double tau = p[0];
        Evaluate(pts, [=](double u) { return std::exp(-u / tau); });
        break;
    }
    case ShapeKind::DampedSine: {
        const double c = p[0], tau = p[1];
        Evaluate(pts, [=](double u) { return std::exp(-u / tau) * std::sin(kTwoPi * c * u); });
        break;
    }
    case ShapeKind::Haversine: {
        const double c = p[0];
        Evaluate(pts, [=](double u) { return (1.0 - std::cos(kTwoPi * c * u)) / 2.0; });
        break;
    }
    case ShapeKind::FullWaveSine: {
        const double c = p[0];
        Evaluate(pts, [=](double u) { return std::abs(std::sin(kTwoPi * c * u)); });
        break;
    }
    case ShapeKind::HalfWaveSine: {
        const double c = p[0];
        Evaluate(pts, [=](double u) { return std::max(0.0, std::sin(kTwoPi * c * u)); });
        break;
    }
    case ShapeKind::Chirp: {
        const double f0 = p[0], f1 = p[1];
        Evaluate(pts, [=](double u) { return std::sin(kTwoPi * (f0 * u + (f1 - f0) * u * u / 2.0)); });
        break;
    }
    case ShapeKind::AmplitudeModulation: {
        const double fc = p[0], fm = p[1], m = p[2];
        Evaluate(pts, [=](double u) {
            return (1.0 + m * std::sin(kTwoPi * fm * u)) * std::sin(kTwoPi * fc * u) / (1.0 + m);
        });
        break;
    }
    case ShapeKind::FrequencyModulation: {
        const double fc = p[0], fm = p[1], beta = p[2];
        Evaluate(pts, [=](double u) { return std::sin(kTwoPi * fc * u + beta * std::sin(kTwoPi * fm * u)); });
        break;
    }
    case ShapeKind::Staircase: {
        const double k = p[0];
        Evaluate(pts, [=](double u) { return -1.0 + 2.0 * std::floor(k * u) / (k - 1.0); });
        break;
    }
    case ShapeKind::Dc: {
        const double a = p[0];
        Evaluate(pts, [=](double) { return a; });
        break;
    }
    case ShapeKind::Hann: Evaluate(pts, [](double u) { return 0.5 - 0.5 * std::cos(kTwoPi * u); }); break;
    case ShapeKind::Hamming:
        Evaluate(pts, [](double u) { return 0.54 - 0.46 * std::cos(kTwoPi * u); });
        break;
    case ShapeKind::Blackman:
        Evaluate(pts, [](double u) {
            return 0.42 - 0.5 * std::cos(kTwoPi * u) + 0.08 * std::cos(2.0 * kTwoPi * u);
        });
        break;
    case ShapeKind::UniformNoise: {
        Mt19937 g(static_cast<std::uint32_t>(p[0]));
        Evaluate(pts, [&g](double) { return 2.0 * static_cast<double>(g()) / kTwoTo32 - 1.0; });
        break;
    }
    case ShapeKind::GaussianNoise: EvaluateGaussianNoise(static_cast<std::uint32_t>(p[0]), p[1], pts); break;
    case ShapeKind::Prbs: {
        PrbsRegister r(static_cast<int>(p[0]));
        const auto hold = static_cast<std::size_t>(p[1]);
        double bit = 0.0;
        for (std::size_t k = 0; k < pts.size(); ++k) {
            if (k % hold == 0)
                bit = r.nextBit() ? 1.0 : -1.0;
            pts.put(k, bit);
        }
        break;
    }
    }
}

} // namespace

ShapeOutcome ComputeShape(const ShapeSettings &settings, int count, float *out)
{
    ShapeOutcome outcome;
    if (count < 1 || CheckShapeSettings(settings))
        return outcome;
    std::vector<double> &v = WorkingMemory().values;
    v.resize(static_cast<std::size_t>(count));
    Points points{v, out, settings.amplitude, settings.offset};
    EvaluateShape(settings, points);
    outcome.computed = true;
    outcome.divided = points.peak > 1.0;
    if (outcome.divided) {
        outcome.peak = points.peak;
        for (std::size_t k = 0; k < v.size(); ++k)
            out[k] = static_cast<float>(v[k] / points.peak);
    }
    return outcome;
}

ShapeOutcome WriteShape(ArbStore &store, const ShapeRequest &request)
{
    // The points in use are 0..round(ArbLength - 1), as for every command.
    if (CheckShapeRange(request.start, request.end, store.LastIndex() + 1))
        return {};
    return ComputeShape(request.settings, request.end - request.start + 1,
                        store.ArbData.data() + request.start);
}

} // namespace arb
