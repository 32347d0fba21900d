#pragma once

#include "core/ArbStore.h"
#include "core/import/ImportTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

namespace arb
{

// The most values a source may hold (all columns together), and the longest
// line it may have.
constexpr std::int64_t kImportMaxValues = 64'000'000;
constexpr std::size_t kImportMaxLineBytes = 1 << 20;
// Fewest rows of values: the fewest points a waveform has.
constexpr std::int64_t kImportMinValues = kMinArbLength;

enum class ImportError {
    None,
    Cancelled,       // the progress callback asked to stop
    ReadFailed,      // the device reported an error
    Empty,           // nothing but blanks
    Binary,          // NUL bytes: not a text file
    LineTooLong,     // a line beyond maxLineBytes
    NoNumbers,       // text, but no line of values
    NotANumber,      // a line of the values that is not a number
    NotFinite,       // "inf", "nan"
    BeyondSingle,    // a finite number too large for single precision
    ColumnCount,     // a line with another number of columns than the first
    TooManyColumns,  // more columns than kImportMaxColumns
    TooManyValues,   // more than maxValues values
    TooFewValues,    // fewer than 4 rows of values
    FewerThanHeader, // fewer rows than the header's "Data Points"
};

constexpr int kImportMaxColumns = 256;

struct ImportReadOptions {
    std::int64_t maxValues = kImportMaxValues;
    std::size_t maxLineBytes = kImportMaxLineBytes;
    std::size_t blockBytes = std::size_t{4} << 20;
    // Called after every block with the bytes read so far and the device's
    // size; returning false stops the reading (Cancelled).
    std::function<bool(std::int64_t done, std::int64_t total)> progress;
};

struct ImportReadResult {
    ImportError error = ImportError::None;
    std::int64_t line = 0;     // the line at fault, counted from 1; 0 for the file as a whole
    std::int64_t expected = 0; // ColumnCount: the columns wanted; FewerThanHeader: the header's count
    std::int64_t found = 0;    // TooFewValues, FewerThanHeader: the rows read
    ImportTable table;
    // Where the mark is in doubt (below): the decimal mark of this reading.
    DecimalMark decimalMark = DecimalMark::Point;
    // Value lines that are all bare integers or two digit runs joined by one
    // comma ("0,25", "-0,5", "-1"; at least one with a comma) read two ways:
    // the comma a decimal mark (one column) or a column separator (two
    // columns). This result is then the first choice, and otherMark the
    // other reading, which may have failed; none for other sources.
    std::shared_ptr<const ImportReadResult> otherMark;
};

// Reads a whole import source, told apart by its content: the editor's own
// three forms exactly as "打开" reads them, whatever the source's size;
// otherwise a header of "Key:Value" lines or a row of column names, then rows
// of values. Line ends CR LF, LF or CR; UTF-8 with or without a byte-order
// mark, or UTF-16 with one. Every line is held to maxLineBytes, and a NUL
// byte anywhere makes the source a binary file. The device must be open.
ImportReadResult ReadImport(QIODevice &device, const ImportReadOptions &options = {});

// The reading of read with the decimal mark mark: read itself, or its
// otherMark; read where the mark was never in doubt.
const ImportReadResult &ReadingWithMark(const ImportReadResult &read, DecimalMark mark);

} // namespace arb
