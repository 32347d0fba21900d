#pragma once

#include <QString>

namespace arb
{

// Longest name the generator takes.
constexpr int kMaxNameLength = 6;

// The generator's arbitrary-waveform slots are 0..kLastArbSlot.
constexpr int kLastArbSlot = 9;

// "ArbNo" followed by the slot number: the name a waveform has until the
// user gives it one.
QString DefaultArbName(int slot);

// ASCII letters and digits: the characters a name is made of.
bool IsNameCharacter(int code);

// Keys the name field takes: Backspace, Enter, ASCII digits and letters.
bool NameKeyAccepted(int code);

// The characters of text that the name field's key rule lets in: ASCII
// letters and digits, in their order; everything else (blanks, punctuation,
// control characters, NUL) is left out.
QString NameCharactersOf(const QString &text);

// "输入字符必须为数字或字母!", titled "提示".
QString NameKeyMessage();
QString NameKeyTitle();

// "任意波名称字符个数为 1到6 之间且不允许有空格"
QString NameLengthMessage();

struct NameCheck {
    QString text;         // the name after the rules
    int caret = 0;        // where the caret given stands in it
    bool tooLong = false; // cut to six characters: the length message is due
};

// What the name field may hold of text, however the text came in (typed,
// pasted, dropped or set by the program): its ASCII letters and digits in
// their order, cut after the sixth. caret, a position in text, is carried
// over to the same place among the characters kept.
NameCheck CheckArbName(const QString &text, int caret = 0);

} // namespace arb
