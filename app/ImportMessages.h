#pragma once

#include "core/import/ImportReader.h"

#include <QString>

namespace arb
{

// The message for a source that cannot be imported (title "任意波处理",
// exclamation icon); empty for a cancelled reading, which is not reported.
QString ImportErrorMessage(const ImportReadResult &result, const ImportReadOptions &options);

// What is wrong with a reading, as the message says it, without "the
// waveform was not imported"; empty when nothing is.
QString ImportFaultText(const ImportReadResult &result, const ImportReadOptions &options);

// A chosen column the source does not have.
QString MissingColumnMessage(int column, int columns);

// The texts the import dialog shows for a source's form.
QString ImportFormText(const ImportTable &table);

} // namespace arb
