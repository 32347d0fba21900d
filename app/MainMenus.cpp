#include "app/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace arb
{

namespace
{

struct Item {
    const char *name;
    // Where the action is kept; none for a separator.
    QAction *MainMenus::*slot;
    const char *caption; // UTF-8; "-" is a separator
    QKeySequence shortcut;
    // What the item does ("What's This?" help; not a status tip, which would
    // cover the status bar's panels). Screen readers name a menu item by its
    // caption.
    const char *description = nullptr;
    QKeySequence alternate = QKeySequence(); // a second shortcut, if any
};

void AddMenu(MainMenus &menus, QMenuBar *bar, const char *name, const char *caption,
             std::initializer_list<Item> items)
{
    QMenu *menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    for (const Item &item : items) {
        QAction *action = nullptr;
        if (QString::fromUtf8(item.caption) == QLatin1String("-"))
            action = menu->addSeparator();
        else
            action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.slot)
            menus.*item.slot = action;
        if (!item.shortcut.isEmpty()) {
            QList<QKeySequence> keys = {item.shortcut};
            if (!item.alternate.isEmpty())
                keys << item.alternate;
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (item.description)
            action->setWhatsThis(QString::fromUtf8(item.description));
    }
}

} // namespace

MainMenus BuildMainMenus(QMenuBar *bar)
{
    MainMenus m;
    AddMenu(m, bar, "menuFile", "文件&F",
            {{"menuFileOpen", &MainMenus::menuFileOpen, "打开&O", QKeySequence(Qt::CTRL | Qt::Key_O)},
             {"menuFileSave", &MainMenus::menuFileSave, "保存&S", QKeySequence(Qt::CTRL | Qt::Key_S)},
             {"menuFileImport", &MainMenus::menuFileImport, "导入波形(&I)...",
              QKeySequence(Qt::CTRL | Qt::Key_I), "从数值表或其他软件的波形文件导入波形"},
             {"menuFileExport", &MainMenus::menuFileExport, "导出波形(&E)...",
              QKeySequence(Qt::CTRL | Qt::Key_E), "把波形导出为 CSV 数值表或带文件头的波形文件"},
             {"menuFileCapture",
              &MainMenus::menuFileCapture,
              "从示波器导入(&C)...",
              {},
              "从 USB 或网络上的示波器（泰克、普源、鼎阳、是德/安捷伦）读取一个通道当前显示的波形，"
              "换算为伏特后像导入波形一样调整"},
             {"menuBar", nullptr, "-", {}},
             {"menuFileExit", &MainMenus::menuFileExit, "退出&X", {}}});
    AddMenu(m, bar, "mnuArb", "任意波&A",
            {{"mnuArbZoomin", &MainMenus::mnuArbZoomin, "放大&I", {}},
             {"mnuArbZoomout", &MainMenus::mnuArbZoomout, "缩小&Z", {}},
             {"mnuArbZoomNo", &MainMenus::mnuArbZoomNo, "全部显示&A", {}},
             {"mnuBar2", nullptr, "-", {}},
             {"mnuArbDraw", &MainMenus::mnuArbDraw, "绘制", {}},
             {"mnuArbClear", &MainMenus::mnuArbClear, "清除波形&C", {}},
             {"mnuArbLineDraw", &MainMenus::mnuArbLineDraw, "分段输入", {}},
             {"mnuArbLength", &MainMenus::mnuArbLength, "设置波形点数", {}},
             {"mnuBar3", nullptr, "-", {}},
             {"mnuArbUndo", &MainMenus::mnuArbUndo, "撤销(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z),
              "退回对波形的最近一次修改"},
             {"mnuArbRedo", &MainMenus::mnuArbRedo, "重做(&R)", QKeySequence(Qt::CTRL | Qt::Key_Y),
              "重新做一次刚撤销的修改", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}});
    AddMenu(m, bar, "mnuWave", "波形运算&W",
            {{"mnuWaveAdd", &MainMenus::mnuWaveAdd, "相加&A", {}},
             {"mnuWaveDec", &MainMenus::mnuWaveDec, "相减&D", {}},
             {"mnuWaveXSymm", &MainMenus::mnuWaveXSymm, "X轴对称&X", {}},
             {"mnuWaveYSymm", &MainMenus::mnuWaveYSymm, "Y轴对称&Y", {}},
             {"mnuWaveDiv", &MainMenus::mnuWaveDiv, "波形幅度除常数&I", {}},
             {"mnuWaveMul", &MainMenus::mnuWaveMul, "波形幅度乘常数&M", {}},
             {"mnuWaveAmplZoomIn", &MainMenus::mnuWaveAmplZoomIn, "波形幅度归一化(&N)", {}},
             {"mnuWaveFreqMul", &MainMenus::mnuWaveFreqMul, "频率乘常数(&F)", {}},
             {"mnuWaveSinAddFormula", &MainMenus::mnuWaveSinAddFormula, "正弦波相加公式(&O)", {}},
             {"mnuBar4", nullptr, "-", {}},
             {"mnuWaveEquation",
              &MainMenus::mnuWaveEquation,
              "任意公式(&E)...",
              {},
              "用公式计算波形：输入含 x、n、y、w(k) 等的表达式，边输入边预览，确定后写入所选范围的点"}});
    AddMenu(m, bar, "mnuStandard", "标准波形(&S)",
            {{"mnuStandardSqu", &MainMenus::mnuStandardSqu, "方波(&Q)", {}},
             {"mnuStandardSin", &MainMenus::mnuStandardSin, "正弦波(&S)", {}},
             {"mnuStandardCos", &MainMenus::mnuStandardCos, "余弦波(&C)", {}},
             {"mnuStandardTri", &MainMenus::mnuStandardTri, "三角波(&T)", {}},
             {"mnuStandardUpRamp", &MainMenus::mnuStandardUpRamp, "升锯齿波(&R)", {}},
             {"mnuStandardDownRamp", &MainMenus::mnuStandardDownRamp, "降锯齿波(&D)", {}},
             {"mnuBarStandard", nullptr, "-", {}},
             {"mnuStandardMore",
              &MainMenus::mnuStandardMore,
              "更多波形(&M)...",
              {},
              "用参数设定的常用波形（脉冲、sinc、高斯、指数、调制、噪声、PRBS、窗函数等）替换波形的一段"}});
    AddMenu(m, bar, "menuAbout", "帮助(&H)",
            {{"menuHelp", &MainMenus::menuHelp, "任意波软件帮助 ", QKeySequence(Qt::Key_F1)},
             {"menuArbAbout", &MainMenus::menuArbAbout, "关于任意波软件", {}}});
    return m;
}

} // namespace arb
