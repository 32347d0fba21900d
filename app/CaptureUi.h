#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace arb
{

struct CaptureControl;

// Where "从示波器导入" reads from: the address as typed and the channel, 1 to 4.
struct CaptureSource {
    QString address;
    int channel = 1;
};

// What "从示波器导入" shows beyond messages, which go through the
// UserPrompt: the dialog that chooses the source and the wait while the
// record is read. Tests script them.
class CaptureUi
{
  public:
    virtual ~CaptureUi() = default;

    // The dialog "从示波器导入", opened on initial. instruments gives the
    // entries of "仪器" each time its list opens; read is called when "读取"
    // is pressed and tells whether the source is taken (it has told the
    // user what is wrong otherwise, and the dialog stays). None when the
    // dialog is closed without a read.
    virtual std::optional<CaptureSource>
    chooseSource(const CaptureSource &initial, const std::function<QStringList()> &instruments,
                 const std::function<bool(const CaptureSource &)> &read) = 0;

    // Waits, with the window alive, for a read running on another thread
    // until finished() is true, showing the bytes control counts; a cancel
    // by the user sets control.cancel and still waits for finished().
    virtual void waitForCapture(CaptureControl &control, const std::function<bool()> &finished) = 0;
};

} // namespace arb
