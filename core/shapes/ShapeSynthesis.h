#pragma once

#include "core/shapes/ShapeLibrary.h"

namespace arb
{

struct ArbStore;

// What a computation did: nothing when the settings were refused; divided
// when some result lay outside ±1, peak then being the largest absolute
// value every result was divided by.
struct ShapeOutcome {
    bool computed = false;
    bool divided = false;
    double peak = 0.0;
};

// count points of a shape into out[0..count-1]: for point k, u = k / count
// and the result amplitude·s(u) + offset, in double precision. When any
// result lies outside ±1 every one is divided by their largest absolute
// value. Stored rounded to single precision. Refused settings
// (CheckShapeSettings) or a count below 1 write nothing.
ShapeOutcome ComputeShape(const ShapeSettings &settings, int count, float *out);

// A shape over points start..end of the waveform.
struct ShapeRequest {
    ShapeSettings settings;
    int start = 0;
    int end = 0;
};

// Writes the shape over points start..end of the store, u = (i - start)/M
// with M = end - start + 1; the other points and the length stay as they
// are. A range outside the waveform or refused settings write nothing.
ShapeOutcome WriteShape(ArbStore &store, const ShapeRequest &request);

} // namespace arb
