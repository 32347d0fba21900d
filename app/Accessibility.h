#pragma once

namespace arb
{

// Makes combo boxes report the accessible name the window gave them (the
// caption the user reads beside them) as their name, and their current entry
// as their value and, for a box without an edit field, as their text. Qt's
// own interface on Linux reports the entry as the name.
void InstallAccessibilityFactory();

} // namespace arb
