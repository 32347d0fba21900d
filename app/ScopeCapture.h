#pragma once

#include "app/ScopePortList.h"
#include "scope/PortNames.h"
#include "scope/ScopeClock.h"
#include "scope/ScopeSettings.h"
#include "scope/SerialTds.h"
#include "scope/UsbTds.h"

#include <QObject>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace arb
{

namespace visa
{
class VisaApi;
}

struct MainControls;
class SerialPortIo;
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

// The frame "泰克示波器采集波形": its settings, connecting to the
// oscilloscope and reading a 2500-point trace into the waveform. It fills
// the combo boxes, keeps the settings, and shows on the window's controls
// what the transport of the port chosen (a serial port or a USB instrument)
// reports.
class ScopeCapture : public QObject
{
    Q_OBJECT
  public:
    ScopeCapture(const MainControls &controls, WaveformHost &host, const ScopeCaptureServices &services = {},
                 QObject *parent = nullptr);
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
    // The deadline check of the serial link (a tick of Timer_TDS).
    void Timer_TDS_Timer() { serial_->judge(); }

    const ScopeSettings &settings() const { return settings_; }
    const CaptureState &state() const { return serial_->state(); }
    const ScopeComm &comm() const { return serial_->comm(); }
    QTimer *timer() const { return serial_->timer(); }
    // Null without a VISA layer.
    UsbTds *usb() const { return usb_.get(); }

  signals:
    // A trace read was requested; it ends when the trace is taken, has
    // failed, or can no longer come. Between the two the waveform is written.
    void traceReadStarted();
    void traceReadEnded();

  private:
    // A combo box of the frame: its entries, the one start-up selects, and
    // the rule that stores the choice.
    struct SettingBox {
        QComboBox *box;
        QStringList entries;
        int defaultIndex;
        void (ScopeCapture::*rule)();
    };
    std::vector<SettingBox> settingBoxes() const;

    // The transport of the port chosen.
    ScopeTransport &transport();
    std::vector<ScopeTransport *> transports() const;
    void wire(ScopeTransport *transport);
    // Connected through either transport: "断开TEK示波器" ends the link.
    bool linked() const;

    // What the transports report.
    void showWaiting();
    void showIdentifyProgress(int value, int maximum);
    void identified();
    void identifyFailed();
    void showTraceProgress(int points, const QString &percent);
    // A complete trace becomes the waveform: its 2500 points, the length
    // 2500, the length field and a full redraw.
    void takeTrace(const QByteArray &points);
    void traceFailed();
    void endTraceProgress();

    void report(const QString &message);
    // The link ends: no request is pending and no trace can be read.
    void dropLink();

    WaveformHost &host_;
    std::unique_ptr<SerialPortIo> ownPort_;
    std::unique_ptr<ScopeClock> ownClock_;
    ScopeSettings settings_;
    std::unique_ptr<SerialTds> serial_;
    std::unique_ptr<UsbTds> usb_;

    QComboBox *cobSetComm_;
    QComboBox *cobBaud_;
    QComboBox *cobParity_;
    QComboBox *cobFlowHardSoft_;
    QComboBox *cobOscilEOLString_;
    QComboBox *cobChannel_;
    QPushButton *cmdLink_;
    QPushButton *cmdReadValue_;
    QProgressBar *PbrSend_;
    QLabel *Label_TDS_percent_;
    ScopePortList ports_;
};

} // namespace arb
