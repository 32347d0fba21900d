#pragma once

namespace arb
{

// Registers the images compiled into the program (tool bar, icon). The
// resources live in a static library, so they are registered explicitly.
void InitResources();

} // namespace arb
