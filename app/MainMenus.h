#pragma once

class QAction;
class QMenuBar;

namespace arb
{

// Items of the menus handed to the commands that carry them out.
struct MainMenuActions {
    QAction *menuFileCapture = nullptr;
};

// Creates the menu tree: every item an action named as the program refers to
// it (menuFileOpen, mnuArbZoomin, ...), enabled and not yet connected.
MainMenuActions BuildMainMenus(QMenuBar *bar);

} // namespace arb
