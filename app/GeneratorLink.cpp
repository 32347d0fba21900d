#include "app/GeneratorLink.h"

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "link/generator/DownloadChunk.h"
#include "link/generator/GeneratorName.h"
#include "link/visa/UsbResources.h"
#include "link/visa/VisaCommands.h"
#include "view/UserPrompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <utility>

namespace arb
{

using namespace visa;

namespace
{

const QString kConnectCaption = QStringLiteral("连   接");
const QString kDisconnectCaption = QStringLiteral("断   开");
const QString kModelPrefix = QStringLiteral("仪器型号：");
const QString kModelNoColon = QStringLiteral("仪器型号");
const QString kLinkTitle = QStringLiteral("提示信息");
// A name that is not one to six letters or digits is never sent.
const QString kBadNameMessage = QStringLiteral("任意波名称必须为1到6个数字或字母，未发送！");

// How long the full progress bar stays after the last chunk.
constexpr int kEndPauseMs = 300;
// Timeout of every opened session, in milliseconds.
constexpr ViAttrState kIoTimeoutMs = 1000;

const int kBaudRates[] = {300, 600, 1200, 2400, 4800, 9600};

template <typename T> T *Find(QWidget *window, const char *name)
{
    return window ? window->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

void SetEnabled(QWidget *w, bool enabled)
{
    if (w)
        w->setEnabled(enabled);
}

QTimer *MakeTimer(QObject *parent, const char *name, int interval)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    return t;
}

std::string Bytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

} // namespace

GeneratorLink::GeneratorLink(QWidget *window, WaveformHost &host, VisaApi &visa, QObject *parent)
    : QObject(parent), host_(host), visa_(visa)
{
    Combo1_ = Find<QComboBox>(window, "Combo1");
    Combo2_ = Find<QComboBox>(window, "Combo2");
    Combo4_ = Find<QComboBox>(window, "Combo4");
    cmdCheck_ = Find<QPushButton>(window, "cmdCheck");
    Command_DetectIO_ = Find<QPushButton>(window, "Command_DetectIO");
    Command_viPrintf_ = Find<QPushButton>(window, "Command_viPrintf");
    cmdSendName_ = Find<QPushButton>(window, "cmdSendName");
    txtInstName_ = Find<QLineEdit>(window, "txtInstName");
    PbrSend_ = Find<QProgressBar>(window, "PbrSend");
    Label_TDS_percent_ = Find<QLabel>(window, "Label_TDS_percent");
    Label_ArbNumber_ = Find<QLabel>(window, "Label_ArbNumber");

    timeLink_ = MakeTimer(this, "timeLink", 1000);
    timer1_ = MakeTimer(this, "Timer1", 1000);
    endPause_ = MakeTimer(this, "endPause", kEndPauseMs);
    endPause_->setSingleShot(true);
    connect(timeLink_, &QTimer::timeout, this, &GeneratorLink::timeLink_Timer);
    connect(timer1_, &QTimer::timeout, this, &GeneratorLink::Timer1_Timer);
    connect(endPause_, &QTimer::timeout, this, &GeneratorLink::finishProgress);

    if (Combo2_ && Combo2_->count() == 0) {
        for (int rate : kBaudRates)
            Combo2_->addItem(QString::number(rate));
    }
    if (Combo4_ && Combo4_->count() == 0)
        Combo4_->addItems(
            {QStringLiteral("None  8bits"), QStringLiteral("Odd    7bits"), QStringLiteral("Even   7bits")});

    // activated: the user's pick, also of the entry already chosen. The
    // selections made here run their handlers explicitly.
    if (Combo1_)
        connect(Combo1_, &QComboBox::activated, this, &GeneratorLink::Combo1_Click);
    if (Combo2_)
        connect(Combo2_, &QComboBox::activated, this, &GeneratorLink::Combo2_Click);
    if (Combo4_)
        connect(Combo4_, &QComboBox::activated, this, &GeneratorLink::Combo4_Click);
    if (cmdCheck_)
        connect(cmdCheck_, &QPushButton::clicked, this, &GeneratorLink::cmdCheck_Click);
    if (Command_DetectIO_)
        connect(Command_DetectIO_, &QPushButton::clicked, this, &GeneratorLink::Command_DetectIO_Click);
    if (Command_viPrintf_)
        connect(Command_viPrintf_, &QPushButton::clicked, this, &GeneratorLink::download);
    if (cmdSendName_)
        connect(cmdSendName_, &QPushButton::clicked, this, &GeneratorLink::cmdSendName_Click);
}

void GeneratorLink::message(const QString &text)
{
    host_.prompt().message(text, kLinkTitle, MessageIcon::Information);
}

// ---- Start-up and closing

void GeneratorLink::startUp()
{
    connected_ = false;
    replaceResourceManager(DiscoverInstruments());

    serialBaud_ = 9600;
    serialDataBits_ = 8;
    serialParity_ = 0;

    if (Combo1_ && Combo1_->count() > 0)
        selectCombo1(0);
    if (Combo2_ && Combo2_->count() > 5) {
        Combo2_->setCurrentIndex(5);
        Combo2_Click();
    }
    if (Combo4_ && Combo4_->count() > 0) {
        Combo4_->setCurrentIndex(0);
        Combo4_Click();
    }

    setDownloadPass(0);
}

void GeneratorLink::shutDown()
{
    timeLink_->stop();
    timer1_->stop();
    endPause_->stop();
    closeBoth();
}

// ---- Sessions

void GeneratorLink::closeHandle(ViSession &handle)
{
    visa_.viClose(handle);
    // Closing a resource manager also ends the session opened on it.
    if (handle != VI_NULL && handle == instrRM_) {
        instrSession_ = VI_NULL;
        instrRM_ = VI_NULL;
    }
    handle = VI_NULL;
}

void GeneratorLink::closeBoth()
{
    closeHandle(instrSession_);
    instrRM_ = VI_NULL;
    closeHandle(defaultRM_);
    for (ViSession rm : retiredRMs_)
        visa_.viClose(rm);
    retiredRMs_.clear();
}

void GeneratorLink::replaceResourceManager(ViSession rm)
{
    if (defaultRM_ != VI_NULL && defaultRM_ != rm) {
        if (timeLink_->isActive() && instrSession_ != VI_NULL && instrRM_ == defaultRM_) {
            // The identification still reads on a session of this one.
            retiredRMs_.push_back(defaultRM_);
        } else {
            closeHandle(defaultRM_);
        }
    }
    defaultRM_ = rm;
}

// ---- Discovery

ViSession GeneratorLink::DiscoverInstruments()
{
    found_.clear();
    ViSession rm = VI_NULL;
    if (Failed(visa_.viOpenDefaultRM(&rm)))
        return VI_NULL;

    std::vector<std::string> usb;
    const ViStatus found = FindUsbResources(visa_, rm, usb);
    for (const std::string &resource : usb)
        found_ << QString::fromLocal8Bit(resource.c_str());
    if (Failed(found)) {
        visa_.viClose(rm);
        // No instrument at all: the connected one is gone too.
        if (found == VI_ERROR_RSRC_NFOUND && connected_)
            linkLost();
        return VI_NULL;
    }

    if (Combo1_)
        Combo1_->clear();
    int match = -1;
    int appended = 0;
    for (const QString &name : std::as_const(found_)) {
        if (name.startsWith(selectedResource_))
            match = appended;
        if (Combo1_)
            Combo1_->addItem(name);
        ++appended;
    }

    if (appended == 0) {
        if (Combo1_)
            Combo1_->addItem(QStringLiteral("ASRL1::INSTR"));
        if (connected_)
            linkLost();
    } else if (match < 0 && connected_) {
        linkLost();
    }
    selectCombo1(match < 0 ? 0 : match);
    return rm;
}

void GeneratorLink::selectCombo1(int index)
{
    if (Combo1_)
        Combo1_->setCurrentIndex(index);
    Combo1_Click();
}

void GeneratorLink::Combo1_Click()
{
    const QString text = Combo1_ ? Combo1_->currentText() : QString();
    if (connected_ && text != selectedResource_)
        dropSilently();
    selectedResource_ = text;
}

void GeneratorLink::Combo2_Click()
{
    if (!Combo1_ || !Combo2_ || !Combo1_->currentText().startsWith(QLatin1String("ASRL")))
        return;
    const int index = Combo2_->currentIndex();
    if (index >= 0 && index < static_cast<int>(std::size(kBaudRates)))
        serialBaud_ = kBaudRates[index];
}

void GeneratorLink::Combo4_Click()
{
    if (!Combo1_ || !Combo4_ || !Combo1_->currentText().startsWith(QLatin1String("ASRL")))
        return;
    switch (Combo4_->currentIndex()) {
    case 0:
        serialDataBits_ = 8;
        serialParity_ = 0;
        break;
    case 1:
        serialDataBits_ = 7;
        serialParity_ = 1;
        break;
    case 2:
        serialDataBits_ = 7;
        serialParity_ = 2;
        break;
    default: return;
    }
    const std::pair<ViAttr, ViAttrState> settings[] = {
        {VI_ATTR_ASRL_DATA_BITS, static_cast<ViAttrState>(serialDataBits_)},
        {VI_ATTR_ASRL_PARITY, static_cast<ViAttrState>(serialParity_)},
        {VI_ATTR_ASRL_STOP_BITS, VI_ASRL_STOP_ONE},
        {VI_ATTR_ASRL_FLOW_CNTRL, VI_ASRL_FLOW_NONE},
    };
    for (const auto &[attr, value] : settings)
        if (Failed(visa_.viSetAttribute(instrSession_, attr, value)))
            closeHandle(defaultRM_);
}

void GeneratorLink::cmdCheck_Click()
{
    replaceResourceManager(DiscoverInstruments());
}

bool GeneratorLink::OpenInstrument()
{
    // The session of the previous opening is not used again.
    closeHandle(instrSession_);
    instrRM_ = VI_NULL;
    replaceResourceManager(DiscoverInstruments());

    const QString name = Combo1_ ? Combo1_->currentText() : QString();
    if (!name.startsWith(QLatin1String("USB"))) {
        message(QStringLiteral("非USB接口，连接失败！重新检测接口"));
        return false;
    }
    ViSession session = VI_NULL;
    const std::string resource = Bytes(name);
    if (Failed(visa_.viOpen(defaultRM_, resource.c_str(), 0, 0, &session))) {
        closeHandle(defaultRM_);
        message(QStringLiteral("Error! 仪器打开失败，重新检测接口"));
        return false;
    }
    instrSession_ = session;
    instrRM_ = defaultRM_;
    if (Failed(visa_.viSetAttribute(instrSession_, VI_ATTR_TMO_VALUE, kIoTimeoutMs))) {
        closeHandle(defaultRM_);
        message(QStringLiteral("Error! 延时设置失败，重新检测接口"));
        return false;
    }
    SetEnabled(Combo2_, false);
    SetEnabled(Combo4_, false);
    return true;
}

// ---- Connection

void GeneratorLink::showDisconnected(const QString &model)
{
    connected_ = false;
    if (txtInstName_)
        txtInstName_->setText(model);
    if (Command_DetectIO_)
        Command_DetectIO_->setText(kConnectCaption);
    SetEnabled(Command_viPrintf_, false);
    SetEnabled(cmdSendName_, false);
    abandonDownload();
}

void GeneratorLink::linkLost()
{
    showDisconnected(kModelPrefix);
    message(QStringLiteral("与仪器连接有误，已断开！请重新连接！"));
}

void GeneratorLink::dropSilently()
{
    showDisconnected(kModelNoColon);
}

void GeneratorLink::Command_DetectIO_Click()
{
    if (Command_DetectIO_ && Command_DetectIO_->text() != kConnectCaption) {
        connected_ = false;
        closeBoth();
        showDisconnected(kModelPrefix);
        return;
    }
    if (!OpenInstrument())
        return;
    SendCommand(visa_, instrSession_, "*IDN?");
    timeLink_->start();
}

void GeneratorLink::timeLink_Timer()
{
    timeLink_->stop();
    const std::string reply = ReadReply(visa_, instrSession_);
    if (txtInstName_)
        txtInstName_->setText(kModelPrefix + QString::fromLocal8Bit(reply.c_str()).trimmed());
    closeBoth();
    if (Command_DetectIO_)
        Command_DetectIO_->setText(kDisconnectCaption);
    connected_ = true;
    SetEnabled(Command_viPrintf_, true);
    SetEnabled(cmdSendName_, true);
}

// ---- Download

void GeneratorLink::setDownloadPass(int pass)
{
    const bool was = downloading();
    downloadPass_ = pass;
    if (downloading() != was)
        emit downloadingChanged();
}

void GeneratorLink::abandonDownload()
{
    // A transfer cut off here starts again at its first chunk.
    if (downloadPass_ == 0)
        return;
    setDownloadPass(0);
    timer1_->stop();
    endPause_->stop();
    if (PbrSend_) {
        PbrSend_->setValue(0);
        PbrSend_->setVisible(false);
    }
    if (Label_TDS_percent_)
        Label_TDS_percent_->setVisible(false);
}

void GeneratorLink::setPercent()
{
    if (Label_TDS_percent_ && PbrSend_)
        Label_TDS_percent_->setText(
            QString::fromLatin1(PercentCaption(PbrSend_->value(), PbrSend_->maximum()).c_str()));
}

void GeneratorLink::finishProgress()
{
    if (PbrSend_) {
        PbrSend_->setVisible(false);
        PbrSend_->setValue(0);
    }
    if (Label_TDS_percent_)
        Label_TDS_percent_->setVisible(false);
    setPercent();
}

void GeneratorLink::download()
{
    // The first chunk carries the name: one the generator cannot take is
    // never sent, whatever put it into the field.
    if (downloadPass_ == 0 && !IsGeneratorName(Bytes(host_.nameText()))) {
        message(kBadNameMessage);
        return;
    }
    OpenInstrument();
    if (!connected_) {
        abandonDownload();
        return;
    }
    ArbStore &store = host_.store();
    if (downloadPass_ == 0) {
        ChooseDownloadScale(store);
        endPause_->stop();
        if (PbrSend_) {
            PbrSend_->setVisible(true);
            PbrSend_->setMinimum(0);
            PbrSend_->setValue(0);
            PbrSend_->setMaximum(LastPassNumber(store.ArbLength) + 1);
        }
        if (Label_TDS_percent_)
            Label_TDS_percent_->setVisible(true);
    }

    const Chunk chunk =
        BuildChunk(store, hex_, downloadPass_, Bytes(host_.nameText()), Bytes(host_.lengthText()));
    SendCommand(visa_, instrSession_, chunk.text);
    if (PbrSend_)
        PbrSend_->setValue(std::min(PbrSend_->value() + 1, PbrSend_->maximum()));
    if (chunk.last) {
        // The full bar stays a moment, then goes (finishProgress).
        if (PbrSend_)
            PbrSend_->setValue(PbrSend_->maximum());
        setDownloadPass(0);
        endPause_->start();
    } else {
        setDownloadPass(downloadPass_ + 1);
    }
    setPercent();
    if (!timer1_->isActive())
        timer1_->start();
}

void GeneratorLink::Timer1_Timer()
{
    timer1_->stop();
    if (downloadPass_ != 0)
        download();
    else
        closeBoth();
}

// ---- Name

bool GeneratorLink::nameChanged() const
{
    if (nameChanged_)
        return nameChanged_();
    const QString slot = Label_ArbNumber_ ? Label_ArbNumber_->text() : QStringLiteral("0");
    return host_.nameText() != QStringLiteral("ArbNo") + slot;
}

void GeneratorLink::cmdSendName_Click()
{
    if (!connected_) {
        message(QStringLiteral("没有与仪器连接，连接后发送！"));
        return;
    }
    if (!nameChanged()) {
        message(QStringLiteral("默认波形名称，不必发送！"));
        return;
    }
    const QString slot = Label_ArbNumber_ ? Label_ArbNumber_->text() : QStringLiteral("0");
    const std::optional<std::string> command = NameCommand(Bytes(slot), Bytes(host_.nameText()));
    if (!command) {
        message(kBadNameMessage);
        return;
    }
    OpenInstrument();
    SendCommand(visa_, instrSession_, *command);
}

} // namespace arb
