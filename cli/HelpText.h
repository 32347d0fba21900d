#pragma once

#include <QString>

namespace arb::cli
{

// "vxarb" and the version of the program.
QString VersionText();

// The whole help of --help: how to start the program, every sub-command
// with its options, the exit status and the environment.
QString HelpText();

// The part of the help about one sub-command (for "vxarb convert --help");
// the whole help for a name that is none.
QString CommandHelpText(const QString &command);

} // namespace arb::cli
