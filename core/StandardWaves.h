#pragma once

namespace arb
{

struct ArbStore;

// The circle constant of all sine synthesis: the single-precision 3.14159,
// not full-precision pi (3.1415901184082031 when widened to double).
constexpr float kCirclePi = 3.14159f;

// One period of a standard shape over the first ArbLength points. Each fills
// points 0..round(ArbLength - 1) and leaves the points after them alone; the
// extremes are not updated. A length that leaves the shape's divisor at zero
// (never within 4..16384) writes nothing and returns false.
bool FillSine(ArbStore &store);
bool FillCosine(ArbStore &store);
bool FillSquare(ArbStore &store);
bool FillTriangle(ArbStore &store);
bool FillUpRamp(ArbStore &store);
bool FillDownRamp(ArbStore &store);

} // namespace arb
