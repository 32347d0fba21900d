#include "core/import/ImportShaping.h"

#include "core/ArbStore.h"
#include "core/Resample.h"

#include <algorithm>
#include <cmath>

namespace arb
{

namespace
{

constexpr double kShortFullScale = 32767.0;

} // namespace

double SourceValue(const ImportTable &table, float raw)
{
    return table.shortCodes ? raw / kShortFullScale : static_cast<double>(raw);
}

ColumnRange RangeOfColumn(const ImportTable &table, int column)
{
    if (column < 0 || column >= table.columnCount() || table.rows() == 0)
        return {};
    const std::vector<float> &c = table.columns[static_cast<std::size_t>(column)];
    const auto [lo, hi] = std::minmax_element(c.begin(), c.end());
    return {SourceValue(table, *lo), SourceValue(table, *hi)};
}

ImportScaling DefaultScaling(const ImportTable &table, int column)
{
    const ColumnRange r = RangeOfColumn(table, column);
    return r.min >= -1.0 && r.max <= 1.0 ? ImportScaling::Keep : ImportScaling::FullScale;
}

ImportChoices DefaultImportChoices(const ImportTable &table)
{
    ImportChoices c;
    c.column = std::max(0, table.columnCount() - 1);
    c.scaling = DefaultScaling(table, c.column);
    c.points = static_cast<int>(
        std::clamp<std::size_t>(table.rows(), static_cast<std::size_t>(kMinArbLength), kMaxArbLength));
    return c;
}

ImportedPoints ShapeImport(const ImportTable &table, const ImportChoices &choices)
{
    ImportedPoints out;
    out.range = RangeOfColumn(table, choices.column);
    if (choices.column < 0 || choices.column >= table.columnCount() || choices.points <= 0)
        return out;
    const std::vector<float> &c = table.columns[static_cast<std::size_t>(choices.column)];
    out.points.resize(static_cast<std::size_t>(choices.points));
    ResampleLinear(c.data(), c.size(), out.points.data(), out.points.size());

    // value = (source - offset) x factor, from the whole record's range.
    const ColumnRange &r = out.range;
    double offset = 0.0;
    double factor = table.shortCodes ? 1.0 / kShortFullScale : 1.0;
    if (choices.scaling == ImportScaling::PeakNormalise) {
        const double peak = std::max(std::fabs(r.min), std::fabs(r.max));
        if (peak > 0.0)
            factor /= peak;
    } else if (choices.scaling == ImportScaling::FullScale) {
        if (r.max > r.min) {
            // min..max onto -1..+1: (v - mid) / half.
            const double mid = (r.min + r.max) / 2.0;
            offset = table.shortCodes ? mid * kShortFullScale : mid;
            factor *= 2.0 / (r.max - r.min);
        } else {
            // A constant has no span: it becomes 0.
            factor = 0.0;
        }
    }
    const bool identity = offset == 0.0 && factor == 1.0;
    for (float &v : out.points) {
        double x = identity ? static_cast<double>(v) : (static_cast<double>(v) - offset) * factor;
        if (x > 1.0 || x < -1.0) {
            // Only kept values can lie beyond: the scaled ones do by rounding.
            if (choices.scaling == ImportScaling::Keep)
                ++out.clipped;
            x = std::clamp(x, -1.0, 1.0);
        }
        v = static_cast<float>(x);
    }
    return out;
}

} // namespace arb
