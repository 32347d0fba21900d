#pragma once

#include <QByteArray>

namespace arb
{

struct ArbStore;

// The forms "导出波形" writes.
enum class ExportForm {
    Csv,         // one value per line, six decimals, no header
    HeaderShort, // "File Format:1.10" header, "short" codes of 32767 full scale
};

// The line end of CSV exports: the platform's text convention (LF; CR LF on
// Windows).
const char *CsvLineEnd();

// The code of a point in the header form: round-half-even(v x 32767), the
// point first held to -1..+1.
int ExportCode(float value);

// The whole file for points 0..LastIndex() of the store, which is left as it
// is.
QByteArray CsvExportBytes(const ArbStore &store);
QByteArray HeaderExportBytes(const ArbStore &store);
QByteArray ExportBytes(const ArbStore &store, ExportForm form);

} // namespace arb
