#pragma once

#include "link/generator/ArbHexTable.h"
#include "link/visa/VisaApi.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace arb
{

class WaveformHost;

// The generator link: finds the instruments, opens sessions on the chosen
// one, keeps the connected state, downloads the waveform chunk by chunk and
// sends its name. It works on the controls of the window it is given,
// found by their object names, and reaches the generator only through the
// VISA interface.
class GeneratorLink : public QObject
{
    Q_OBJECT
  public:
    GeneratorLink(QWidget *window, WaveformHost &host, visa::VisaApi &visa, QObject *parent = nullptr);

    // Where the name field's own rules keep whether the name was changed
    // from its default. Without one, a name other than the default counts.
    void setNameChangedSource(std::function<bool()> source) { nameChanged_ = std::move(source); }

    // Start-up: lists the instruments (keeping the resource manager), sets
    // the serial defaults, selects Combo1 0, Combo2 5 and Combo4 0 with
    // their handlers, and resets the download.
    void startUp();
    // Closing: closes the instrument session, then the resource manager.
    void shutDown();

    bool InstrConnected() const { return connected_; }
    // One download step (the "发送数据" button and the tool bar's "Waveout").
    void download();

    visa::ViSession DiscoverInstruments();
    // The USB instruments the latest discovery found, generators or not, in
    // the order found; none when it found nothing or could not ask.
    const QStringList &foundInstruments() const { return found_; }
    bool OpenInstrument();
    const QString &SelectedResource() const { return selectedResource_; }

    void cmdCheck_Click();
    void Command_DetectIO_Click();
    void cmdSendName_Click();
    void Combo1_Click();
    void Combo2_Click();
    void Combo4_Click();
    void timeLink_Timer();
    void Timer1_Timer();

    int DownloadPass() const { return downloadPass_; }
    // A download is under way: later chunks still read the waveform.
    bool downloading() const { return downloadPass_ != 0; }
    int SerialBaud() const { return serialBaud_; }
    int SerialDataBits() const { return serialDataBits_; }
    int SerialParity() const { return serialParity_; }
    visa::ViSession defaultRM() const { return defaultRM_; }
    visa::ViSession instrSession() const { return instrSession_; }
    QTimer *timeLink() const { return timeLink_; }
    QTimer *Timer1() const { return timer1_; }
    // Hides the full progress bar a moment after the last chunk.
    QTimer *endPause() const { return endPause_; }

  signals:
    void downloadingChanged();

  private:
    void setDownloadPass(int pass);
    void message(const QString &text);
    void selectCombo1(int index);
    void linkLost();
    void dropSilently();
    void showDisconnected(const QString &model);
    void abandonDownload();
    void finishProgress();
    void setPercent();
    bool nameChanged() const;

    void closeHandle(visa::ViSession &handle);
    void closeBoth();
    void replaceResourceManager(visa::ViSession rm);

    WaveformHost &host_;
    visa::VisaApi &visa_;
    std::function<bool()> nameChanged_;

    QComboBox *Combo1_ = nullptr;
    QComboBox *Combo2_ = nullptr;
    QComboBox *Combo4_ = nullptr;
    QPushButton *cmdCheck_ = nullptr;
    QPushButton *Command_DetectIO_ = nullptr;
    QPushButton *Command_viPrintf_ = nullptr;
    QPushButton *cmdSendName_ = nullptr;
    QLineEdit *txtInstName_ = nullptr;
    QProgressBar *PbrSend_ = nullptr;
    QLabel *Label_TDS_percent_ = nullptr;
    QLabel *Label_ArbNumber_ = nullptr;
    QTimer *timeLink_ = nullptr;
    QTimer *timer1_ = nullptr;
    QTimer *endPause_ = nullptr;

    bool connected_ = false;
    QString selectedResource_;
    QStringList found_;
    int serialBaud_ = 9600;
    int serialDataBits_ = 8;
    int serialParity_ = 0;
    int downloadPass_ = 0;
    ArbHexTable hex_;

    visa::ViSession defaultRM_ = visa::VI_NULL;
    visa::ViSession instrSession_ = visa::VI_NULL;
    // The resource manager instrSession_ was opened on.
    visa::ViSession instrRM_ = visa::VI_NULL;
    // Resource managers replaced while an identification still reads on a
    // session of theirs; closed with the next pair.
    std::vector<visa::ViSession> retiredRMs_;
};

} // namespace arb
