#include "app/MainControls.h"

#include "app/LayoutScale.h"
#include "view/PlotCanvas.h"
#include "view/PopupComboBox.h"

#include <QAccessible>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>

namespace arb
{

namespace
{

// Design positions are in twips (15 per pixel on the 1024 x 768 design).
template <typename W> W *Make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *w = new W(parent);
    if (name)
        w->setObjectName(QString::fromLatin1(name));
    SetDesignTwips(w, left, top, width, height);
    return w;
}

QGroupBox *Frame(QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    auto *f = Make<QGroupBox>(parent, nullptr, left, top, width, height);
    f->setTitle(caption);
    return f;
}

QLabel *Caption(QWidget *parent, const QString &text, int left, int top, int width, int height)
{
    auto *l = Make<QLabel>(parent, nullptr, left, top, width, height);
    l->setText(text);
    return l;
}

QLineEdit *Field(QWidget *parent, const char *name, const QString &text, const QString &accessible, int left,
                 int top, int width, int height)
{
    auto *e = Make<QLineEdit>(parent, name, left, top, width, height);
    e->setText(text);
    e->setAccessibleName(accessible);
    return e;
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                    int height)
{
    auto *b = Make<QPushButton>(parent, name, left, top, width, height);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

// An editable box's field gets none, the window's one completer that knows
// no entries and so completes nothing.
template <typename Box = QComboBox>
Box *Combo(QWidget *parent, const char *name, const QString &accessible, QCompleter *none, int left, int top,
           int width, int height)
{
    const bool editable = none != nullptr;
    auto *c = Make<Box>(parent, name, left, top, width, height);
    c->setAccessibleName(accessible);
    if (editable) {
        // Giving the box its edit field makes it editable without building
        // the popup list, which setEditable() does at once and which is
        // otherwise made when the list is first opened. An edit field
        // without a completer would get one over the box's list, which the
        // boxes' guard takes away again at once (a typed prefix must select
        // nothing): the field comes with the window's completer of nothing.
        auto *edit = new QLineEdit(c);
        edit->setPalette(c->palette());
        edit->setCompleter(none);
        c->setLineEdit(edit);
        // On Linux assistive technology reads an editable box by its edit
        // field and the label that names it.
        c->lineEdit()->setAccessibleName(accessible);
        c->setEditText(QString::fromLatin1(name));
    }
    return c;
}

void BuildTopFrames(MainControls &m, QWidget *client)
{
    m.frameLength = Frame(client, QStringLiteral("任意波点数"), 120, 700, 1560, 780);
    // The length, the name and the slot show the waveform's own
    // (LengthField, NameField).
    m.Text_Arb_Length =
        Field(m.frameLength, "Text_Arb_Length", QString(), QStringLiteral("任意波点数"), 120, 330, 960, 300);
    Caption(m.frameLength, QStringLiteral("点"), 1160, 360, 300, 240);

    m.frameScale = Frame(client, QStringLiteral("缩放倍数"), 1740, 700, 1200, 780);
    m.txtScale =
        Field(m.frameScale, "txtScale", QStringLiteral("2"), QStringLiteral("缩放倍数"), 120, 330, 960, 300);

    m.frameCurrent = Frame(client, QStringLiteral("当前坐标"), 3000, 700, 2760, 780);
    Caption(m.frameCurrent, QStringLiteral("X:"), 120, 360, 260, 240);
    m.LblArbCurrentXPoint = Make<QLabel>(m.frameCurrent, "LblArbCurrentXPoint", 400, 330, 900, 300);
    m.LblArbCurrentXPoint->setText(QStringLiteral("10000"));
    m.LblArbCurrentXPoint->setAccessibleName(QStringLiteral("当前坐标X"));
    Caption(m.frameCurrent, QStringLiteral("Y:"), 1420, 360, 260, 240);
    m.LblArbCurrentYPoint = Make<QLabel>(m.frameCurrent, "LblArbCurrentYPoint", 1700, 330, 900, 300);
    m.LblArbCurrentYPoint->setText(QStringLiteral("-1.000"));
    m.LblArbCurrentYPoint->setAccessibleName(QStringLiteral("当前坐标Y"));
    for (QLabel *l : {m.LblArbCurrentXPoint, m.LblArbCurrentYPoint})
        l->setFrameShape(QFrame::StyledPanel);

    m.frameName = Frame(client, QStringLiteral("任意波名称"), 5820, 700, 2700, 780);
    m.txtName = Field(m.frameName, "txtName", QString(), QStringLiteral("任意波名称"), 120, 330, 1140, 300);
    m.cmdSendName = Button(m.frameName, "cmdSendName", QStringLiteral("单独发送名称"), 1340, 300, 1260, 380);
    m.cmdSendName->setVisible(false);
    m.cmdSendName->setEnabled(false);

    // The slot selector is part of the design but never shown: the slot stays 0.
    m.frameSlot = Frame(client, QStringLiteral("任意波编号"), 8580, 700, 900, 780);
    m.Label_ArbNumber = Make<QLabel>(m.frameSlot, "Label_ArbNumber", 120, 330, 400, 300);
    m.VScroll_ArbNumber = Make<QScrollBar>(m.frameSlot, "VScroll_ArbNumber", 560, 240, 255, 480);
    m.VScroll_ArbNumber->setOrientation(Qt::Vertical);
    m.VScroll_ArbNumber->setAccessibleName(QStringLiteral("任意波编号"));
    m.frameSlot->setVisible(false);
}

void BuildPlot(MainControls &m, QWidget *client)
{
    m.Picture_Arb = Make<PlotCanvas>(client, "Picture_Arb", 720, 1560, 8445, 4455);
    m.Picture_Arb->setAccessibleName(QStringLiteral("任意波波形"));
    m.Picture_Arb->setVisible(false);

    for (int k = 0; k <= 10; ++k) {
        auto *y = Make<QLabel>(client, nullptr, 120, 1480 + k * 445, 560, 240);
        y->setObjectName(QStringLiteral("Label_Y_coordinate_%1").arg(k));
        y->setText(
            QString::number(1.0 - 0.2 * k, 'f', 2).replace(QStringLiteral("-0.00"), QStringLiteral("0.00")));
        y->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        y->setVisible(false);
        m.Label_Y_coordinate[static_cast<std::size_t>(k)] = y;

        auto *x = Make<QLabel>(client, nullptr, k == 10 ? 8880 : 620 + k * 845, 6115, 600, 240);
        x->setObjectName(QStringLiteral("Label_X_coordinate_%1").arg(k));
        x->setText(QString::number(200 * k));
        x->setVisible(false);
        m.Label_X_coordinate[static_cast<std::size_t>(k)] = x;
    }

    m.HScroll_XZoom = Make<QScrollBar>(client, "HScroll_XZoom", 720, 6380, 8445, 255);
    m.HScroll_XZoom->setOrientation(Qt::Horizontal);
    m.HScroll_XZoom->setAccessibleName(QStringLiteral("波形平移"));
    m.HScroll_XZoom->setSingleStep(1);
    m.HScroll_XZoom->setPageStep(1);
}

void BuildEntryFrames(MainControls &m, QWidget *client)
{
    m.frameStart = Frame(client, QStringLiteral("起点设置"), 120, 6720, 2400, 1060);
    Caption(m.frameStart, QStringLiteral("X:"), 120, 320, 260, 240);
    m.Text_ArbLineStartX = Field(m.frameStart, "Text_ArbLineStartX", QStringLiteral("0"),
                                 QStringLiteral("起点X"), 400, 290, 1850, 300);
    Caption(m.frameStart, QStringLiteral("Y:"), 120, 680, 260, 240);
    m.Text_ArbLineStartY = Field(m.frameStart, "Text_ArbLineStartY", QStringLiteral("0.000"),
                                 QStringLiteral("起点Y"), 400, 650, 1850, 300);

    m.frameStop = Frame(client, QStringLiteral("终点设置"), 2600, 6720, 2400, 1060);
    Caption(m.frameStop, QStringLiteral("X:"), 120, 320, 260, 240);
    m.Text_ArbLineStopX = Field(m.frameStop, "Text_ArbLineStopX", QStringLiteral("0"),
                                QStringLiteral("终点X"), 400, 290, 1850, 300);
    Caption(m.frameStop, QStringLiteral("Y:"), 120, 680, 260, 240);
    m.Text_ArbLineStopY = Field(m.frameStop, "Text_ArbLineStopY", QStringLiteral("0.000"),
                                QStringLiteral("终点Y"), 400, 650, 1850, 300);

    m.Command_ArbPoint = Button(client, "Command_ArbPoint", QStringLiteral(" 输入点"), 5100, 6800, 1300, 420);
    m.Command_ArbPoint->setToolTip(QStringLiteral("输入起点坐标"));
    m.Command_ArbLine = Button(client, "Command_ArbLine", QStringLiteral("输入线段"), 5100, 7300, 1300, 420);
    m.Command_ArbLine->setToolTip(QStringLiteral("输入起点和终点确定的线段"));

    m.frameWaveButtons = Frame(client, QString(), 6520, 6720, 1500, 1060);
    m.Command_ArbWaveClear =
        Button(m.frameWaveButtons, "Command_ArbWaveClear", QStringLiteral("清除波形"), 120, 160, 1260, 380);
    m.Command_ArbWaveSave =
        Button(m.frameWaveButtons, "Command_ArbWaveSave", QStringLiteral("存储波形"), 120, 580, 1260, 380);
    m.frameWaveButtons->setVisible(false);
}

void BuildGeneratorControls(MainControls &m, QWidget *client)
{
    m.frameInterface = Frame(client, QStringLiteral("接口参数"), 6520, 6720, 5040, 1060);
    m.Combo1 = Combo(m.frameInterface, "Combo1", QStringLiteral("接口参数"), nullptr, 120, 320, 3700, 330);
    m.cmdCheck = Button(m.frameInterface, "cmdCheck", QStringLiteral("检   测"), 3900, 290, 1020, 400);
    m.labelCombo2 = Caption(m.frameInterface, QStringLiteral("波特率"), 120, 720, 600, 240);
    m.Combo2 = Combo(m.frameInterface, "Combo2", QStringLiteral("波特率"), nullptr, 720, 690, 1200, 330);
    m.labelCombo4 = Caption(m.frameInterface, QStringLiteral("数据位数"), 2000, 720, 800, 240);
    m.Combo4 = Combo(m.frameInterface, "Combo4", QStringLiteral("数据位数"), nullptr, 2800, 690, 1000, 330);
    for (QWidget *w : {static_cast<QWidget *>(m.labelCombo2), static_cast<QWidget *>(m.Combo2),
                       static_cast<QWidget *>(m.labelCombo4), static_cast<QWidget *>(m.Combo4)})
        w->setVisible(false);

    m.Command_DetectIO = Button(client, "Command_DetectIO", QStringLiteral("连   接"), 120, 7900, 1300, 420);
    m.Command_viPrintf =
        Button(client, "Command_viPrintf", QStringLiteral("发送数据"), 1500, 7900, 1300, 420);
    m.Command_viPrintf->setEnabled(false);
    m.Command_Exit = Button(client, "Command_Exit", QStringLiteral("退 出"), 2880, 7900, 1300, 420);
    m.txtInstName = Field(client, "txtInstName", QStringLiteral("仪器型号\r\n"), QStringLiteral("仪器型号"),
                          4300, 7940, 4400, 330);
    m.txtInstName->setReadOnly(true);
    m.PbrSend = Make<QProgressBar>(client, "PbrSend", 8800, 7960, 2100, 280);
    m.PbrSend->setAccessibleName(QStringLiteral("发送进度"));
    m.PbrSend->setTextVisible(false);
    m.Label_TDS_percent = Make<QLabel>(client, "Label_TDS_percent", 10960, 7960, 600, 280);
    m.Text1 = Field(client, "Text1", QString(), QString(), 4300, 8300, 600, 300);
    m.Text1->setVisible(false);
}

void BuildScopeFrame(MainControls &m, QWidget *client)
{
    m.frameScope = Frame(client, QStringLiteral("泰克示波器采集波形"), 9420, 700, 2140, 5940);
    struct Entry {
        QComboBox **combo;
        const char *name;
        QString label;
        QString accessible;
    };
    const Entry entries[] = {
        {&m.cobSetComm, "cobSetComm", QStringLiteral("端口设置"), QStringLiteral("端口设置")},
        {&m.cobBaud, "cobBaud", QStringLiteral("波特率"), QStringLiteral("示波器波特率")},
        {&m.cobParity, "cobParity", QStringLiteral("校验方式"), QStringLiteral("校验方式")},
        {&m.cobFlowHardSoft, "cobFlowHardSoft", QStringLiteral("数据流控制"), QStringLiteral("数据流控制")},
        {&m.cobOscilEOLString, "cobOscilEOLString", QStringLiteral("EOL 字符串"),
         QStringLiteral("EOL 字符串")},
        {&m.cobChannel, "cobChannel", QStringLiteral("数据源"), QStringLiteral("数据源")},
    };
    auto *none = new QCompleter(client->window());
    none->setObjectName(QStringLiteral("noCompletion"));
    int top = 300;
    for (const Entry &e : entries) {
        QLabel *label = Caption(m.frameScope, e.label, 120, top, 1900, 240);
        // The port list is brought up to date each time it opens.
        *e.combo =
            e.combo == &m.cobSetComm
                ? Combo<PopupComboBox>(m.frameScope, e.name, e.accessible, none, 120, top + 250, 1900, 330)
                : Combo(m.frameScope, e.name, e.accessible, none, 120, top + 250, 1900, 330);
        label->setBuddy(*e.combo);
        top += 680;
    }
    m.cmdLink = Button(m.frameScope, "cmdLink", QStringLiteral("连接泰克示波器"), 120, top + 100, 1900, 420);
    m.cmdReadValue =
        Button(m.frameScope, "cmdReadValue", QStringLiteral("读取数据"), 120, top + 620, 1900, 420);
    m.cmdReadValue->setEnabled(false);
}

} // namespace

MainControls BuildMainControls(QWidget *client)
{
    MainControls m;
    m.Toolbar1 = Make<QToolBar>(client, "Toolbar1", 0, 0, 11750, 660);
    BuildTopFrames(m, client);
    BuildPlot(m, client);
    BuildEntryFrames(m, client);
    BuildGeneratorControls(m, client);
    BuildScopeFrame(m, client);
    return m;
}

QList<QLineEdit *> TextFields(const MainControls &c)
{
    QList<QLineEdit *> fields = {c.Text_Arb_Length,    c.txtScale,           c.txtName,
                                 c.Text_ArbLineStartX, c.Text_ArbLineStartY, c.Text_ArbLineStopX,
                                 c.Text_ArbLineStopY,  c.txtInstName,        c.Text1};
    for (QComboBox *box : {c.Combo1, c.Combo2, c.Combo4, c.cobSetComm, c.cobBaud, c.cobParity,
                           c.cobFlowHardSoft, c.cobOscilEOLString, c.cobChannel}) {
        if (box && box->lineEdit())
            fields << box->lineEdit();
    }
    fields.removeAll(nullptr);
    return fields;
}

} // namespace arb
