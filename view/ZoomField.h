#pragma once

#include <QObject>

class QLineEdit;

namespace arb
{

// Key rules of the zoom factor field: digits, the point and Backspace only;
// Enter writes the text back in general number format, "2" when it is empty
// or below 1. Pasted or dropped text is taken only when every character of
// it is a digit or a point.
class ZoomField : public QObject
{
    Q_OBJECT
  public:
    explicit ZoomField(QLineEdit *field);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QLineEdit *field_;
};

} // namespace arb
