#pragma once

#include "scope/VisaScopeTalk.h"

#include <QObject>
#include <QStringList>

class QSettings;

namespace arb
{

namespace visa
{
class VisaApi;
}

class CaptureUi;
class ImportExportUi;
class WaveformHost;

// What "从示波器导入" is given from outside; defaults: the window's VISA
// layer and the desktop's dialogs.
struct CaptureServices {
    visa::VisaApi *visa = nullptr;
    CaptureUi *ui = nullptr;
};

// "从示波器导入": reads the displayed record of one channel of an
// oscilloscope on USB or the network, off the window's thread, and opens the
// import dialog of "导入波形" on it; accepting it is one undo step. Network
// addresses read from are kept in the settings and offered again.
class CaptureCommand : public QObject
{
    Q_OBJECT
  public:
    CaptureCommand(WaveformHost &host, ImportExportUi &importUi, CaptureUi &ui, visa::VisaApi &visa,
                   QSettings &settings, QObject *parent = nullptr);

    // The times the read allows; tests shorten them.
    void setLimits(const CaptureLimits &limits) { limits_ = limits; }

    // The entries of "仪器": the USB instruments found now, then the network
    // addresses read from before, the latest first.
    QStringList instruments() const;
    // The network addresses read from before, the latest first.
    QStringList rememberedAddresses() const;

    // The most network addresses kept.
    static constexpr int kMaxRemembered = 20;

  public slots:
    void menuFileCapture_Click();

  private:
    // Reads resource's channel off the window's thread, the user waiting.
    CaptureResult read(const std::string &resource, int channel);
    void remember(const std::string &resource);

    WaveformHost &host_;
    ImportExportUi &importUi_;
    CaptureUi &ui_;
    visa::VisaApi &visa_;
    QSettings &settings_;
    CaptureLimits limits_;
};

} // namespace arb
