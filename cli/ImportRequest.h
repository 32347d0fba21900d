#pragma once

#include "core/import/ImportShaping.h"

#include <QString>
#include <optional>

namespace arb::cli
{

struct ParsedArguments;

// The import dialog's choices that a command line may override; what it
// leaves out takes the dialog's default for the source.
struct ImportRequest {
    std::optional<int> column; // 0-based
    std::optional<int> points;
    std::optional<ImportScaling> scaling;
};

// Reads --column, --points and --scale; the error text of a usage error
// when one of them is not valid.
struct ImportRequestResult {
    ImportRequest request;
    QString error;
};
ImportRequestResult ImportRequestFrom(const ParsedArguments &arguments);

// The dialog's first choices for table with the request laid over them.
// A column chosen brings its own default scaling, as in the dialog.
ImportChoices ChoicesFor(const ImportTable &table, DecimalMark mark, const ImportRequest &request);

} // namespace arb::cli
