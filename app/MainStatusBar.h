#pragma once

#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;

namespace arb
{

// The status bar's seven panels: the maker, an empty panel, the date and the
// time with their names, and a last panel as wide as the window. The date and
// time panels keep themselves current.
class MainStatusBar : public QObject
{
    Q_OBJECT
  public:
    explicit MainStatusBar(QStatusBar *bar);

    QLabel *panel(int index) const { return panels_[index]; }
    void setLastPanelWidth(int width);
    void refresh();

    static QString makerText() { return QStringLiteral("Korvane Technologies"); }

  private:
    QLabel *panels_[7] = {};
    QTimer *clock_ = nullptr;
};

} // namespace arb
