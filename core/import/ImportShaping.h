#pragma once

#include "core/import/ImportTable.h"

#include <cstddef>
#include <vector>

namespace arb
{

// How the source's values are brought onto the plot's -1..+1.
enum class ImportScaling {
    Keep,          // "保持原值": as they are; beyond ±1 clipped
    PeakNormalise, // "峰值归一化": divided by the largest magnitude
    FullScale,     // "满量程": min..max mapped onto -1..+1
};

struct ImportChoices {
    int column = 0;
    ImportScaling scaling = ImportScaling::Keep;
    int points = 0;
    // Which reading of a source whose decimal mark is in doubt.
    DecimalMark decimalMark = DecimalMark::Point;
};

// A column's values as the waveform takes them: codes of a "short" source
// divided by 32767, others as written.
double SourceValue(const ImportTable &table, float raw);

struct ColumnRange {
    double min = 0.0;
    double max = 0.0;
};
// The smallest and largest value of a column, as SourceValue gives them.
ColumnRange RangeOfColumn(const ImportTable &table, int column);

// The scaling a column starts with: "保持原值" when every value of it lies
// within ±1, else "满量程".
ImportScaling DefaultScaling(const ImportTable &table, int column);

// The dialog's first choices: the last column (a "time,value" table's
// values) with its DefaultScaling; the source's row count held to 4..16384.
ImportChoices DefaultImportChoices(const ImportTable &table);

// The points the choices give: the column resampled to choices.points
// (linear interpolation, when that differs from the rows), scaled, and held
// to ±1; clipped counts the points that had to be held; range is the
// column's RangeOfColumn, which the scaling comes from.
struct ImportedPoints {
    std::vector<float> points;
    std::size_t clipped = 0;
    ColumnRange range;
};
ImportedPoints ShapeImport(const ImportTable &table, const ImportChoices &choices);

} // namespace arb
