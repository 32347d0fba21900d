#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QSettings;
class QWidget;

namespace arb
{

struct MainMenus;

class WaveformHost;

// "任意公式(&E)..." in the menu "波形运算&W": the points of a range computed
// from a formula the user types, in one undo step.
class EquationCommand : public QObject
{
    Q_OBJECT
  public:
    // settings keeps the formulas used between runs; window is the parent of
    // the dialog.
    EquationCommand(WaveformHost &host, QSettings &settings, QWidget *window);

    // Connects the menu item mnuWaveEquation.
    void connectMenu(const MainMenus &menus);

  public slots:
    void mnuWaveEquation_Click();

  private:
    // The one place the command writes the waveform: points from first on.
    void writeRange(int first, const std::vector<float> &points);

    WaveformHost &host_;
    QSettings &settings_;
    QPointer<QWidget> window_;
};

} // namespace arb
