#include "app/AboutWindow.h"

#include "app/LayoutScale.h"
#include "app/SvgIcon.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace arb
{

namespace
{

int Px(int twips)
{
    return static_cast<int>(twips / kTwipsPerPixel);
}

} // namespace

AboutWindow::AboutWindow(QWidget *mainWindow) : QWidget(nullptr, Qt::Dialog), main_(mainWindow)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window; About alone never keeps it
    // running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("关于任意波处理软件"));
    setFixedSize(Px(4230), Px(1905));
    QFont songti(QStringLiteral("SimSun"));
    songti.setFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    songti.setPointSize(9);
    setFont(songti);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(Px(180), Px(180), Px(600), Px(600));
    picIcon->setPixmap(SvgIcon(QStringLiteral(":/icons/vxarb.svg")).pixmap(Px(600), Px(600)));

    auto *lblTitle = new QLabel(QStringLiteral("任意波建立软件"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(Px(1000), Px(200), Px(3000), Px(300));
    QFont titleFont = songti;
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    auto *label1 = new QLabel(QStringLiteral("Version: 3.0          更新于2014.08.04"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Px(1000), Px(620), Px(3100), Px(260));

    auto *line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(Px(120), Px(1000), Px(3990), Px(30));

    auto *command1 = new QPushButton(QStringLiteral("确   认"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setGeometry(Px(2900), Px(1300), Px(1150), Px(420));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &QWidget::close);
}

AboutWindow *AboutWindow::showFor(QWidget *mainWindow)
{
    auto *about = new AboutWindow(mainWindow);
    if (mainWindow)
        mainWindow->setEnabled(false);
    about->show();
    return about;
}

void AboutWindow::closeEvent(QCloseEvent *event)
{
    if (main_) {
        main_->setEnabled(true);
        main_->raise();
        main_->activateWindow();
    }
    event->accept();
}

} // namespace arb
