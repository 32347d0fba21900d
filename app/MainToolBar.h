#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QToolBar;

namespace arb
{

struct MainMenus;

// The ten buttons of the tool bar, each the bar's own action (its caption,
// icon and tip) named by its key.
struct ToolBarActions {
    QAction *FileOpen = nullptr;
    QAction *FileSave = nullptr;
    QAction *WaveAdd = nullptr;
    QAction *WaveDec = nullptr;
    QAction *Draw = nullptr;
    QAction *Zoomin = nullptr;
    QAction *ZoomNo = nullptr;
    QAction *Zoomout = nullptr;
    QAction *Waveout = nullptr; // stands for no menu item: the window wires it
    QAction *Exit = nullptr;

    // The button of key (exactly as in ToolBarKeys), or none.
    QAction *byKey(const QString &key) const;
};

// Builds the buttons. A click runs beforeEachClick, then, for a button that
// stands for a menu item, triggers that item's action; such a button is
// enabled exactly while its item is.
ToolBarActions BuildToolBarButtons(QToolBar *bar, const MainMenus &menus,
                                   const std::function<void()> &beforeEachClick);

// The keys in the order of the bar.
QStringList ToolBarKeys();

} // namespace arb
