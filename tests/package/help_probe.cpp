// Loaded into the packaged program with LD_PRELOAD by check_package.sh. Once
// the main window is up and active it presses F1 there, catches the file the
// program hands to the desktop, prints it with the names the desktop knows the
// program by, and ends the program.
#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace
{

void Report(const QString &line)
{
    QTextStream out(stdout);
    out << line << '\n';
}

class HelpCatcher : public QObject
{
    Q_OBJECT
  public slots:
    void open(const QUrl &url)
    {
        Report(QStringLiteral("help ") + url.toLocalFile());
        Report(QStringLiteral("application-name ") + QCoreApplication::applicationName());
        Report(QStringLiteral("desktop-file-name ") + QGuiApplication::desktopFileName());
        QCoreApplication::exit(0);
    }
};

QMainWindow *ActiveMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<QMainWindow *>(w); main && main->isVisible() && main->isActiveWindow())
            return main;
    return nullptr;
}

void Fail(const char *what)
{
    Report(QString::fromLatin1(what));
    QCoreApplication::exit(1);
}

void PressF1WhenActive(int triesLeft)
{
    QMainWindow *window = ActiveMainWindow();
    if (!window) {
        if (triesLeft == 0)
            return Fail("no active main window");
        QTimer::singleShot(100, [triesLeft] { PressF1WhenActive(triesLeft - 1); });
        return;
    }
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, Qt::Key_F1);
    // The catcher ends the program; still running after this, F1 opened nothing.
    QTimer::singleShot(5000, [] { Fail("F1 opened no document"); });
}

void StartProbe()
{
    static HelpCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTimer::singleShot(0, [] { PressF1WhenActive(100); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)

#include "help_probe.moc"
