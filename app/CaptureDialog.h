#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace arb
{

class PopupComboBox;

// The dialog of "从示波器导入": "仪器" lists the instruments found and the
// network addresses used before, "地址" holds the address that "读取"
// reads from (choosing an instrument fills it in), "通道" is CH1 to CH4.
class CaptureDialog : public QDialog
{
    Q_OBJECT
  public:
    // instruments gives the entries of "仪器" each time its list opens.
    CaptureDialog(std::function<QStringList()> instruments, QWidget *parent = nullptr);

    QString addressText() const;
    void setAddressText(const QString &text);
    // 1 to 4.
    int channel() const;
    void setChannel(int channel);

    // Fills "仪器" anew, keeping "地址" as it is.
    void refreshInstruments();

  signals:
    // "读取" was pressed.
    void readRequested();

  private:
    std::function<QStringList()> instruments_;
    PopupComboBox *instrumentList_ = nullptr;
    QLineEdit *address_ = nullptr;
    QComboBox *channel_ = nullptr;
    QPushButton *read_ = nullptr;
};

} // namespace arb
