#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace arb
{

// What kind of file an import came from.
enum class ImportForm {
    Plain,      // the editor's plain form: the count, then exactly that many values
    Maker20,    // the editor's 2.0 form ("File Format:2.0", "Arb Name:")
    Agilent10,  // the editor's 1.0 form (codes of 32768 per unit)
    HeaderForm, // "Key:Value" header lines, then the values
    Table,      // a table of values: one or more columns, maybe a row of names
};

// What separates the whole from the fraction in the values.
enum class DecimalMark { Point, Comma };

// One "Key:Value" line of a header, blanks around both removed and the
// value's quotes and trailing comment taken off.
struct HeaderField {
    std::string key;
    std::string value;
};

// A whole import source held in memory: every column in single precision,
// so the import dialog's choices are recomputed without reading again.
struct ImportTable {
    ImportForm form = ImportForm::Table;
    std::vector<HeaderField> fields;      // the header, in file order
    std::vector<std::string> columnNames; // the row of names; empty when there is none
    std::vector<std::vector<float>> columns;
    // Values are DAC codes of a 32767 full scale ("Data Type: short").
    bool shortCodes = false;
    // The editor's 2.0 form: the waveform's name, as "打开" takes it.
    std::string name;

    std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
    int columnCount() const { return static_cast<int>(columns.size()); }
};

} // namespace arb
