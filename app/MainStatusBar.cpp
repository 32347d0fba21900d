#include "app/MainStatusBar.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTimer>

namespace arb
{

MainStatusBar::MainStatusBar(QStatusBar *bar) : QObject(bar)
{
    bar->setObjectName(QStringLiteral("sbrStatus"));
    bar->setSizeGripEnabled(false);
    const QString texts[7] = {
        makerText(), QString(), QStringLiteral("当前日期"), QString(), QStringLiteral("当前时间"),
        QString(),   QString()};
    for (int i = 0; i < 7; ++i) {
        auto *label = new QLabel(texts[i], bar);
        label->setObjectName(QStringLiteral("sbrStatus_panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMargin(1);
        if (!texts[i].isEmpty())
            label->setToolTip(texts[i]);
        panels_[i] = label;
        bar->addWidget(label, i == 6 ? 1 : 0);
    }
    panels_[1]->setMinimumWidth(60);
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &MainStatusBar::refresh);
    clock_->start();
    refresh();
}

void MainStatusBar::setLastPanelWidth(int width)
{
    // The panel takes the rest of the bar; its nominal width is the window's.
    panels_[6]->setProperty("panelWidth", width);
}

void MainStatusBar::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    panels_[3]->setText(chinese.toString(now.date(), QLocale::ShortFormat));
    panels_[5]->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
}

} // namespace arb
