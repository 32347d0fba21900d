#pragma once

#include <QStringList>

class QSettings;

namespace arb
{

// The formulas "任意公式" applied last, newest first, kept in the program's
// settings between runs.
constexpr int kEquationHistorySize = 20;

QStringList LoadEquationHistory(QSettings &settings);

// Puts text first, without repeating it further down, and keeps the newest 20.
void RememberEquation(QSettings &settings, const QString &text);

} // namespace arb
