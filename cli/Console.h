#pragma once

#include "cli/ExitStatus.h"

#include <QString>

namespace arb::cli
{

// What the command line tells its user: results on standard output,
// everything else on standard error, in the system's encoding, each line
// written at once. Nothing is ever asked: no command waits for an answer.

// A line on standard output.
void PrintOut(const QString &line);

// "vxarb: " and the text on standard error; the text may hold line feeds
// (some of the window's messages do).
void PrintError(const QString &text);

// A usage error: the text, then the hint to --help. Returns kUsage.
ExitStatus UsageError(const QString &text);

// The one-line hint that ends every usage error.
QString UsageHint();

// Whether standard error is a terminal (progress is shown only there).
bool ErrorIsTerminal();

// Text on standard error with no line end (a progress line redrawn in
// place with "\r").
void PrintProgress(const QString &text);

} // namespace arb::cli
