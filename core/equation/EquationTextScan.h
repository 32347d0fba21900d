#pragma once

#include "core/equation/EquationError.h"

#include <QString>

namespace arb
{

// What one pass over the characters of a formula finds, left to right.
struct EquationScan {
    // The first character that has no place in the language: one outside its
    // alphabet (full-width forms are named with their half-width ones), an
    // "=" that is not part of ==, <=, >= or !=, a ")" without its "(", or a
    // comma outside the brackets of a function call. Everything before it is
    // plain ASCII.
    EquationError error;
    // The 1-based position of the last "(" left open at the end; 0 if none.
    int openBracket = 0;
};

EquationScan ScanEquationText(const QString &text);

// Helpers on the ASCII text of a formula, with 0-based indices.
// Whether c may be part of a name (letters, digits, "_").
bool IsNameChar(QChar c);
// The run of name characters that contains index at, or an empty text.
QString NameAt(const QString &text, int at);
// The index of the first character after index at that is not a blank, or
// the length of the text.
int NextNonBlank(const QString &text, int at);
// The index of the last character before index at that is not a blank, or -1.
int PreviousNonBlank(const QString &text, int at);

} // namespace arb
