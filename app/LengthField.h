#pragma once

#include <QObject>

class QLineEdit;
class QWidget;

namespace arb
{

class WaveformHost;

// The length field Text_Arb_Length: digits and Backspace only, and the
// window's length commit on Enter and whenever the field loses the focus.
class LengthField : public QObject
{
    Q_OBJECT
  public:
    LengthField(QWidget *window, WaveformHost &host, QObject *parent = nullptr);

    // The menu's "设置波形点数": the keyboard focus to the field.
    void mnuArbLength_Click();

  private:
    WaveformHost &host_;
    QLineEdit *Text_Arb_Length_ = nullptr;
};

} // namespace arb
