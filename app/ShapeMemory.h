#pragma once

#include "core/shapes/ShapeLibrary.h"

#include <vector>

class QSettings;

namespace arb
{

// The choices of "更多波形" as they were last accepted: the shape, every
// shape's parameters, the amplitude and the offset.
struct ShapeChoices {
    ShapeKind chosen = ShapeKind::Sine;
    std::vector<std::vector<double>> values; // per shape, in the order of ShapeLibrary()
    double amplitude = 1.0;
    double offset = 0.0;

    ShapeSettings settings(ShapeKind kind) const;
};

// The choices kept in the group "shapes" of the settings. A value missing or
// no longer taken falls back to its default; a shape whose values are
// refused together (a trapezoid's times) falls back to all its defaults.
ShapeChoices RecallShapeChoices(QSettings &settings);

// Keeps an accepted shape: it becomes the last shape, its parameters, the
// amplitude and the offset replace those kept before.
void RememberShapeChoice(QSettings &settings, const ShapeSettings &accepted);

} // namespace arb
