#pragma once

#include <QString>
#include <QStringList>

namespace arb::cli
{

// What the arguments of the window (without the program's name) hold
// beyond Qt's own options ("-platform offscreen", "-style=fusion",
// "-reverse"): at most one file to read. error is the text of a usage
// error: an option neither Qt nor the window knows, or a second file.
struct WindowArguments {
    QString file;
    QString error;
    bool platformGiven = false; // "-platform NAME" chose Qt's display plugin
};
WindowArguments CheckWindowArguments(const QStringList &arguments);

// Where the window's library is looked for, first to last: beside the
// program (a build folder), then in the installed layout's folder relative
// to the program's.
QStringList WindowLibraryCandidates(const QString &programFolder);

// Whether a window can be shown: a display is named in the environment (or
// a platform plugin chosen) on systems where that is needed.
bool DisplayAvailable(const WindowArguments &arguments);

// Opens the window: loads its library, which links Qt Widgets, and hands it
// argc and argv. The command line never loads it, so it starts without
// Qt's widgets, fonts or display plugins.
int RunWindow(int argc, char **argv);

} // namespace arb::cli
