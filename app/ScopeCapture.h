#pragma once

#include "scope/CaptureState.h"
#include "scope/PortNames.h"
#include "scope/ScopeClock.h"
#include "scope/ScopeComm.h"
#include "scope/ScopeSettings.h"

#include <QObject>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace arb
{

namespace visa
{
class VisaApi;
}

class SerialPortIo;
class UsbScopeWorker;
class WaveformHost;

// What the oscilloscope link is given from outside. Empty members get the
// program's own: a QSerialPort, a monotonic clock and the platform's port
// names. Without a VISA layer no USB instrument is offered.
struct ScopeCaptureServices {
    SerialPortIo *port = nullptr;
    ScopeClock *clock = nullptr;
    PortNameResolver portName;
    visa::VisaApi *visa = nullptr;
};

// The frame "泰克示波器采集波形": the settings of the oscilloscope link,
// connecting to the oscilloscope, and reading a 2500-point trace into the
// waveform, over a serial port or from a USB instrument. It finds its
// controls by name in the window it is given, fills the combo boxes and owns
// the timer Timer_TDS. USB conversations run off the window's thread.
class ScopeCapture : public QObject
{
    Q_OBJECT
  public:
    ScopeCapture(QWidget *window, WaveformHost &host, const ScopeCaptureServices &services = {});
    ~ScopeCapture() override;

    // Start-up: the default settings with DTR and RTS on and the capture
    // state cleared, then the USB instruments found now listed and the
    // default entry of every combo box, each applied by its selection rule.
    // The window runs the steps itself and lists what the generator's
    // discovery found, so that one find serves both.
    void startUp();
    void setStartUpValues();
    void selectDefaultEntries();

    // Closing the window: the port is closed if it is open; a USB
    // conversation under way is waited for and its result dropped.
    void shutDown();

    // Lists the USB instruments found now after "COM1" ... "COM5". The one
    // chosen stays listed while it is chosen, found or not.
    void refreshUsbEntries();
    // The same with instruments another discovery has just found.
    void listUsbInstruments(QStringList found);

    // Selection rules of the combo boxes.
    void cobSetComm_Click();
    void cobBaud_Click();
    void cobParity_Click();
    void cobFlowHardSoft_Click();
    void cobOscilEOLString_Click();
    void cobChannel_Click();

    void cmdLink_Click();
    void cmdReadValue_Click();
    void MSComm_TDS_OnComm();
    void Timer_TDS_Timer();

    // Results of the USB conversations.
    void usbIdentified(bool ok);
    void usbTraceProgress(int dataBytes);
    void usbTraceRead(bool ok, const QByteArray &points);

    const ScopeSettings &settings() const { return settings_; }
    const CaptureState &state() const { return state_; }
    const ScopeComm &comm() const { return *comm_; }
    QTimer *timer() const { return timer_; }
    // Null without a VISA layer.
    UsbScopeWorker *usb() const { return usb_.get(); }

  signals:
    // A trace read was requested; it ends when the trace is taken, has
    // failed, or can no longer come. Between the two the waveform is written.
    void traceReadStarted();
    void traceReadEnded();

  private:
    // The start of every trace read: a new request, its percent at zero.
    void startTraceRead();
    void showTraceProgress();
    void showBusy();
    // The verdicts on a request, whether its reply settled it or its deadline.
    void identified();
    void identifyFailed();
    // A complete trace, its points already in the store, becomes the
    // waveform: 2500 points, the length field and a full redraw.
    void takeTrace();
    void traceFailed();
    void endTraceProgress();

    void fillEntries(QComboBox *box, const QStringList &entries);
    QStringList usbEntries() const;
    // The port list is about to open: its entries brought up to date and
    // the list made wide enough for them.
    void portListAboutToShow();
    void connectUsb();
    // Writes one command; a closed or failing port is reported, and the link
    // returns to not connected.
    bool send(const QByteArray &bytes);
    void reportOpenFailure(PortOpenResult result);
    // The port is gone: no request is pending and no trace can be read.
    void dropLink();
    qint64 now() const;

    WaveformHost &host_;
    std::unique_ptr<SerialPortIo> ownPort_;
    std::unique_ptr<ScopeClock> ownClock_;
    ScopeClock *clock_ = nullptr;
    std::unique_ptr<ScopeComm> comm_;
    std::unique_ptr<UsbScopeWorker> usb_;
    ScopeSettings settings_;
    CaptureState state_;
    QTimer *timer_ = nullptr;

    QComboBox *cobSetComm_ = nullptr;
    QComboBox *cobBaud_ = nullptr;
    QComboBox *cobParity_ = nullptr;
    QComboBox *cobFlowHardSoft_ = nullptr;
    QComboBox *cobOscilEOLString_ = nullptr;
    QComboBox *cobChannel_ = nullptr;
    QPushButton *cmdLink_ = nullptr;
    QPushButton *cmdReadValue_ = nullptr;
    QProgressBar *PbrSend_ = nullptr;
    QLabel *Label_TDS_percent_ = nullptr;
};

} // namespace arb
