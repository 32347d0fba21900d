#include "app/ScopeCapture.h"

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "scope/PortMessages.h"
#include "scope/QtSerialPortIo.h"
#include "scope/ScopeClock.h"
#include "scope/TdsCommands.h"
#include "scope/UsbScopeWorker.h"
#include "view/ChosenEntryGuard.h"
#include "view/PopupComboBox.h"
#include "view/UserPrompt.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>

namespace arb
{

namespace
{

const int kTimerIntervalMs = 500;

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

template <typename T> T *Control(QWidget *window, const char *name)
{
    T *w = window->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("The oscilloscope frame has no control %s", name);
    return w;
}

} // namespace

ScopeCapture::ScopeCapture(QWidget *window, WaveformHost &host, const ScopeCaptureServices &services)
    : QObject(window), host_(host)
{
    SerialPortIo *port = services.port;
    if (!port) {
        ownPort_ = std::make_unique<QtSerialPortIo>();
        port = ownPort_.get();
    }
    clock_ = services.clock;
    if (!clock_) {
        ownClock_ = std::make_unique<SteadyScopeClock>();
        clock_ = ownClock_.get();
    }
    comm_ = std::make_unique<ScopeComm>(*port, services.portName);
    if (services.visa)
        usb_ = std::make_unique<UsbScopeWorker>(*services.visa);

    cobSetComm_ = Control<QComboBox>(window, "cobSetComm");
    cobBaud_ = Control<QComboBox>(window, "cobBaud");
    cobParity_ = Control<QComboBox>(window, "cobParity");
    cobFlowHardSoft_ = Control<QComboBox>(window, "cobFlowHardSoft");
    cobOscilEOLString_ = Control<QComboBox>(window, "cobOscilEOLString");
    cobChannel_ = Control<QComboBox>(window, "cobChannel");
    cmdLink_ = Control<QPushButton>(window, "cmdLink");
    cmdReadValue_ = Control<QPushButton>(window, "cmdReadValue");
    PbrSend_ = Control<QProgressBar>(window, "PbrSend");
    Label_TDS_percent_ = Control<QLabel>(window, "Label_TDS_percent");

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer_TDS"));
    timer_->setInterval(kTimerIntervalMs);

    fillEntries(cobSetComm_, PortEntries());
    fillEntries(cobBaud_, BaudEntries());
    fillEntries(cobParity_, ParityEntries());
    fillEntries(cobFlowHardSoft_, FlowEntries());
    fillEntries(cobOscilEOLString_, EolEntries());
    fillEntries(cobChannel_, SourceEntries());

    connect(cobSetComm_, &QComboBox::activated, this, &ScopeCapture::cobSetComm_Click);
    connect(cobBaud_, &QComboBox::activated, this, &ScopeCapture::cobBaud_Click);
    connect(cobParity_, &QComboBox::activated, this, &ScopeCapture::cobParity_Click);
    connect(cobFlowHardSoft_, &QComboBox::activated, this, &ScopeCapture::cobFlowHardSoft_Click);
    connect(cobOscilEOLString_, &QComboBox::activated, this, &ScopeCapture::cobOscilEOLString_Click);
    connect(cobChannel_, &QComboBox::activated, this, &ScopeCapture::cobChannel_Click);
    connect(cmdLink_, &QPushButton::clicked, this, &ScopeCapture::cmdLink_Click);
    connect(cmdReadValue_, &QPushButton::clicked, this, &ScopeCapture::cmdReadValue_Click);
    connect(port, &SerialPortIo::dataArrived, this, &ScopeCapture::MSComm_TDS_OnComm);
    connect(timer_, &QTimer::timeout, this, &ScopeCapture::Timer_TDS_Timer);
    if (usb_) {
        if (auto *popup = qobject_cast<PopupComboBox *>(cobSetComm_))
            connect(popup, &PopupComboBox::popupAboutToShow, this, &ScopeCapture::portListAboutToShow);
        connect(usb_.get(), &UsbScopeWorker::identified, this, &ScopeCapture::usbIdentified);
        connect(usb_.get(), &UsbScopeWorker::traceProgress, this, &ScopeCapture::usbTraceProgress);
        connect(usb_.get(), &UsbScopeWorker::traceRead, this, &ScopeCapture::usbTraceRead);
    }
}

ScopeCapture::~ScopeCapture()
{
    shutDown();
}

void ScopeCapture::fillEntries(QComboBox *box, const QStringList &entries)
{
    // The text stays what the window gave it (the box's own name) until an
    // entry is selected; typing into it stores nothing.
    const QString text = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    new ChosenEntryGuard(box);
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
    comm_->setDtrEnable(true);
    comm_->setRtsEnable(true);
    settings_.ScopeDataBits = QStringLiteral("8");
    state_.ScopePhase = 0;
    state_.ScopeReplyDone = false;
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
    if (found == usbEntries())
        return;
    const QString chosen = Chosen(cobSetComm_);
    const QString text = cobSetComm_->currentText();
    const QSignalBlocker block(cobSetComm_);
    const int ports = static_cast<int>(PortEntries().size());
    while (cobSetComm_->count() > ports)
        cobSetComm_->removeItem(cobSetComm_->count() - 1);
    cobSetComm_->addItems(found);
    const int index = chosen.isEmpty() ? -1 : cobSetComm_->findText(chosen, Qt::MatchExactly);
    cobSetComm_->setCurrentIndex(index);
    if (index < 0)
        cobSetComm_->setEditText(text);
}

void ScopeCapture::portListAboutToShow()
{
    refreshUsbEntries();
    // Resource names are long; the list shows them whole. It is sized as it
    // opens, not with its entries, so that listing the instruments at
    // start-up does not build the list before it is first wanted.
    QAbstractItemView *list = cobSetComm_->view();
    list->setTextElideMode(Qt::ElideNone);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8);
}

QStringList ScopeCapture::usbEntries() const
{
    QStringList entries;
    for (int i = static_cast<int>(PortEntries().size()); i < cobSetComm_->count(); ++i)
        entries << cobSetComm_->itemText(i);
    return entries;
}

void ScopeCapture::selectDefaultEntries()
{
    struct Default {
        QComboBox *box;
        int index;
        void (ScopeCapture::*rule)();
    };
    const Default defaults[] = {
        {cobSetComm_, 0, &ScopeCapture::cobSetComm_Click},
        {cobBaud_, 4, &ScopeCapture::cobBaud_Click},
        {cobParity_, 0, &ScopeCapture::cobParity_Click},
        {cobFlowHardSoft_, 0, &ScopeCapture::cobFlowHardSoft_Click},
        {cobOscilEOLString_, 0, &ScopeCapture::cobOscilEOLString_Click},
        {cobChannel_, 0, &ScopeCapture::cobChannel_Click},
    };
    for (const Default &d : defaults) {
        d.box->setCurrentIndex(d.index);
        (this->*d.rule)();
    }
}

void ScopeCapture::shutDown()
{
    timer_->stop();
    if (usb_) {
        usb_->abandon();
        usb_->wait();
    }
    if (comm_->isOpen())
        comm_->close();
}

void ScopeCapture::cobSetComm_Click()
{
    const bool wasUsb = settings_.UsesUsb();
    if (!settings_.SelectPort(Chosen(cobSetComm_), usbEntries()))
        return;
    const bool usb = settings_.UsesUsb();
    // Baud, parity, flow control and line end belong to the serial port;
    // they keep their values for it.
    for (QComboBox *serialOnly : {cobBaud_, cobParity_, cobFlowHardSoft_, cobOscilEOLString_})
        serialOnly->setEnabled(!usb);
    if (usb != wasUsb) {
        // Another kind of link: the one in use ends, without a message.
        if (comm_->isOpen())
            comm_->close();
        dropLink();
    }
    if (usb)
        return;
    if (!comm_->isOpen()) {
        comm_->setCommPort(settings_.ScopePort);
        return;
    }
    // A port change takes effect at once, even while connected.
    comm_->close();
    comm_->setCommPort(settings_.ScopePort);
    const PortOpenResult result = comm_->open();
    if (result != PortOpenResult::Opened) {
        reportOpenFailure(result);
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
    if (cmdLink_->text() == DisconnectCaption()) {
        comm_->close();
        // A trace read under way is abandoned: its reply, or its failure,
        // no longer comes.
        dropLink();
        return;
    }
    if (settings_.UsesUsb()) {
        connectUsb();
        return;
    }

    // A trace read under way ends: its bytes now count as the reply.
    emit traceReadEnded();
    state_.ScopePhase = 0;
    PbrSend_->setMinimum(0);
    PbrSend_->setValue(0);
    if (comm_->isOpen())
        comm_->close();
    comm_->setCommPort(settings_.ScopePort);
    comm_->setHandshaking(settings_.ScopeHandshake);
    comm_->setDtrEnable(true);
    comm_->setRtsEnable(true);
    comm_->setSettings(settings_.PortSettingsString());
    const PortOpenResult result = comm_->open();
    if (result != PortOpenResult::Opened) {
        // Nothing is sent and nothing waits for a reply, not even an earlier
        // identification still under way.
        dropLink();
        reportOpenFailure(result);
        return;
    }

    Label_TDS_percent_->setVisible(false);
    state_.beginIdentify(now(), settings_.ScopeBaud);
    timer_->start(kTimerIntervalMs);
    if (!send(IdentifyCommand(settings_.ScopeEol)))
        return;
    PbrSend_->setValue(0);
    PbrSend_->setVisible(true);
}

void ScopeCapture::connectUsb()
{
    state_.ScopePhase = 0;
    Label_TDS_percent_->setVisible(false);
    showBusy();
    usb_->identify(settings_.ScopeResource);
}

void ScopeCapture::usbIdentified(bool ok)
{
    PbrSend_->setRange(0, 1);
    if (ok)
        identified();
    else
        identifyFailed();
}

void ScopeCapture::cmdReadValue_Click()
{
    startTraceRead();
    if (settings_.UsesUsb()) {
        showTraceProgress();
        showBusy();
        usb_->readTrace(settings_.ScopeResource, settings_.ScopeSource);
        return;
    }
    timer_->start(kTimerIntervalMs);
    for (const QByteArray &command : TraceReadCommands(settings_.ScopeSource, settings_.ScopeEol)) {
        if (!send(command))
            return;
    }
    showTraceProgress();
}

void ScopeCapture::startTraceRead()
{
    emit traceReadStarted();
    state_.beginTrace(now(), settings_.ScopeBaud);
    Label_TDS_percent_->setText(
        CaptureState::PercentText(state_.ScopeByteCount / static_cast<double>(kTracePoints) * 100.0));
}

void ScopeCapture::showTraceProgress()
{
    Label_TDS_percent_->setVisible(true);
    PbrSend_->setMaximum(kTracePoints);
    PbrSend_->setValue(0);
    PbrSend_->setVisible(true);
}

void ScopeCapture::showBusy()
{
    // Nothing is known of a USB reply until its points come.
    PbrSend_->setRange(0, 0);
    PbrSend_->setVisible(true);
}

void ScopeCapture::usbTraceProgress(int dataBytes)
{
    PbrSend_->setRange(0, kTracePoints);
    PbrSend_->setValue(dataBytes);
    Label_TDS_percent_->setText(
        CaptureState::PercentText(dataBytes / static_cast<double>(kTracePoints) * 100.0));
}

void ScopeCapture::usbTraceRead(bool ok, const QByteArray &points)
{
    PbrSend_->setRange(0, kTracePoints);
    if (!ok || points.size() < kTracePoints) {
        traceFailed();
        return;
    }
    std::array<float, kTracePoints> values{};
    for (int i = 0; i < kTracePoints; ++i)
        values[static_cast<std::size_t>(i)] = TracePointValue(static_cast<unsigned char>(points[i]));
    host_.document().setPoints(0, values.data(), kTracePoints);
    takeTrace();
}

void ScopeCapture::MSComm_TDS_OnComm()
{
    // Everything that has arrived is read; nothing is thrown away unread.
    const QByteArray bytes = comm_->input();
    if (bytes.isEmpty())
        return;

    if (state_.ScopePhase == 0) {
        const CaptureState::IdentifyProgress p = state_.receiveIdentify(bytes, settings_.ScopeEol);
        PbrSend_->setMaximum(p.maximum);
        if (p.value)
            PbrSend_->setValue(*p.value);
        if (p.identified) {
            timer_->stop();
            identified();
        }
        return;
    }

    const CaptureState::TraceProgress p = state_.receiveTrace(bytes, settings_.ScopeEol, host_.document());
    if (p.percentBefore)
        Label_TDS_percent_->setText(*p.percentBefore);
    if (p.value)
        PbrSend_->setValue(*p.value);
    if (p.complete) {
        timer_->stop();
        takeTrace();
    }
}

void ScopeCapture::Timer_TDS_Timer()
{
    const CaptureState::Verdict verdict = state_.judge(now());
    if (verdict == CaptureState::Verdict::Wait)
        return;
    timer_->stop();

    switch (verdict) {
    case CaptureState::Verdict::Identified: identified(); return;
    case CaptureState::Verdict::IdentifyFailed: identifyFailed(); return;
    case CaptureState::Verdict::TraceComplete: takeTrace(); return;
    case CaptureState::Verdict::TraceFailed: traceFailed(); return;
    case CaptureState::Verdict::Wait: return;
    }
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

void ScopeCapture::takeTrace()
{
    // Also a trace that completes after its read was judged failed.
    emit traceReadStarted();
    ArbStore trace = host_.document().store();
    trace.ArbLength = static_cast<float>(kTracePoints);
    host_.document().replaceAll(trace);
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

bool ScopeCapture::send(const QByteArray &bytes)
{
    QString message;
    if (!comm_->isOpen()) {
        message = PortClosedMessage(comm_->portLabel());
    } else if (!comm_->output(bytes)) {
        message = PortWriteFailedMessage(comm_->portLabel());
        comm_->close();
    } else {
        return true;
    }
    dropLink();
    host_.prompt().message(message, ScopeFailureTitle(), MessageIcon::Critical);
    return false;
}

void ScopeCapture::reportOpenFailure(PortOpenResult result)
{
    host_.prompt().message(PortOpenFailedMessage(result, comm_->portLabel(), comm_->deviceName()),
                           ScopeFailureTitle(), MessageIcon::Critical);
}

void ScopeCapture::dropLink()
{
    emit traceReadEnded();
    const bool usbBusy = usb_ && usb_->busy();
    if (usb_)
        usb_->abandon();
    if (timer_->isActive() || usbBusy) {
        timer_->stop();
        PbrSend_->setRange(0, kTracePoints);
        PbrSend_->setVisible(false);
        Label_TDS_percent_->setVisible(false);
        Label_TDS_percent_->setText(QString());
    }
    if (cmdLink_->text() == DisconnectCaption())
        cmdLink_->setText(ConnectCaption());
    cmdReadValue_->setEnabled(false);
}

qint64 ScopeCapture::now() const
{
    return clock_->nowMs();
}

} // namespace arb
