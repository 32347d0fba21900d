#pragma once

#include <cstdint>

namespace arb
{

// The functions of the formula language that are not plain <cmath> calls.
// A NaN argument gives NaN, so that a bad value is never hidden behind a
// comparison that happens to be false.

// halves away from zero
double EquationRound(double v);
// a - b*floor(a/b): takes the sign of b
double EquationMod(double a, double b);
// -1, 0 or 1
double EquationSign(double v);
double EquationMin(double a, double b);
double EquationMax(double a, double b);
// lo below lo, hi above hi, v otherwise
double EquationClip(double v, double lo, double hi);

// sin(pi*t)/(pi*t), 1 at 0
double Sinc(double t);
// exp(-t^2/2)
double Gauss(double t);
// 1 where |t| <= 0.5, else 0
double Rect(double t);
// max(0, 1-|t|)
double Tri(double t);
// 1 where t >= 0, else 0
double Step(double t);
// 2*(t - floor(t)) - 1
double Saw(double t);
// 1 where t - floor(t) < 0.5, else -1
double Square(double t);
// 1 where t - floor(t) < d, else -1
double Pwm(double t, double d);

// The point index that w(k) reads: k rounded to the nearest integer (halves
// to even) and taken modulo count into 0..count-1; -1 when k is not finite.
int WrapPointIndex(double k, int count);

// The random numbers of rand() and randn(). Each is a pure function of the
// seed, the point and which random call of that point's evaluation it is
// (0 for the first rand() or randn() met, 1 for the next...), so the values
// do not depend on the order in which points are evaluated.
// Uniform in [-1, 1).
double RandomUniform(std::uint32_t seed, int point, int call);
// Standard normal (Box-Muller).
double RandomNormal(std::uint32_t seed, int point, int call);

} // namespace arb
