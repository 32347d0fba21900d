#include "app/MainToolBar.h"

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
};

const Button kButtons[] = {
    {"FileOpen", "打开文件", "打开波形数据文件", "Open"},
    {"FileSave", "保存文件", "保存波形数据文件", "Save"},
    {"WaveAdd", "波形相加", "波形相加", "Add"},
    {"WaveDec", "波形相减", "波形相减", "Dec"},
    {"Draw", "", "绘制波形", "Draw"},
    {"Zoomin", " 放大", "波形放大", "Zoomin"},
    {"ZoomNo", "原始波形大小", "原始波形大小", "ZoomNo"},
    {"Zoomout", "缩小", "波形缩小", "Zoomout"},
    {"Waveout", "波形输出", "波形输出", "Go"},
    {"Exit", "", "", "Stop"},
};

} // namespace

QStringList ToolBarKeys()
{
    QStringList keys;
    for (const Button &b : kButtons)
        keys << QString::fromLatin1(b.key);
    return keys;
}

void BuildToolBarButtons(QToolBar *bar, const std::function<void(const QString &key)> &onClick)
{
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
        QObject::connect(action, &QAction::triggered, bar, [onClick, key] { onClick(key); });
    }
}

} // namespace arb
