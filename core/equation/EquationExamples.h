#pragma once

#include <QString>
#include <vector>

namespace arb
{

// A worked example of the list "示例" of "任意公式".
struct EquationExample {
    QString name;
    QString text;
};

const std::vector<EquationExample> &EquationExamples();

// The formula the dialog starts with when none has been used yet.
QString FirstEquation();

} // namespace arb
