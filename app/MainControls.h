#pragma once

#include <QList>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QToolBar;
class QWidget;

namespace arb
{

class PlotCanvas;

// Every control of the main window's client area, each named as the program
// refers to it and placed at its design position in twips.
struct MainControls {
    QToolBar *Toolbar1 = nullptr;

    QGroupBox *frameLength = nullptr; // "任意波点数"
    QLineEdit *Text_Arb_Length = nullptr;
    QGroupBox *frameSlot = nullptr; // "任意波编号", hidden
    QLabel *Label_ArbNumber = nullptr;
    QScrollBar *VScroll_ArbNumber = nullptr;
    QGroupBox *frameScale = nullptr; // "缩放倍数"
    QLineEdit *txtScale = nullptr;
    QGroupBox *frameCurrent = nullptr; // "当前坐标"
    QLabel *LblArbCurrentXPoint = nullptr;
    QLabel *LblArbCurrentYPoint = nullptr;
    QGroupBox *frameName = nullptr; // "任意波名称"
    QLineEdit *txtName = nullptr;
    QPushButton *cmdSendName = nullptr;

    PlotCanvas *Picture_Arb = nullptr;
    QScrollBar *HScroll_XZoom = nullptr;
    std::array<QLabel *, 11> Label_Y_coordinate{};
    std::array<QLabel *, 11> Label_X_coordinate{};

    QGroupBox *frameStart = nullptr; // "起点设置"
    QLineEdit *Text_ArbLineStartX = nullptr;
    QLineEdit *Text_ArbLineStartY = nullptr;
    QGroupBox *frameStop = nullptr; // "终点设置"
    QLineEdit *Text_ArbLineStopX = nullptr;
    QLineEdit *Text_ArbLineStopY = nullptr;
    QPushButton *Command_ArbPoint = nullptr;
    QPushButton *Command_ArbLine = nullptr;
    QGroupBox *frameWaveButtons = nullptr; // uncaptioned, hidden
    QPushButton *Command_ArbWaveClear = nullptr;
    QPushButton *Command_ArbWaveSave = nullptr;

    QGroupBox *frameInterface = nullptr; // "接口参数"
    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QComboBox *Combo4 = nullptr;
    QLabel *labelCombo2 = nullptr;
    QLabel *labelCombo4 = nullptr;
    QPushButton *cmdCheck = nullptr;
    QPushButton *Command_DetectIO = nullptr;
    QPushButton *Command_viPrintf = nullptr;
    QPushButton *Command_Exit = nullptr;
    QLineEdit *txtInstName = nullptr;
    QProgressBar *PbrSend = nullptr;
    QLabel *Label_TDS_percent = nullptr;
    QLineEdit *Text1 = nullptr;

    QGroupBox *frameScope = nullptr; // "泰克示波器采集波形"
    QComboBox *cobSetComm = nullptr;
    QComboBox *cobBaud = nullptr;
    QComboBox *cobParity = nullptr;
    QComboBox *cobFlowHardSoft = nullptr;
    QComboBox *cobOscilEOLString = nullptr;
    QComboBox *cobChannel = nullptr;
    QPushButton *cmdLink = nullptr;
    QPushButton *cmdReadValue = nullptr;
};

// Creates the controls inside the client area, in their design states
// (captions, design texts, hidden and disabled controls).
MainControls BuildMainControls(QWidget *client);

// The window's text fields, the edit fields of its editable boxes included.
QList<QLineEdit *> TextFields(const MainControls &c);

} // namespace arb
