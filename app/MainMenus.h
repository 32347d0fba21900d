#pragma once

class QAction;
class QMenuBar;

namespace arb
{

// Every item of the menu bar, each named as the program refers to it and as
// its object is named. Separators are left out.
struct MainMenus {
    QAction *menuFileOpen = nullptr;
    QAction *menuFileSave = nullptr;
    QAction *menuFileImport = nullptr;
    QAction *menuFileExport = nullptr;
    QAction *menuFileCapture = nullptr;
    QAction *menuFileExit = nullptr;

    QAction *mnuArbZoomin = nullptr;
    QAction *mnuArbZoomout = nullptr;
    QAction *mnuArbZoomNo = nullptr;
    QAction *mnuArbDraw = nullptr;
    QAction *mnuArbClear = nullptr;
    QAction *mnuArbLineDraw = nullptr;
    QAction *mnuArbLength = nullptr;
    QAction *mnuArbUndo = nullptr;
    QAction *mnuArbRedo = nullptr;

    QAction *mnuWaveAdd = nullptr;
    QAction *mnuWaveDec = nullptr;
    QAction *mnuWaveXSymm = nullptr;
    QAction *mnuWaveYSymm = nullptr;
    QAction *mnuWaveDiv = nullptr;
    QAction *mnuWaveMul = nullptr;
    QAction *mnuWaveAmplZoomIn = nullptr;
    QAction *mnuWaveFreqMul = nullptr;
    QAction *mnuWaveSinAddFormula = nullptr;
    QAction *mnuWaveEquation = nullptr;

    QAction *mnuStandardSqu = nullptr;
    QAction *mnuStandardSin = nullptr;
    QAction *mnuStandardCos = nullptr;
    QAction *mnuStandardTri = nullptr;
    QAction *mnuStandardUpRamp = nullptr;
    QAction *mnuStandardDownRamp = nullptr;
    QAction *mnuStandardMore = nullptr;

    QAction *menuHelp = nullptr;
    QAction *menuArbAbout = nullptr;
};

// Creates the menu tree: every item an action named as the program refers to
// it, enabled and not yet connected.
MainMenus BuildMainMenus(QMenuBar *bar);

} // namespace arb
