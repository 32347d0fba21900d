#pragma once

#include "core/import/ExportWriter.h"
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace arb
{

// Progress of reading a large import source.
class ImportProgress
{
  public:
    virtual ~ImportProgress() = default;
    // done of total bytes read; false when the user cancelled.
    virtual bool update(std::int64_t done, std::int64_t total) = 0;
};

// The dialogs of "导入波形" and "导出波形" beyond the file dialogs, which go
// through the UserPrompt: the import dialog, the export form and the reading
// progress. Tests script them.
class ImportExportUi
{
  public:
    virtual ~ImportExportUi() = default;

    // The import dialog for a source read from fileName (read.table, and
    // read.otherMark where the decimal mark is in doubt): the user's
    // choices, or none when cancelled.
    virtual std::optional<ImportChoices> chooseImport(const ImportReadResult &read,
                                                      const QString &fileName) = 0;

    // The form to export in, or none when cancelled.
    virtual std::optional<ExportForm> chooseExportForm() = 0;

    // Progress while fileName is read; shown once reading takes long.
    virtual std::unique_ptr<ImportProgress> readProgress(const QString &fileName) = 0;
};

} // namespace arb
