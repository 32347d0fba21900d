#pragma once

#include "core/equation/EquationError.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace arb
{

// What a formula is evaluated over: the waveform as it was before the
// command, the range of points it gives values to and the random seed.
struct EquationPoints {
    const float *values = nullptr; // points 0..count-1
    int count = 0;                 // N
    int first = 0;                 // the range, 0 <= first <= last < count
    int last = 0;
    std::uint32_t seed = 1;
};

// A formula of the language of "任意公式": read once, then evaluated in double
// precision for each point i of a range, with x = i/N, n = i, N, u = the
// position within the range, y = the point's value, w(k) = the value of point
// k modulo N, and the constants pi and e.
//
// The parser is muparser's, with its own functions replaced by the
// language's. Points are evaluated one after another with the parser's
// single-value evaluation: rand() and randn() need no order (each value is a
// function of the seed, the point and the call), but muparser's bulk
// evaluation cannot take a function without arguments, and its OpenMP threads
// cost more than they bring at 16384 points on a busy two-core machine.
class WaveEquation
{
  public:
    WaveEquation();
    ~WaveEquation();
    WaveEquation(const WaveEquation &) = delete;
    WaveEquation &operator=(const WaveEquation &) = delete;

    // Reads a formula: the first mistake in it, or no error when it can be
    // evaluated.
    EquationError setText(const QString &text);

    // The value of each point first..last into out[0..last-first]. Only
    // after setText found no mistake; the values may be infinite or NaN.
    void evaluate(const EquationPoints &points, double *out);

    // The functions of the language and how many arguments each takes.
    static int FunctionArgumentCount(const QString &name); // -1: no such function

  private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace arb
