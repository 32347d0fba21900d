#pragma once

#include "core/import/ImportReader.h"

namespace arb
{

class ImportSource;

// A table or header form read from a source.
struct TableReading {
    ImportReadResult result;
    // Every value line, to the end of the source, was a bare integer or two
    // digit runs joined by one comma, one at least with a comma: the comma
    // may be a decimal mark or a column separator.
    bool decimalMarkInDoubt = false;
    // ... and the part before the comma (a bare integer itself) lay within
    // -1..1 on every line: the values of a waveform, not an index.
    bool integerPartsWithinOne = false;
};

// Reads the rows and columns of a table or header form from the source's
// start: header lines, a row of names and comments, then the values. The
// comma is a column separator or, with commaIsDecimal, a decimal mark. Where
// the comma is in doubt, the reading goes on to the end past a fault of its
// own, which stays its answer.
TableReading ReadImportTable(ImportSource &source, const ImportReadOptions &options, bool commaIsDecimal);

} // namespace arb
