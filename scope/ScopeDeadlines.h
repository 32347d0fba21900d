#pragma once

#include <QString>

namespace arb
{

// Whole seconds the identification reply may take at the baud rate given as
// text: 1 s at every listed rate.
int IdentifyDeadlineSeconds(const QString &baudText);

// Whole seconds the trace reply may take: 46, 25, 14, 9 and 7 s at 600,
// 1200, 2400, 4800 and 9600 baud. A rate that is not a positive number gets
// the longest wait.
int TraceDeadlineSeconds(const QString &baudText);

} // namespace arb
