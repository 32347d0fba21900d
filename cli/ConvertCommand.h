#pragma once

#include "cli/ExitStatus.h"

#include <QStringList>

namespace arb::cli
{

// vxarb convert IN -o OUT [--column K] [--points N] [--scale keep|peak|full]
// [--format csv|arb|txt]: IN read as "导入波形" reads it, shaped with the
// import dialog's choices, written to OUT. arguments are those after the
// sub-command's name.
ExitStatus RunConvert(const QStringList &arguments);

} // namespace arb::cli
