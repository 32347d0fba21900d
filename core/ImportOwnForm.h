#pragma once

#include "core/ImportTable.h"

#include <optional>
#include <string_view>

namespace arb
{

// The editor's own three forms, read exactly as "打开" reads them: a file
// whose header "打开" accepts with a count of 4..16384 and whose values all
// read. The plain form counts only when its count is a whole number and
// nothing but blank lines follows its values; anything else is none, and is
// read as a table or header form instead. A byte-order mark and lone CR line
// ends are taken as "打开" would take a file without them.
std::optional<ImportTable> ReadOwnForm(std::string_view bytes);

} // namespace arb
