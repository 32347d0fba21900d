#pragma once

#include "app/CaptureUi.h"

#include <QPointer>
#include <QWidget>

namespace arb
{

// The dialog of "从示波器导入" and a progress dialog of the bytes received,
// on the desktop.
class QtCaptureUi final : public CaptureUi
{
  public:
    explicit QtCaptureUi(QWidget *parent = nullptr) : parent_(parent) {}

    std::optional<CaptureSource>
    chooseSource(const CaptureSource &initial, const std::function<QStringList()> &instruments,
                 const std::function<bool(const CaptureSource &)> &read) override;
    void waitForCapture(CaptureControl &control, const std::function<bool()> &finished) override;

    // The progress dialog's text for received bytes of total (0: not yet known).
    static QString ProgressText(quint64 received, quint64 total);

  private:
    QPointer<QWidget> parent_;
};

} // namespace arb
