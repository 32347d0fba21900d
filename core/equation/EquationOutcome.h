#pragma once

#include "core/equation/EquationError.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace arb
{

class WaveEquation;

// What "任意公式" does with values beyond ±1.
enum class EquationOverflow {
    ScaleToPeak, // "按峰值缩放": the whole range divided by its largest magnitude
    Clip,        // "截断到 ±1"
};

// What the user chose in the dialog.
struct EquationChoices {
    QString text;
    int first = 0; // "起点"
    int last = 0;  // "终点"
    std::uint32_t seed = 1;
    EquationOverflow overflow = EquationOverflow::ScaleToPeak;
};

// What a formula gives over its range of the waveform.
struct EquationOutcome {
    EquationError error;       // a mistake in the text
    bool badRange = false;     // the range is empty or leaves the waveform
    int nonFinitePoint = -1;   // the first point whose value is not a finite number
    double min = 0, max = 0;   // the values as computed
    int beyond = 0;            // how many of them lie outside ±1
    std::vector<float> points; // the range's new values, after the overflow choice; empty unless usable

    bool usable() const { return !error.isError() && !badRange && nonFinitePoint < 0; }
    // The dialog's status line: the mistake, the refusal or the value range.
    QString status() const;
};

// The formula of choices evaluated over the waveform values[0..count-1] as
// it is before the command.
EquationOutcome ComputeEquation(WaveEquation &equation, const EquationChoices &choices, const float *values,
                                int count);

} // namespace arb
