#pragma once

#include <QComboBox>

namespace arb
{

// A combo box that tells when its list is about to open, so that its owner
// can bring the entries up to date first.
class PopupComboBox : public QComboBox
{
    Q_OBJECT
  public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit popupAboutToShow();
        QComboBox::showPopup();
    }

  signals:
    void popupAboutToShow();
};

} // namespace arb
