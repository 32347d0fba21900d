#pragma once

#include <QString>

namespace arb
{

// A mistake in a formula: where it is, as the 1-based position of a
// character of the text the user typed, and what it is.
struct EquationError {
    int position = 0; // 0: no mistake
    QString message;

    bool isError() const { return position > 0; }
    // "第 7 个字符：未知的函数 sni"
    QString text() const;

    static EquationError At(int position, const QString &message);
};

} // namespace arb
