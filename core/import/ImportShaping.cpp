#include "core/import/ImportShaping.h"

#include "core/ArbStore.h"
#include "core/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

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

namespace
{

// The smallest and largest values of a coded column: those of the codes
// that occur.
std::pair<float, float> MinMax(const CodedColumn &c)
{
    std::array<bool, 256> seen{};
    for (const unsigned char code : c.codes)
        seen[code] = true;
    float lo = std::numeric_limits<float>::infinity();
    float hi = -lo;
    for (std::size_t code = 0; code < seen.size(); ++code) {
        if (seen[code]) {
            lo = std::min(lo, c.values[code]);
            hi = std::max(hi, c.values[code]);
        }
    }
    return {lo, hi};
}

// Calls use with the column, whichever way it is kept.
template <typename Use> auto WithColumn(const ImportTable &table, int column, Use use)
{
    const auto k = static_cast<std::size_t>(column);
    if (k < table.columns.size())
        return use(table.columns[k]);
    return use(table.codedColumns[k - table.columns.size()]);
}

} // namespace

ColumnRange RangeOfColumn(const ImportTable &table, int column)
{
    if (column < 0 || column >= table.columnCount() || table.rows() == 0)
        return {};
    return WithColumn(table, column, [&table](const auto &c) {
        if constexpr (std::is_same_v<std::decay_t<decltype(c)>, CodedColumn>) {
            const auto [lo, hi] = MinMax(c);
            return ColumnRange{SourceValue(table, lo), SourceValue(table, hi)};
        } else {
            const auto [lo, hi] = std::minmax_element(c.begin(), c.end());
            return ColumnRange{SourceValue(table, *lo), SourceValue(table, *hi)};
        }
    });
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
    out.points.resize(static_cast<std::size_t>(choices.points));
    WithColumn(table, choices.column, [&out](const auto &c) {
        ResampleLinearFrom(c, c.size(), out.points.data(), out.points.size());
    });

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
