#pragma once

#include <QObject>

class QLineEdit;

namespace arb
{

class WaveformHost;
struct MainControls;

// The length field Text_Arb_Length: it shows the document's length, takes
// digits and Backspace only, and runs the window's length commit on Enter
// and whenever the field loses the focus.
class LengthField : public QObject
{
    Q_OBJECT
  public:
    // Works on the field Text_Arb_Length of c, if there is one.
    LengthField(const MainControls &c, WaveformHost &host, QObject *parent = nullptr);

    // The menu's "设置波形点数": the keyboard focus to the field.
    void mnuArbLength_Click();

  private:
    // The length in its shortest decimal form, also when the field shows it
    // already or holds a length typed and not yet committed.
    void showLength(float length);

    WaveformHost &host_;
    QLineEdit *Text_Arb_Length_ = nullptr;
};

} // namespace arb
