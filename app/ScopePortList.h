#pragma once

#include <QStringList>

class QComboBox;

namespace arb
{

// The port list "端口设置": "COM1" ... "COM5", then the USB instruments
// found. Listing other instruments keeps the entry chosen, or the text shown
// while none is.
class ScopePortList
{
  public:
    explicit ScopePortList(QComboBox *box) : box_(box) {}

    // The USB instruments listed now, in order.
    QStringList instruments() const;
    void setInstruments(const QStringList &found);
    // Resource names are long: the open list shows them whole.
    void widenForPopup();

  private:
    QComboBox *box_;
};

} // namespace arb
