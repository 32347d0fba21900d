#pragma once

#include "cli/Arguments.h"

#include <vector>

namespace arb::cli
{

// The options several sub-commands share.

// --column, --points, --scale: the import dialog's choices.
std::vector<OptionSpec> ShapingOptionSpecs();

// -o, --output OUT
OptionSpec OutputOptionSpec();

// --format csv|arb|txt
OptionSpec FormatOptionSpec();

} // namespace arb::cli
