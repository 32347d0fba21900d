#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace arb
{

// The shapes of "更多波形", in the order of their list.
enum class ShapeKind {
    Sine,
    Square,
    Triangle,
    Trapezoid,
    Sinc,
    Gaussian,
    Lorentzian,
    ExpRise,
    ExpDecay,
    DampedSine,
    Haversine,
    FullWaveSine,
    HalfWaveSine,
    Chirp,
    AmplitudeModulation,
    FrequencyModulation,
    Staircase,
    Dc,
    Hann,
    Hamming,
    Blackman,
    UniformNoise,
    GaussianNoise,
    Prbs,
};

// One value the user sets: its caption, default and the values it takes.
struct ShapeParameter {
    QString caption; // the field's caption and accessible name, "周期数"
    QString symbol;  // its letter in the formula, "c"; empty when the caption holds it
    QString key;     // its name among the remembered settings
    double defaultValue = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    bool aboveMinimum = false; // the minimum itself is refused
    bool integer = false;
    std::vector<double> choices; // when not empty, the only values taken

    bool accepts(double value) const;
    // The message of a refused value, naming the field and its range:
    // "“占空比”应在 0 到 1 之间".
    QString rangeMessage() const;
};

// A shape of the list: caption, formula s(u) and parameters.
struct ShapeDescription {
    ShapeKind kind;
    QString caption; // "高斯脉冲"
    QString key;     // its name among the remembered settings
    QString formula; // "exp(-((u-m)/σ)²/2)"
    std::vector<ShapeParameter> parameters;
};

// Every shape, in the order of ShapeKind.
const std::vector<ShapeDescription> &ShapeLibrary();
const ShapeDescription &DescribeShape(ShapeKind kind);
std::optional<ShapeKind> ShapeByKey(const QString &key);

// The fields every shape shares.
const ShapeParameter &AmplitudeParameter(); // "幅度", default 1
const ShapeParameter &OffsetParameter();    // "偏移", default 0
// "起点": 0..N-1; "终点": start..N-1.
ShapeParameter StartParameter(int pointCount);
ShapeParameter EndParameter(int start, int pointCount);

// A field's text as a value the parameter takes: a decimal number (an
// exponent allowed, the period the decimal point) within its range.
std::optional<double> ReadShapeValue(const ShapeParameter &parameter, const QString &text);

// What a shape is computed with.
struct ShapeSettings {
    ShapeKind kind = ShapeKind::Sine;
    std::vector<double> values; // in the order of the shape's parameters
    double amplitude = 1.0;
    double offset = 0.0;
};
ShapeSettings DefaultShapeSettings(ShapeKind kind);

// Which field a refusal is about: a parameter's index, or one of these.
enum ShapeField : int { kShapeStartField = -4, kShapeEndField = -3, kAmplitudeField = -2, kOffsetField = -1 };

struct ShapeRefusal {
    int field = 0;
    QString message;
};

// The first value of the settings that is refused, with its message; none
// when the shape can be computed. Beyond each value's own range, a
// trapezoid's rise, high and fall times together may not exceed 1.
std::optional<ShapeRefusal> CheckShapeSettings(const ShapeSettings &settings);
// The range start..end of a waveform of pointCount points.
std::optional<ShapeRefusal> CheckShapeRange(int start, int end, int pointCount);

} // namespace arb
