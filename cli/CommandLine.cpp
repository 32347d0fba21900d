#include "cli/CommandLine.h"

#include "cli/Console.h"
#include "cli/ConvertCommand.h"
#include "cli/HelpText.h"
#include "cli/InstrumentCommands.h"

#include <QCoreApplication>

namespace arb::cli
{

namespace
{

using Command = ExitStatus (*)(const QStringList &);

struct NamedCommand {
    const char *name;
    Command run;
};

const NamedCommand kCommands[] = {
    {"convert", RunConvert},
    {"list", RunList},
    {"send", RunSend},
    {"capture", RunCapture},
};

bool IsCommandName(const QString &name)
{
    for (const NamedCommand &c : kCommands)
        if (name == QLatin1String(c.name))
            return true;
    return false;
}

bool IsHelp(const QString &a)
{
    return a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("-?");
}

bool IsVersion(const QString &a)
{
    return a == QLatin1String("--version") || a == QLatin1String("-v");
}

} // namespace

bool WantsCommandLine(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    const QString &first = arguments.front();
    // Qt's own options of the window ("-platform", "-style") have one dash.
    return IsCommandName(first) || IsHelp(first) || IsVersion(first) ||
           (first.startsWith(QLatin1String("--")) && first.size() > 2);
}

int RunCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString first = arguments.value(0);
    if (IsHelp(first)) {
        PrintOut(HelpText());
        return kSuccess;
    }
    if (IsVersion(first)) {
        PrintOut(VersionText());
        return kSuccess;
    }
    for (const NamedCommand &c : kCommands)
        if (first == QLatin1String(c.name))
            return c.run(arguments.mid(1));
    return UsageError(QStringLiteral("未知的选项 %1").arg(first.section(QLatin1Char('='), 0, 0)));
}

} // namespace arb::cli
