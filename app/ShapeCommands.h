#pragma once

#include <QObject>
#include <QPointer>

class QSettings;
class QWidget;

namespace arb
{

struct MainMenus;

class WaveformHost;
struct ShapeRequest;

// "标准波形 → 更多波形": the dialog of parameterised shapes, and the write of
// the accepted shape into the waveform.
class ShapeCommands : public QObject
{
    Q_OBJECT
  public:
    // settings keeps the choices between runs; window is the dialog's parent.
    ShapeCommands(WaveformHost &host, QSettings &settings, QWidget *window, QObject *parent = nullptr);

    // Connects the menu item mnuStandardMore.
    void connectMenu(const MainMenus &menus);

    // The shape over its range of points as one undo step named after the
    // shape, then the whole waveform redrawn.
    void apply(const ShapeRequest &request);

  public slots:
    void mnuStandardMore_Click();

  private:
    WaveformHost &host_;
    QSettings &settings_;
    QPointer<QWidget> window_;
};

} // namespace arb
