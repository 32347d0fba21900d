#include "app/GeneratorLink.h"

#include "app/MainControls.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "link/generator/DownloadChunk.h"
#include "link/generator/GeneratorMessages.h"
#include "link/generator/GeneratorName.h"
#include "view/UserPrompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace arb
{

namespace
{

const QString kConnectCaption = QStringLiteral("连   接");
const QString kDisconnectCaption = QStringLiteral("断   开");
const QString kModelPrefix = QStringLiteral("仪器型号：");
const QString kModelNoColon = QStringLiteral("仪器型号");

// How long the full progress bar stays after the last chunk.
constexpr int kEndPauseMs = 300;

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

GeneratorLink::GeneratorLink(const MainControls &c, WaveformHost &host, visa::VisaApi &visa, QObject *parent)
    : QObject(parent), host_(host), driver_(visa), Combo1_(c.Combo1), Combo2_(c.Combo2), Combo4_(c.Combo4),
      cmdCheck_(c.cmdCheck), Command_DetectIO_(c.Command_DetectIO), Command_viPrintf_(c.Command_viPrintf),
      cmdSendName_(c.cmdSendName), txtInstName_(c.txtInstName), PbrSend_(c.PbrSend),
      Label_TDS_percent_(c.Label_TDS_percent), Label_ArbNumber_(c.Label_ArbNumber)
{
    timeLink_ = MakeTimer(this, "timeLink", 1000);
    timer1_ = MakeTimer(this, "Timer1", 1000);
    endPause_ = MakeTimer(this, "endPause", kEndPauseMs);
    endPause_->setSingleShot(true);
    connect(timeLink_, &QTimer::timeout, this, &GeneratorLink::timeLink_Timer);
    connect(timer1_, &QTimer::timeout, this, &GeneratorLink::Timer1_Timer);
    connect(endPause_, &QTimer::timeout, this, &GeneratorLink::finishProgress);

    if (Combo2_->count() == 0) {
        for (int rate : GeneratorDriver::SerialBaudRates())
            Combo2_->addItem(QString::number(rate));
    }
    if (Combo4_->count() == 0)
        Combo4_->addItems(
            {QStringLiteral("None  8bits"), QStringLiteral("Odd    7bits"), QStringLiteral("Even   7bits")});

    // activated: the user's pick, also of the entry already chosen. The
    // selections made here run their handlers explicitly.
    connect(Combo1_, &QComboBox::activated, this, &GeneratorLink::Combo1_Click);
    connect(Combo2_, &QComboBox::activated, this, &GeneratorLink::Combo2_Click);
    connect(Combo4_, &QComboBox::activated, this, &GeneratorLink::Combo4_Click);
    connect(cmdCheck_, &QPushButton::clicked, this, &GeneratorLink::cmdCheck_Click);
    connect(Command_DetectIO_, &QPushButton::clicked, this, &GeneratorLink::Command_DetectIO_Click);
    connect(Command_viPrintf_, &QPushButton::clicked, this, &GeneratorLink::download);
    connect(cmdSendName_, &QPushButton::clicked, this, &GeneratorLink::cmdSendName_Click);

    connect(&driver_, &GeneratorDriver::connectedChanged, this, &GeneratorLink::showConnection);
    const ChunkedDownload *run = &driver_.download();
    connect(run, &ChunkedDownload::runningChanged, this, &GeneratorLink::downloadingChanged);
    connect(run, &ChunkedDownload::started, this, &GeneratorLink::downloadStarted);
    connect(run, &ChunkedDownload::chunkSent, this, &GeneratorLink::chunkSent);
    connect(run, &ChunkedDownload::abandoned, this, &GeneratorLink::downloadAbandoned);
}

void GeneratorLink::message(const QString &text)
{
    host_.prompt().message(text, GeneratorTitle(), MessageIcon::Information);
}

// ---- Start-up and closing

void GeneratorLink::startUp()
{
    driver_.startUp();
    driver_.adoptResourceManager(DiscoverInstruments());
    if (Combo1_->count() > 0)
        selectCombo1(0);
    if (Combo2_->count() > 5) {
        Combo2_->setCurrentIndex(5);
        Combo2_Click();
    }
    if (Combo4_->count() > 0) {
        Combo4_->setCurrentIndex(0);
        Combo4_Click();
    }
}

void GeneratorLink::shutDown()
{
    timeLink_->stop();
    timer1_->stop();
    endPause_->stop();
    driver_.shutDown();
}

// ---- Instruments

visa::ViSession GeneratorLink::DiscoverInstruments()
{
    GeneratorDriver::Discovery found;
    const visa::ViSession rm = driver_.discover(found);
    if (found.listed) {
        Combo1_->clear();
        Combo1_->addItems(found.entries);
        Combo1_->setCurrentIndex(found.select);
    }
    if (found.lost)
        linkLost();
    if (found.leftQuietly)
        txtInstName_->setText(kModelNoColon);
    return rm;
}

void GeneratorLink::selectCombo1(int index)
{
    Combo1_->setCurrentIndex(index);
    Combo1_Click();
}

void GeneratorLink::Combo1_Click()
{
    if (driver_.choose(Combo1_->currentText()))
        txtInstName_->setText(kModelNoColon);
}

void GeneratorLink::Combo2_Click()
{
    driver_.chooseBaud(Combo2_->currentIndex());
}

void GeneratorLink::Combo4_Click()
{
    driver_.chooseDataFormat(Combo4_->currentIndex());
}

void GeneratorLink::cmdCheck_Click()
{
    driver_.adoptResourceManager(DiscoverInstruments());
}

bool GeneratorLink::OpenInstrument()
{
    // The session of the previous opening is not used again.
    driver_.dropSession();
    driver_.adoptResourceManager(DiscoverInstruments());
    const GeneratorDriver::OpenResult result = driver_.openChosen();
    if (result != GeneratorDriver::OpenResult::Opened) {
        message(OpenFailureMessage(result));
        return false;
    }
    Combo2_->setEnabled(false);
    Combo4_->setEnabled(false);
    return true;
}

// ---- Connection

void GeneratorLink::showConnection(bool connected)
{
    Command_DetectIO_->setText(connected ? kDisconnectCaption : kConnectCaption);
    Command_viPrintf_->setEnabled(connected);
    cmdSendName_->setEnabled(connected);
}

void GeneratorLink::linkLost()
{
    txtInstName_->setText(kModelPrefix);
    message(LinkLostMessage());
}

void GeneratorLink::Command_DetectIO_Click()
{
    if (driver_.connected()) {
        driver_.closeLink();
        txtInstName_->setText(kModelPrefix);
        return;
    }
    if (!OpenInstrument())
        return;
    driver_.sendIdentify();
    timeLink_->start();
}

void GeneratorLink::timeLink_Timer()
{
    timeLink_->stop();
    txtInstName_->setText(kModelPrefix + driver_.finishIdentify());
}

// ---- Download

void GeneratorLink::download()
{
    // The one place a download reads the waveform, its name and its count.
    // The first step scales the waveform for the generator; that scale is
    // an edit in place of the document.
    WaveDocument &document = host_.document();
    const bool first = !driver_.download().running();
    ArbStore store = document.store();
    const ChunkedDownload::Step step =
        driver_.download().step(*this, store, Bytes(document.name()), Bytes(host_.lengthText()));
    if (first && step != ChunkedDownload::Step::BadName && step != ChunkedDownload::Step::LinkLost)
        document.assign(store);
    if (step == ChunkedDownload::Step::BadName) {
        message(BadNameMessage());
        return;
    }
    if (step == ChunkedDownload::Step::LinkLost)
        return;
    if (!timer1_->isActive())
        timer1_->start();
}

bool GeneratorLink::reopenForChunk()
{
    OpenInstrument();
    return driver_.connected();
}

void GeneratorLink::sendChunk(const std::string &command)
{
    driver_.send(command);
}

void GeneratorLink::downloadStarted(int chunks)
{
    endPause_->stop();
    PbrSend_->setVisible(true);
    PbrSend_->setMinimum(0);
    PbrSend_->setValue(0);
    PbrSend_->setMaximum(chunks);
    Label_TDS_percent_->setVisible(true);
}

void GeneratorLink::chunkSent(bool last)
{
    // The bar is shared with the oscilloscope: it counts on from what it
    // shows.
    PbrSend_->setValue(std::min(PbrSend_->value() + 1, PbrSend_->maximum()));
    if (last) {
        // The full bar stays a moment, then goes (finishProgress).
        PbrSend_->setValue(PbrSend_->maximum());
        endPause_->start();
    }
    setPercent();
}

void GeneratorLink::downloadAbandoned()
{
    timer1_->stop();
    endPause_->stop();
    PbrSend_->setValue(0);
    PbrSend_->setVisible(false);
    Label_TDS_percent_->setVisible(false);
}

void GeneratorLink::setPercent()
{
    Label_TDS_percent_->setText(
        QString::fromLatin1(PercentCaption(PbrSend_->value(), PbrSend_->maximum()).c_str()));
}

void GeneratorLink::finishProgress()
{
    PbrSend_->setVisible(false);
    PbrSend_->setValue(0);
    Label_TDS_percent_->setVisible(false);
    setPercent();
}

void GeneratorLink::Timer1_Timer()
{
    timer1_->stop();
    if (driver_.download().running())
        download();
    else
        driver_.closeSessions();
}

// ---- Name

bool GeneratorLink::nameChanged() const
{
    if (nameChanged_)
        return nameChanged_();
    return host_.document().name() != QStringLiteral("ArbNo") + Label_ArbNumber_->text();
}

void GeneratorLink::cmdSendName_Click()
{
    if (!driver_.connected()) {
        message(NotConnectedMessage());
        return;
    }
    if (!nameChanged()) {
        message(DefaultNameMessage());
        return;
    }
    const std::optional<std::string> command =
        NameCommand(Bytes(Label_ArbNumber_->text()), Bytes(host_.document().name()));
    if (!command) {
        message(BadNameMessage());
        return;
    }
    OpenInstrument();
    driver_.send(*command);
}

} // namespace arb
