#include "app/MainToolBar.h"

#include "app/MainMenus.h"
#include "app/SvgIcon.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace arb
{

namespace
{

struct Button {
    const char *key;
    const char *caption;
    const char *tip;
    const char *image;
    QAction *ToolBarActions::*button;
    // The menu item the button stands for, if any.
    QAction *MainMenus::*item;
};

const Button kButtons[] = {
    {"FileOpen", "打开文件", "打开波形数据文件", "Open", &ToolBarActions::FileOpen, &MainMenus::menuFileOpen},
    {"FileSave", "保存文件", "保存波形数据文件", "Save", &ToolBarActions::FileSave, &MainMenus::menuFileSave},
    {"WaveAdd", "波形相加", "波形相加", "Add", &ToolBarActions::WaveAdd, &MainMenus::mnuWaveAdd},
    {"WaveDec", "波形相减", "波形相减", "Dec", &ToolBarActions::WaveDec, &MainMenus::mnuWaveDec},
    {"Draw", "", "绘制波形", "Draw", &ToolBarActions::Draw, &MainMenus::mnuArbDraw},
    {"Zoomin", " 放大", "波形放大", "Zoomin", &ToolBarActions::Zoomin, &MainMenus::mnuArbZoomin},
    {"ZoomNo", "原始波形大小", "原始波形大小", "ZoomNo", &ToolBarActions::ZoomNo, &MainMenus::mnuArbZoomNo},
    {"Zoomout", "缩小", "波形缩小", "Zoomout", &ToolBarActions::Zoomout, &MainMenus::mnuArbZoomout},
    {"Waveout", "波形输出", "波形输出", "Go", &ToolBarActions::Waveout, nullptr},
    {"Exit", "", "", "Stop", &ToolBarActions::Exit, &MainMenus::menuFileExit},
};

} // namespace

QStringList ToolBarKeys()
{
    QStringList keys;
    for (const Button &b : kButtons)
        keys << QString::fromLatin1(b.key);
    return keys;
}

QAction *ToolBarActions::byKey(const QString &key) const
{
    for (const Button &b : kButtons) {
        if (key == QLatin1String(b.key))
            return this->*b.button;
    }
    return nullptr;
}

ToolBarActions BuildToolBarButtons(QToolBar *bar, const MainMenus &menus,
                                   const std::function<void()> &beforeEachClick)
{
    ToolBarActions buttons;
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(20, 20));
    bar->setMovable(false);
    bar->setFloatable(false);
    for (const Button &b : kButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction *action =
            bar->addAction(SvgIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.image))),
                           QString::fromUtf8(b.caption));
        action->setObjectName(key);
        action->setProperty("key", key);
        const QString tip = QString::fromUtf8(b.tip);
        action->setToolTip(tip);
        if (tip.isEmpty())
            action->setToolTip(QString());
        // An icon-only button reads its key to assistive technology.
        if (QWidget *w = bar->widgetForAction(action)) {
            w->setObjectName(key);
            if (b.caption[0] == '\0')
                w->setAccessibleName(tip.isEmpty() ? QStringLiteral("退出") : tip);
            if (tip.isEmpty())
                w->setToolTip(QString());
        }
        buttons.*b.button = action;
        QObject::connect(action, &QAction::triggered, bar, beforeEachClick);
        if (QAction *item = b.item ? menus.*b.item : nullptr) {
            QObject::connect(action, &QAction::triggered, item, &QAction::trigger);
            action->setEnabled(item->isEnabled());
            QObject::connect(item, &QAction::enabledChanged, action, &QAction::setEnabled);
        }
    }
    return buttons;
}

} // namespace arb
