#pragma once

#include <QStringList>

namespace arb::cli
{

// Whether the arguments (without the program's name) ask for the command
// line rather than the window: a sub-command's name first, or --help,
// --version or another option of the command line.
bool WantsCommandLine(const QStringList &arguments);

// Runs the command line on argv and returns the exit status.
int RunCommandLine(int argc, char **argv);

} // namespace arb::cli
