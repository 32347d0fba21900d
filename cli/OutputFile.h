#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace arb
{
struct ArbStore;
}

namespace arb::cli
{

struct ParsedArguments;

// The forms a command writes.
enum class OutputForm {
    Csv,    // "导出波形" as CSV
    Header, // "导出波形" in its header form
    Saved,  // "保存": the editor's own form, brought to full scale
};

// The form --format names ("csv", "arb", "txt"), or that OUT's ending
// names when --format is not given; the error text of a usage error when
// neither says.
struct OutputFormResult {
    OutputForm form = OutputForm::Csv;
    QString error;
};
OutputFormResult OutputFormFor(const ParsedArguments &arguments, const QString &path);

// The bytes of the whole file. The saved form brings the store to full
// scale first, as "保存" does, and writes the name and length texts as the
// fields hold them.
QByteArray OutputBytes(ArbStore &store, OutputForm form, const QString &name, const QString &lengthText);

// Writes the whole file through the writer of "保存", which replaces an
// existing file only once every byte is on the disk. Where that is not
// possible (a folder we may not create files in) nothing is written. The
// window's message of the failure, or none.
std::optional<QString> WriteOutput(const QString &path, const QByteArray &bytes);

} // namespace arb::cli
