#pragma once

class QMenuBar;

namespace arb
{

// Creates the menu tree: every item an action named as the program refers to
// it (menuFileOpen, mnuArbZoomin, ...), enabled and not yet connected.
void BuildMainMenus(QMenuBar *bar);

} // namespace arb
