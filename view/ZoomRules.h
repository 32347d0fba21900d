#pragma once

#include <QString>
#include <optional>

namespace arb
{

struct ViewWindow {
    int ViewStart = 0;
    int ViewCount = 0;
    int ViewEnd() const { return ViewStart + ViewCount - 1; }
};

// The zoom factor in the text of the zoom field: a number of at least 1.
// Anything else (empty, not a number, below 1) gives no value: the commands
// then use the field's Enter rule, which makes it "2".
std::optional<double> ZoomFactorFromText(const QString &text);

// The Enter rule of the zoom field: empty or below 1 becomes "2", a number is
// written back in general number format ("2.50" -> "2.5").
QString NormalizeZoomText(const QString &text);

// Zooming about the middle of the whole waveform. No value means the command
// does nothing (factor 1, or already at the limit).
std::optional<ViewWindow> ZoomIn(const ViewWindow &view, float arbLength, double factor);
std::optional<ViewWindow> ZoomOut(const ViewWindow &view, float arbLength, double factor);

// Minimum number of points a zoomed view shows.
constexpr int kMinViewCount = 11;

} // namespace arb
