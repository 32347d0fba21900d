#include "app/FormMain.h"
#include "app/HelpViewer.h"
#include "app/QtTranslations.h"
#include "core/WaveDocument.h"
#include "view/QtUserPrompt.h"

#include <QApplication>

int main(int argc, char *argv[])
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
    return app.exec();
}
