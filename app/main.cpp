#include "app/FormMain.h"
#include "app/HelpViewer.h"
#include "core/ArbStore.h"
#include "view/QtUserPrompt.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vxarb"));

    static arb::ArbStore store;
    arb::QtUserPrompt prompt;
    arb::DesktopHelpViewer help;
    arb::FormMainServices services;
    services.store = &store;
    services.prompt = &prompt;
    services.help = &help;

    arb::FormMain window(services);
    prompt.setParentWidget(&window);
    window.show();
    return app.exec();
}
