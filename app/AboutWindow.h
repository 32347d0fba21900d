#pragma once

#include <QPointer>
#include <QWidget>

namespace arb
{

// The About window frmHelp. While it is open the main window is disabled;
// however it is closed, the main window is enabled again and brought to the
// front. It does not keep the program running once the main window is gone.
class AboutWindow : public QWidget
{
    Q_OBJECT
  public:
    // Disables mainWindow and shows a new About window, deleted when closed.
    static AboutWindow *showFor(QWidget *mainWindow);

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    explicit AboutWindow(QWidget *mainWindow);
    QPointer<QWidget> main_;
};

} // namespace arb
