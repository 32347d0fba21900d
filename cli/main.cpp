#include "cli/CommandLine.h"
#include "cli/WindowLauncher.h"

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arb::cli::WantsCommandLine(arguments))
        return arb::cli::RunCommandLine(argc, argv);
    return arb::cli::RunWindow(argc, argv);
}
