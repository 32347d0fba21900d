#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <utility>
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

// A column kept as one-byte codes and the value of each of the 256 codes:
// an oscilloscope's record of up to millions of points, in a quarter of the
// room of floats and without a pass that writes every value out.
// An allocator that leaves new bytes as they come: a record's room is made
// at once and then read into.
template <typename T> struct ByteRoom : std::allocator<T> {
    template <typename U> struct rebind {
        using other = ByteRoom<U>;
    };
    ByteRoom() = default;
    template <typename U> ByteRoom(const ByteRoom<U> &) {}
    template <typename U> void construct(U *p) noexcept { ::new (static_cast<void *>(p)) U; }
    template <typename U, typename... Args> void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};

struct CodedColumn {
    std::vector<unsigned char, ByteRoom<unsigned char>> codes;
    std::array<float, 256> values{};

    float operator[](std::size_t i) const { return values[codes[i]]; }
    std::size_t size() const { return codes.size(); }
    bool empty() const { return codes.empty(); }
};

// A whole import source held in memory: every column in single precision,
// so the import dialog's choices are recomputed without reading again.
struct ImportTable {
    ImportForm form = ImportForm::Table;
    std::vector<HeaderField> fields;      // the header, in file order
    std::vector<std::string> columnNames; // the row of names; empty when there is none
    std::vector<std::vector<float>> columns;
    // Columns kept as codes, numbered on after those of columns.
    std::vector<CodedColumn> codedColumns;
    // Values are DAC codes of a 32767 full scale ("Data Type: short").
    bool shortCodes = false;
    // The editor's 2.0 form: the waveform's name, as "打开" takes it.
    std::string name;

    std::size_t rows() const
    {
        if (!columns.empty())
            return columns.front().size();
        return codedColumns.empty() ? 0 : codedColumns.front().size();
    }
    int columnCount() const { return static_cast<int>(columns.size() + codedColumns.size()); }
};

} // namespace arb
