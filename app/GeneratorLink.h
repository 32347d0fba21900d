#pragma once

#include "link/generator/ChunkedDownload.h"
#include "link/generator/GeneratorDriver.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace arb
{

struct MainControls;
class WaveformHost;

// The frame "接口参数" and the name's send button: shows the generator
// driver's instruments and state on the window's controls and wires their
// commands to it. The identification is read one tick of timeLink after
// "*IDN?"; the download goes one chunk a tick of Timer1, and Timer1's tick
// after the last chunk closes the sessions.
class GeneratorLink : public QObject, private ChunkLink
{
    Q_OBJECT
  public:
    GeneratorLink(const MainControls &controls, WaveformHost &host, visa::VisaApi &visa,
                  QObject *parent = nullptr);

    // Where the name field's own rules keep whether the name was changed
    // from its default. Without one, a name other than the default counts.
    void setNameChangedSource(std::function<bool()> source) { nameChanged_ = std::move(source); }

    // Start-up: lists the instruments (keeping the resource manager), sets
    // the serial defaults, selects Combo1 0, Combo2 5 and Combo4 0 with
    // their handlers, and resets the download.
    void startUp();
    // Closing: closes the instrument session, then the resource manager.
    void shutDown();

    bool InstrConnected() const { return driver_.connected(); }
    // One download step (the "发送数据" button and the tool bar's "Waveout").
    void download();

    visa::ViSession DiscoverInstruments();
    // The USB instruments the latest discovery found, generators or not, in
    // the order found; none when it found nothing or could not ask.
    const QStringList &foundInstruments() const { return driver_.found(); }
    bool OpenInstrument();
    const QString &SelectedResource() const { return driver_.chosen(); }

    void cmdCheck_Click();
    void Command_DetectIO_Click();
    void cmdSendName_Click();
    void Combo1_Click();
    void Combo2_Click();
    void Combo4_Click();
    void timeLink_Timer();
    void Timer1_Timer();

    const GeneratorDriver &driver() const { return driver_; }
    int DownloadPass() const { return driver_.download().pass(); }
    // A download is under way: later chunks still read the waveform.
    bool downloading() const { return driver_.download().running(); }
    int SerialBaud() const { return driver_.serialBaud(); }
    int SerialDataBits() const { return driver_.serialDataBits(); }
    int SerialParity() const { return driver_.serialParity(); }
    visa::ViSession defaultRM() const { return driver_.defaultRM(); }
    visa::ViSession instrSession() const { return driver_.session(); }
    QTimer *timeLink() const { return timeLink_; }
    QTimer *Timer1() const { return timer1_; }
    // Hides the full progress bar a moment after the last chunk.
    QTimer *endPause() const { return endPause_; }

  signals:
    void downloadingChanged();

  private:
    // Each chunk goes out on a session opened for it, as every write does.
    bool reopenForChunk() override;
    void sendChunk(const std::string &command) override;

    void message(const QString &text);
    void selectCombo1(int index);
    void linkLost();
    void showConnection(bool connected);
    void downloadStarted(int chunks);
    void chunkSent(bool last);
    void downloadAbandoned();
    void finishProgress();
    void setPercent();
    bool nameChanged() const;

    WaveformHost &host_;
    GeneratorDriver driver_;
    std::function<bool()> nameChanged_;

    QComboBox *Combo1_;
    QComboBox *Combo2_;
    QComboBox *Combo4_;
    QPushButton *cmdCheck_;
    QPushButton *Command_DetectIO_;
    QPushButton *Command_viPrintf_;
    QPushButton *cmdSendName_;
    QLineEdit *txtInstName_;
    QProgressBar *PbrSend_;
    QLabel *Label_TDS_percent_;
    QLabel *Label_ArbNumber_;
    QTimer *timeLink_ = nullptr;
    QTimer *timer1_ = nullptr;
    QTimer *endPause_ = nullptr;
};

} // namespace arb
