#include "app/FormMain.h"
#include "app/HelpViewer.h"
#include "app/QtTranslations.h"
#include "app/StartFile.h"
#include "core/WaveDocument.h"
#include "view/QtUserPrompt.h"

#include <QApplication>

// The window's main function. The program (cli/main.cpp) loads this library
// and calls it only when the window is wanted, so that the command line
// starts without Qt's widgets.
extern "C" Q_DECL_EXPORT int vxarb_window_main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The application name is the class of the window on X11, matched by the
    // desktop entry's StartupWMClass; the desktop file name is the window's
    // application id on Wayland and names the entry, its icon and metadata.
    QApplication::setApplicationName(QStringLiteral("vxarb"));
    // What the dialogs remember lives in ~/.config/vxarb/vxarb.conf.
    QApplication::setOrganizationName(QStringLiteral("vxarb"));
    QApplication::setDesktopFileName(QStringLiteral(ARB_APP_ID));
    arb::InstallQtChineseTranslations(app);

    arb::WaveDocument document;
    arb::QtUserPrompt prompt;
    arb::DesktopHelpViewer help;
    arb::FormMainServices services;
    services.document = &document;
    services.prompt = &prompt;
    services.help = &help;

    arb::FormMain window(services);
    prompt.setParentWidget(&window);
    window.show();
    // "vxarb FILE": what is left once Qt has taken its own options.
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(QLatin1Char('-'))) {
            arb::OpenStartFile(window, arguments[i]);
            break;
        }
    }
    return app.exec();
}
