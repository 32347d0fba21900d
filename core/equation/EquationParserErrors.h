#pragma once

#include "core/equation/EquationError.h"

#include <QString>

namespace mu
{
class ParserError;
}

namespace arb
{

// What muparser says of a formula, in the user's words and placed where the
// user looks for it; the texts here are plain ASCII.

// muparser's mistake in text, on the character at fault (the name of a
// function called with the wrong number of arguments, the "(" left open,
// which openBracket gives as a 1-based position, 0 if none).
EquationError TranslateParserError(const mu::ParserError &error, const QString &text, int openBracket);

// Whether muparser's mistake in a text cut short before a later mistake comes
// of the cut: the text ends too soon, or a name at its very end (a function
// that has lost its bracket) cannot be read.
bool ComesOfTheCut(const mu::ParserError &error, const QString &cut);

// muparser reads a function's bracket only right after its name: blanks
// between them go after the bracket instead ("sin (x)" is read as
// "sin( x)"), which keeps every other character where it is.
QString BracketsAfterNames(QString text);

} // namespace arb
