#pragma once

#include <QString>
#include <vector>

namespace arb
{

struct ArbStore;

// The quantities of a formula "A1 sin K1 x + A2 sin K2 x". A slot left
// empty keeps its default.
struct HarmonicTerms {
    double A1 = 1.0;
    double K1 = 1.0;
    float A2 = 1.0f;
    int K2 = 1; // 16-bit range

    // A1 + A2 in single precision: the divisor of the sum.
    float S() const;
    // K2 / K1 rounded half to even; 1 when K1 is 0 or the quotient does not
    // fit 16 bits.
    int R() const;
};

// The outcome of reading a formula: the terms, or the message to show
// ("公式错误！", error icon) with its title.
struct HarmonicParse {
    bool ok = false;
    HarmonicTerms terms;
    QString errorTitle;
};

// "公式错误！"
QString FormulaErrorMessage();
// Title of the input box and of the message for an empty reply: "正弦波公式相加".
QString FormulaBoxTitle();
// Title of the message for a formula that cannot be used: "输入公式".
QString FormulaSyntaxTitle();

// Reads the reply of the formula box. An empty reply fails with the box's
// title; a syntax error fails with "输入公式". A formula whose amplitudes
// sum to 0, or whose amplitudes are too large to be numbers, is refused in
// the same way as a syntax error, since its sum cannot be divided by.
HarmonicParse ParseHarmonicFormula(const QString &reply);

// The leading number of a slot: blanks ignored, an optional sign, digits with
// at most one decimal point; 0 when there is none. Digits too many for a
// double give an infinity of the number's sign.
double LeadingNumber(const QString &slot);

// The waveform of a formula: the trimmed length N' = floor(N / R) * R
// (single precision; N when R is 0) and the points 0..N'-1 (those that fit
// the buffer). finite is false when some point could not be represented.
struct HarmonicWave {
    float length = 0.0f;
    std::vector<float> points;
    bool finite = true;
};
HarmonicWave EvaluateHarmonic(const HarmonicTerms &terms, float length);

// Applies a formula to the store: points 0..N-1 cleared, the length set to
// N', points 0..N'-1 written. Returns false, changing nothing, when the
// waveform could not be represented (a value beyond single precision).
bool ApplyHarmonic(ArbStore &store, const HarmonicTerms &terms);

} // namespace arb
