// Each shape of "更多波形" against its definition, computed here from the
// formula, at its edges: u = 0, the last point, the points where a branch
// changes; the noises' first values and repeatability; the PRBS period.
#include "core/shapes/PrbsRegister.h"
#include "core/shapes/ShapeLibrary.h"
#include "core/shapes/ShapeSynthesis.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace arb;

namespace
{

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Compute(ShapeKind kind, std::vector<double> values, int count)
{
    ShapeSettings s;
    s.kind = kind;
    s.values = std::move(values);
    std::vector<float> out(static_cast<std::size_t>(count), 7.0f);
    const ShapeOutcome outcome = ComputeShape(s, count, out.data());
    EXPECT_TRUE(outcome.computed);
    EXPECT_FALSE(outcome.divided);
    return out;
}

// Every point k against s(k / count), rounded to single precision.
void ExpectDefinition(ShapeKind kind, std::vector<double> values, int count,
                      const std::function<double(double)> &s)
{
    const std::vector<float> out = Compute(kind, std::move(values), count);
    for (int k = 0; k < count; ++k)
        ASSERT_FLOAT_EQ(out[static_cast<std::size_t>(k)],
                        static_cast<float>(s(static_cast<double>(k) / count)))
            << DescribeShape(kind).caption.toStdString() << " point " << k;
}

double Frac(double t)
{
    return t - std::floor(t);
}

} // namespace

TEST(ShapeDefinitions, PeriodicShapes)
{
    // Full-precision π: sin(π) is 1.2e-16 here, not the 2.5e-6 of the classic sine.
    EXPECT_EQ(Compute(ShapeKind::Sine, {1, 0}, 4),
              (std::vector<float>{0, 1, static_cast<float>(std::sin(kPi)), -1}));
    EXPECT_EQ(Compute(ShapeKind::Sine, {1, 90}, 4)[0], 1.0f);
    ExpectDefinition(ShapeKind::Sine, {3.5, -45}, 997,
                     [](double u) { return std::sin(2 * kPi * (3.5 * u - 45.0 / 360)); });

    // The duty splits at frac(c·u) < d: 5 points give three of +1 (u = 0.4 < 0.5).
    EXPECT_EQ(Compute(ShapeKind::Square, {1, 0.5}, 5), (std::vector<float>{1, 1, 1, -1, -1}));
    EXPECT_EQ(Compute(ShapeKind::Square, {2, 0.5}, 8), (std::vector<float>{1, 1, -1, -1, 1, 1, -1, -1}));
    EXPECT_EQ(Compute(ShapeKind::Square, {1, 0}, 4), std::vector<float>(4, -1.0f));
    EXPECT_EQ(Compute(ShapeKind::Square, {1, 1}, 4), std::vector<float>(4, 1.0f));
    ExpectDefinition(ShapeKind::Square, {7.3, 0.3}, 1000,
                     [](double u) { return Frac(7.3 * u) < 0.3 ? 1.0 : -1.0; });

    EXPECT_EQ(Compute(ShapeKind::Triangle, {1, 0.5}, 4), (std::vector<float>{-1, 0, 1, 0}));
    // s = 0: a falling ramp; s = 1: a rising one.
    EXPECT_EQ(Compute(ShapeKind::Triangle, {1, 0}, 4), (std::vector<float>{1, 0.5f, 0, -0.5f}));
    EXPECT_EQ(Compute(ShapeKind::Triangle, {1, 1}, 4), (std::vector<float>{-1, -0.5f, 0, 0.5f}));
    ExpectDefinition(ShapeKind::Triangle, {3, 0.2}, 1000, [](double u) {
        const double v = Frac(3 * u);
        return v < 0.2 ? -1 + 2 * v / 0.2 : 1 - 2 * (v - 0.2) / (1 - 0.2);
    });

    // 20 points: rise over u 0..0.1, high to 0.4, fall to 0.5, low after.
    const std::vector<float> trapezoid = Compute(ShapeKind::Trapezoid, {1, 0.1, 0.3, 0.1}, 20);
    EXPECT_EQ(trapezoid[0], -1.0f);
    EXPECT_FLOAT_EQ(trapezoid[1], static_cast<float>(-1 + 2 * 0.05 / 0.1));
    EXPECT_EQ(trapezoid[2], 1.0f);
    EXPECT_EQ(trapezoid[7], 1.0f);
    EXPECT_NEAR(trapezoid[9], static_cast<float>(1 - 2 * (0.45 - 0.1 - 0.3) / 0.1), 1e-6f);
    EXPECT_EQ(trapezoid[10], -1.0f);
    EXPECT_EQ(trapezoid[19], -1.0f);
    // No rise: high from u = 0.
    EXPECT_EQ(Compute(ShapeKind::Trapezoid, {1, 0, 0.5, 0}, 4), (std::vector<float>{1, 1, -1, -1}));
    ExpectDefinition(ShapeKind::Trapezoid, {2.5, 0.2, 0.25, 0.3}, 1000, [](double u) {
        const double v = Frac(2.5 * u);
        if (v < 0.2)
            return -1 + 2 * v / 0.2;
        if (v < 0.2 + 0.25)
            return 1.0;
        if (v < 0.2 + 0.25 + 0.3)
            return 1 - 2 * (v - 0.2 - 0.25) / 0.3;
        return -1.0;
    });

    EXPECT_EQ(Compute(ShapeKind::Haversine, {1}, 4), (std::vector<float>{0, 0.5f, 1, 0.5f}));
    ExpectDefinition(ShapeKind::Haversine, {4}, 999,
                     [](double u) { return (1 - std::cos(2 * kPi * 4 * u)) / 2; });
    const std::vector<float> full = Compute(ShapeKind::FullWaveSine, {1}, 4);
    EXPECT_EQ(full, (std::vector<float>{0, 1, static_cast<float>(std::sin(kPi)), 1}));
    const std::vector<float> half = Compute(ShapeKind::HalfWaveSine, {1}, 4);
    EXPECT_EQ(half, (std::vector<float>{0, 1, static_cast<float>(std::sin(kPi)), 0}));
    ExpectDefinition(ShapeKind::FullWaveSine, {3}, 1000,
                     [](double u) { return std::abs(std::sin(2 * kPi * 3 * u)); });
    ExpectDefinition(ShapeKind::HalfWaveSine, {3}, 1000,
                     [](double u) { return std::max(0.0, std::sin(2 * kPi * 3 * u)); });
}

TEST(ShapeDefinitions, PulsesAndExponentials)
{
    // sinc is 1 at its centre (u = 0.5, t = 0) and sinc(-k) at u = 0.
    const std::vector<float> sinc = Compute(ShapeKind::Sinc, {10}, 4);
    EXPECT_EQ(sinc[2], 1.0f);
    EXPECT_FLOAT_EQ(sinc[0], static_cast<float>(std::sin(-10 * kPi) / (-10 * kPi)));
    EXPECT_LT(std::abs(sinc[0]), 1e-15f);
    ExpectDefinition(ShapeKind::Sinc, {10}, 1000, [](double u) {
        const double t = 10 * (2 * u - 1);
        return t == 0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
    });

    const std::vector<float> gauss = Compute(ShapeKind::Gaussian, {0.1, 0.5}, 4);
    EXPECT_FLOAT_EQ(gauss[0], 3.7266532e-06f); // exp(-12.5)
    EXPECT_EQ(gauss[2], 1.0f);
    ExpectDefinition(ShapeKind::Gaussian, {0.05, 0.3}, 1000,
                     [](double u) { return std::exp(-std::pow((u - 0.3) / 0.05, 2) / 2); });

    const std::vector<float> lorentz = Compute(ShapeKind::Lorentzian, {0.05, 0.5}, 4);
    EXPECT_FLOAT_EQ(lorentz[0], 1.0f / 101.0f);
    EXPECT_EQ(lorentz[2], 1.0f);
    ExpectDefinition(ShapeKind::Lorentzian, {0.02, 0.75}, 1000,
                     [](double u) { return 1 / (1 + std::pow((u - 0.75) / 0.02, 2)); });

    // The rise starts at 0 and ends just below 1 (u = 1 is never reached).
    const std::vector<float> rise = Compute(ShapeKind::ExpRise, {0.2}, 1000);
    EXPECT_EQ(rise[0], 0.0f);
    EXPECT_FLOAT_EQ(rise[999], static_cast<float>((1 - std::exp(-0.999 / 0.2)) / (1 - std::exp(-1 / 0.2))));
    EXPECT_LT(rise[999], 1.0f);
    ExpectDefinition(ShapeKind::ExpRise, {3}, 1000,
                     [](double u) { return (1 - std::exp(-u / 3)) / (1 - std::exp(-1 / 3.0)); });

    const std::vector<float> decay = Compute(ShapeKind::ExpDecay, {0.2}, 4);
    EXPECT_EQ(decay[0], 1.0f);
    EXPECT_FLOAT_EQ(decay[2], static_cast<float>(std::exp(-2.5)));
    ExpectDefinition(ShapeKind::ExpDecay, {0.01}, 1000, [](double u) { return std::exp(-u / 0.01); });

    EXPECT_EQ(Compute(ShapeKind::DampedSine, {10, 0.3}, 8)[0], 0.0f);
    ExpectDefinition(ShapeKind::DampedSine, {10, 0.3}, 1000,
                     [](double u) { return std::exp(-u / 0.3) * std::sin(2 * kPi * 10 * u); });
}

TEST(ShapeDefinitions, ModulatedShapesStairsLevelAndWindows)
{
    EXPECT_EQ(Compute(ShapeKind::Chirp, {1, 20}, 8)[0], 0.0f);
    ExpectDefinition(ShapeKind::Chirp, {1, 20}, 1000,
                     [](double u) { return std::sin(2 * kPi * (1 * u + (20 - 1) * u * u / 2)); });
    ExpectDefinition(ShapeKind::Chirp, {30, 2}, 1000,
                     [](double u) { return std::sin(2 * kPi * (30 * u + (2 - 30) * u * u / 2)); });
    EXPECT_EQ(Compute(ShapeKind::AmplitudeModulation, {20, 1, 0.5}, 8)[0], 0.0f);
    ExpectDefinition(ShapeKind::AmplitudeModulation, {20, 1, 0.5}, 1000, [](double u) {
        return (1 + 0.5 * std::sin(2 * kPi * 1 * u)) * std::sin(2 * kPi * 20 * u) / (1 + 0.5);
    });
    EXPECT_EQ(Compute(ShapeKind::FrequencyModulation, {20, 1, 5}, 8)[0], 0.0f);
    ExpectDefinition(ShapeKind::FrequencyModulation, {20, 1, 5}, 1000,
                     [](double u) { return std::sin(2 * kPi * 20 * u + 5 * std::sin(2 * kPi * 1 * u)); });

    // 8 steps over 16 points: pairs from -1 to +1.
    const std::vector<float> stairs = Compute(ShapeKind::Staircase, {8}, 16);
    for (int k = 0; k < 16; ++k)
        EXPECT_FLOAT_EQ(stairs[static_cast<std::size_t>(k)], static_cast<float>(-1 + 2.0 * (k / 2) / 7)) << k;
    EXPECT_EQ(stairs[0], -1.0f);
    EXPECT_EQ(stairs[15], 1.0f);
    EXPECT_EQ(Compute(ShapeKind::Staircase, {2}, 4), (std::vector<float>{-1, -1, 1, 1}));
    ExpectDefinition(ShapeKind::Staircase, {1000}, 997,
                     [](double u) { return -1 + 2 * std::floor(1000 * u) / (1000 - 1); });

    EXPECT_EQ(Compute(ShapeKind::Dc, {0.5}, 4), std::vector<float>(4, 0.5f));
    EXPECT_EQ(Compute(ShapeKind::Dc, {-1}, 4), std::vector<float>(4, -1.0f));

    EXPECT_EQ(Compute(ShapeKind::Hann, {}, 4), (std::vector<float>{0, 0.5f, 1, 0.5f}));
    EXPECT_EQ(Compute(ShapeKind::Hamming, {}, 4), (std::vector<float>{0.08f, 0.54f, 1, 0.54f}));
    const std::vector<float> blackman = Compute(ShapeKind::Blackman, {}, 4);
    EXPECT_LT(std::abs(blackman[0]), 1e-16f); // 0.42 - 0.5 + 0.08 in double
    EXPECT_EQ(blackman[1], 0.34f);
    EXPECT_EQ(blackman[2], 1.0f);
    ExpectDefinition(ShapeKind::Hann, {}, 1001, [](double u) { return 0.5 - 0.5 * std::cos(2 * kPi * u); });
    ExpectDefinition(ShapeKind::Hamming, {}, 1001,
                     [](double u) { return 0.54 - 0.46 * std::cos(2 * kPi * u); });
    ExpectDefinition(ShapeKind::Blackman, {}, 1001, [](double u) {
        return 0.42 - 0.5 * std::cos(2 * kPi * u) + 0.08 * std::cos(4 * kPi * u);
    });
}

TEST(ShapeDefinitions, NoiseFirstValuesAndRepeatability)
{
    // The first outputs of std::mt19937(1): 1791095845, 4282876139,
    // 3093770124, 4005303368.
    const std::vector<float> uniform = Compute(ShapeKind::UniformNoise, {1}, 1000);
    EXPECT_FLOAT_EQ(uniform[0], static_cast<float>(2 * 1791095845.0 / 4294967296.0 - 1));
    EXPECT_FLOAT_EQ(uniform[1], static_cast<float>(2 * 4282876139.0 / 4294967296.0 - 1));
    EXPECT_FLOAT_EQ(uniform[2], static_cast<float>(2 * 3093770124.0 / 4294967296.0 - 1));
    EXPECT_EQ(Compute(ShapeKind::UniformNoise, {1}, 1000), uniform);
    EXPECT_NE(Compute(ShapeKind::UniformNoise, {2}, 1000), uniform);
    // A shorter run is the start of a longer one.
    const std::vector<float> shorter = Compute(ShapeKind::UniformNoise, {1}, 10);
    EXPECT_EQ(shorter, std::vector<float>(uniform.begin(), uniform.begin() + 10));

    std::mt19937 g(12345);
    for (float v : Compute(ShapeKind::UniformNoise, {12345}, 1000))
        ASSERT_FLOAT_EQ(v, static_cast<float>(2.0 * g() / 4294967296.0 - 1));

    const auto gaussian = [](double g1, double g2) {
        const double a = (g1 + 1) / 4294967296.0;
        const double b = g2 / 4294967296.0;
        return static_cast<float>(0.3 * std::sqrt(-2 * std::log(a)) * std::cos(2 * kPi * b));
    };
    const std::vector<float> normal = Compute(ShapeKind::GaussianNoise, {1, 0.3}, 100);
    EXPECT_FLOAT_EQ(normal[0], gaussian(1791095845.0, 4282876139.0));
    EXPECT_FLOAT_EQ(normal[1], gaussian(3093770124.0, 4005303368.0));
    EXPECT_EQ(Compute(ShapeKind::GaussianNoise, {1, 0.3}, 100), normal);
    std::mt19937 h(99);
    for (float v : Compute(ShapeKind::GaussianNoise, {99, 0.3}, 100)) {
        const double g1 = h();
        const double g2 = h();
        ASSERT_FLOAT_EQ(v, gaussian(g1, g2));
    }

    // Over 16384 points a deviation of 0.3 reaches beyond ±1: the whole
    // range is divided by its peak, which is one of the points.
    ShapeSettings s = DefaultShapeSettings(ShapeKind::GaussianNoise);
    std::vector<float> out(16384);
    const ShapeOutcome outcome = ComputeShape(s, 16384, out.data());
    ASSERT_TRUE(outcome.divided);
    float peak = 0;
    for (float v : out)
        peak = std::max(peak, std::abs(v));
    EXPECT_EQ(peak, 1.0f);
    EXPECT_GT(outcome.peak, 1.0);
}

namespace
{

// The register as the definition gives it: n bits all ones, t = bit n-1
// xor bit m-1, shifted in at the low end.
std::vector<int> ReferencePrbs(int n, int m, int bits)
{
    const std::uint64_t mask = (std::uint64_t{1} << n) - 1;
    std::uint64_t r = mask;
    std::vector<int> out;
    for (int i = 0; i < bits; ++i) {
        const std::uint64_t t = ((r >> (n - 1)) ^ (r >> (m - 1))) & 1;
        r = ((r << 1) | t) & mask;
        out.push_back(static_cast<int>(t));
    }
    return out;
}

} // namespace

TEST(ShapeDefinitions, PrbsBitsAndPeriod)
{
    const int orders[] = {7, 9, 15, 23, 31};
    const int taps[] = {6, 5, 14, 18, 28};
    for (int i = 0; i < 5; ++i) {
        const std::vector<int> bits = ReferencePrbs(orders[i], taps[i], 2000);
        const std::vector<float> out = Compute(ShapeKind::Prbs, {static_cast<double>(orders[i]), 1}, 2000);
        for (int k = 0; k < 2000; ++k)
            ASSERT_EQ(out[static_cast<std::size_t>(k)], bits[static_cast<std::size_t>(k)] ? 1.0f : -1.0f)
                << orders[i] << " bit " << k;
        // All ones at the start: the first bit is 1 xor 1.
        EXPECT_EQ(out[0], -1.0f);
    }

    // Each bit held for b points.
    const std::vector<float> held = Compute(ShapeKind::Prbs, {9, 3}, 3000);
    const std::vector<int> bits = ReferencePrbs(9, 5, 1000);
    for (int k = 0; k < 3000; ++k)
        ASSERT_EQ(held[static_cast<std::size_t>(k)], bits[static_cast<std::size_t>(k / 3)] ? 1.0f : -1.0f)
            << k;

    // The points repeat after 2^n - 1 and the register comes back to all
    // ones then, not before.
    const std::vector<float> p15 = Compute(ShapeKind::Prbs, {15, 1}, 2 * 32767 + 100);
    for (std::size_t k = 0; k + 32767 < p15.size(); ++k)
        ASSERT_EQ(p15[k], p15[k + 32767]) << k;
    for (int n : {7, 9, 15, 23}) {
        PrbsRegister r(n);
        const std::uint32_t ones = r.state();
        const std::uint64_t period = (std::uint64_t{1} << n) - 1;
        std::uint64_t steps = 0;
        int sum = 0;
        do {
            sum += r.nextBit();
            ++steps;
        } while (r.state() != ones && steps <= period);
        EXPECT_EQ(steps, period) << n;
        // A maximal-length sequence has one more 1 than 0s in a period.
        EXPECT_EQ(sum, static_cast<int>((period + 1) / 2)) << n;
    }
}
