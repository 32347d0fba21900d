#include "app/ScopeCapture.h"

#include "app/MainControls.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "scope/PortMessages.h"
#include "scope/QtSerialPortIo.h"
#include "scope/TdsCommands.h"
#include "view/ChosenEntryGuard.h"
#include "view/PopupComboBox.h"
#include "view/UserPrompt.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace arb
{

namespace
{

QString DisconnectCaption()
{
    return QStringLiteral("断开TEK示波器");
}

QString ConnectCaption()
{
    return QStringLiteral("连接TEK示波器");
}

// The entry the user chose; typed text never counts.
QString Chosen(const QComboBox *box)
{
    return box->currentIndex() >= 0 ? box->itemText(box->currentIndex()) : QString();
}

} // namespace

ScopeCapture::ScopeCapture(const MainControls &c, WaveformHost &host, const ScopeCaptureServices &services,
                           QObject *parent)
    : QObject(parent), host_(host), cobSetComm_(c.cobSetComm), cobBaud_(c.cobBaud), cobParity_(c.cobParity),
      cobFlowHardSoft_(c.cobFlowHardSoft), cobOscilEOLString_(c.cobOscilEOLString), cobChannel_(c.cobChannel),
      cmdLink_(c.cmdLink), cmdReadValue_(c.cmdReadValue), PbrSend_(c.PbrSend),
      Label_TDS_percent_(c.Label_TDS_percent), ports_(c.cobSetComm)
{
    SerialPortIo *port = services.port;
    if (!port) {
        ownPort_ = std::make_unique<QtSerialPortIo>();
        port = ownPort_.get();
    }
    ScopeClock *clock = services.clock;
    if (!clock) {
        ownClock_ = std::make_unique<SteadyScopeClock>();
        clock = ownClock_.get();
    }
    serial_ = std::make_unique<SerialTds>(settings_, *port, services.portName, *clock);
    if (services.visa)
        usb_ = std::make_unique<UsbTds>(settings_, *services.visa);

    for (const SettingBox &b : settingBoxes()) {
        ChosenEntryGuard::Fill(b.box, b.entries);
        connect(b.box, &QComboBox::activated, this, b.rule);
    }
    connect(cmdLink_, &QPushButton::clicked, this, &ScopeCapture::cmdLink_Click);
    connect(cmdReadValue_, &QPushButton::clicked, this, &ScopeCapture::cmdReadValue_Click);
    for (ScopeTransport *t : transports())
        wire(t);
    // The instruments are looked for again each time the port list opens.
    auto *popup = qobject_cast<PopupComboBox *>(cobSetComm_);
    if (usb_ && popup) {
        connect(popup, &PopupComboBox::popupAboutToShow, this, [this] {
            refreshUsbEntries();
            ports_.widenForPopup();
        });
    }
}

ScopeCapture::~ScopeCapture()
{
    shutDown();
}

void ScopeCapture::wire(ScopeTransport *t)
{
    connect(t, &ScopeTransport::waiting, this, &ScopeCapture::showWaiting);
    connect(t, &ScopeTransport::counting, this, [this](int maximum) { PbrSend_->setRange(0, maximum); });
    connect(t, &ScopeTransport::identifyProgress, this, &ScopeCapture::showIdentifyProgress);
    connect(t, &ScopeTransport::identified, this, &ScopeCapture::identified);
    connect(t, &ScopeTransport::identifyFailed, this, &ScopeCapture::identifyFailed);
    connect(t, &ScopeTransport::traceProgress, this, &ScopeCapture::showTraceProgress);
    connect(t, &ScopeTransport::traceRead, this, &ScopeCapture::takeTrace);
    connect(t, &ScopeTransport::traceFailed, this, &ScopeCapture::traceFailed);
}

ScopeTransport &ScopeCapture::transport()
{
    return settings_.UsesUsb() ? static_cast<ScopeTransport &>(*usb_) : *serial_;
}

std::vector<ScopeTransport *> ScopeCapture::transports() const
{
    std::vector<ScopeTransport *> all{serial_.get()};
    if (usb_)
        all.push_back(usb_.get());
    return all;
}

bool ScopeCapture::linked() const
{
    const std::vector<ScopeTransport *> all = transports();
    return std::any_of(all.begin(), all.end(), [](const ScopeTransport *t) { return t->connected(); });
}

void ScopeCapture::startUp()
{
    setStartUpValues();
    refreshUsbEntries();
    selectDefaultEntries();
}

void ScopeCapture::setStartUpValues()
{
    settings_.SetStartUpValues();
    serial_->startUp();
    settings_.ScopeDataBits = QStringLiteral("8");
}

void ScopeCapture::refreshUsbEntries()
{
    if (usb_)
        listUsbInstruments(usb_->instruments());
}

void ScopeCapture::listUsbInstruments(QStringList found)
{
    if (!usb_)
        return;
    if (settings_.UsesUsb() && !found.contains(settings_.ScopeResource))
        found << settings_.ScopeResource;
    ports_.setInstruments(found);
}

std::vector<ScopeCapture::SettingBox> ScopeCapture::settingBoxes() const
{
    return {
        {cobSetComm_, PortEntries(), 0, &ScopeCapture::cobSetComm_Click},
        {cobBaud_, BaudEntries(), 4, &ScopeCapture::cobBaud_Click},
        {cobParity_, ParityEntries(), 0, &ScopeCapture::cobParity_Click},
        {cobFlowHardSoft_, FlowEntries(), 0, &ScopeCapture::cobFlowHardSoft_Click},
        {cobOscilEOLString_, EolEntries(), 0, &ScopeCapture::cobOscilEOLString_Click},
        {cobChannel_, SourceEntries(), 0, &ScopeCapture::cobChannel_Click},
    };
}

void ScopeCapture::selectDefaultEntries()
{
    for (const SettingBox &b : settingBoxes()) {
        b.box->setCurrentIndex(b.defaultIndex);
        (this->*b.rule)();
    }
}

void ScopeCapture::shutDown()
{
    for (ScopeTransport *t : transports())
        t->close();
    if (usb_)
        usb_->wait();
}

void ScopeCapture::cobSetComm_Click()
{
    const ScopeTransport *before = &transport();
    if (!settings_.SelectPort(Chosen(cobSetComm_), ports_.instruments()))
        return;
    // Baud, parity, flow control and line end belong to the serial port;
    // they keep their values for it.
    const bool serialPort = &transport() == serial_.get();
    for (QComboBox *serialOnly : {cobBaud_, cobParity_, cobFlowHardSoft_, cobOscilEOLString_})
        serialOnly->setEnabled(serialPort);
    // Another kind of link: the one in use ends, without a message.
    if (&transport() != before)
        dropLink();
    const QString failure = transport().followPort();
    if (!failure.isEmpty()) {
        report(failure);
        dropLink();
    }
}

void ScopeCapture::cobBaud_Click()
{
    settings_.SelectBaud(Chosen(cobBaud_));
}

void ScopeCapture::cobParity_Click()
{
    settings_.SelectParity(Chosen(cobParity_));
}

void ScopeCapture::cobFlowHardSoft_Click()
{
    settings_.SelectFlow(Chosen(cobFlowHardSoft_));
}

void ScopeCapture::cobOscilEOLString_Click()
{
    settings_.SelectEol(Chosen(cobOscilEOLString_));
}

void ScopeCapture::cobChannel_Click()
{
    settings_.SelectSource(Chosen(cobChannel_));
}

void ScopeCapture::cmdLink_Click()
{
    if (linked()) {
        // A trace read under way is abandoned: its reply, or its failure,
        // no longer comes.
        dropLink();
        return;
    }
    // A trace read under way ends: its bytes now count as the reply.
    emit traceReadEnded();
    PbrSend_->setMinimum(0);
    PbrSend_->setValue(0);
    const QString failure = transport().identify();
    if (!failure.isEmpty()) {
        // Nothing waits for a reply, not even an earlier identification
        // still under way.
        dropLink();
        report(failure);
        return;
    }
    Label_TDS_percent_->setVisible(false);
    PbrSend_->setVisible(true);
}

void ScopeCapture::cmdReadValue_Click()
{
    emit traceReadStarted();
    Label_TDS_percent_->setText(CaptureState::PercentText(0.0));
    Label_TDS_percent_->setVisible(true);
    PbrSend_->setMaximum(kTracePoints);
    PbrSend_->setValue(0);
    PbrSend_->setVisible(true);
    const QString failure = transport().readTrace(settings_.ScopeSource);
    if (!failure.isEmpty()) {
        dropLink();
        report(failure);
    }
}

void ScopeCapture::showWaiting()
{
    PbrSend_->setRange(0, 0);
    PbrSend_->setVisible(true);
}

void ScopeCapture::showIdentifyProgress(int value, int maximum)
{
    PbrSend_->setMaximum(maximum);
    PbrSend_->setValue(value);
}

void ScopeCapture::identified()
{
    host_.showLengthText(QString::number(static_cast<double>(host_.document().length())));
    cmdLink_->setText(DisconnectCaption());
    cmdReadValue_->setEnabled(true);
    PbrSend_->setVisible(false);
}

void ScopeCapture::identifyFailed()
{
    host_.prompt().message(IdentifyFailedMessage(), ScopeFailureTitle(), MessageIcon::Critical);
    PbrSend_->setVisible(false);
}

void ScopeCapture::showTraceProgress(int points, const QString &percent)
{
    if (!percent.isEmpty())
        Label_TDS_percent_->setText(percent);
    PbrSend_->setValue(points);
}

void ScopeCapture::takeTrace(const QByteArray &points)
{
    // Also a trace that completes after its read was judged failed.
    emit traceReadStarted();
    // The one place a trace becomes the waveform: points 0..2499, the
    // points beyond keeping theirs.
    WaveDocument &document = host_.document();
    ArbStore trace = document.store();
    for (int i = 0; i < kTracePoints; ++i)
        trace.ArbData[i] = TracePointValue(static_cast<unsigned char>(points[i]));
    trace.ArbLength = static_cast<float>(kTracePoints);
    document.replaceAll(trace);
    endTraceProgress();
}

void ScopeCapture::traceFailed()
{
    host_.prompt().message(TraceFailedMessage(), ScopeReadFailureTitle(), MessageIcon::Critical);
    endTraceProgress();
}

void ScopeCapture::endTraceProgress()
{
    PbrSend_->setVisible(false);
    Label_TDS_percent_->setVisible(false);
    Label_TDS_percent_->setText(QString());
    emit traceReadEnded();
}

void ScopeCapture::report(const QString &message)
{
    host_.prompt().message(message, ScopeFailureTitle(), MessageIcon::Critical);
}

void ScopeCapture::dropLink()
{
    emit traceReadEnded();
    const bool wasLinked = linked();
    bool pending = false;
    for (ScopeTransport *t : transports()) {
        pending = pending || t->pending();
        t->close();
    }
    if (pending) {
        PbrSend_->setRange(0, kTracePoints);
        PbrSend_->setVisible(false);
        Label_TDS_percent_->setVisible(false);
        Label_TDS_percent_->setText(QString());
    }
    if (wasLinked)
        cmdLink_->setText(ConnectCaption());
    cmdReadValue_->setEnabled(false);
}

} // namespace arb
