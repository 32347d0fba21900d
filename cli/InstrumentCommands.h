#pragma once

#include "cli/ExitStatus.h"

#include <QStringList>

namespace arb::cli
{

// The commands that reach instruments. arguments are those after the
// sub-command's name.

// vxarb list: one line per instrument the VISA layer finds, its resource
// name, a tab, and its reply to "*IDN?" (or "无应答").
ExitStatus RunList(const QStringList &arguments);

// vxarb send IN [--resource R] [--slot 0..9] [--name NAME] [--column K]
// [--points N] [--scale ...]: the waveform downloaded as the window's
// "波形输出" downloads it.
ExitStatus RunSend(const QStringList &arguments);

// vxarb capture [--resource R | --port COMn] -o OUT [--format ...]: one trace
// read as "读取数据" reads it, written as convert writes.
ExitStatus RunCapture(const QStringList &arguments);

} // namespace arb::cli
