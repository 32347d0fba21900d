#pragma once

#include <QString>

namespace arb
{

// Longest name the generator takes.
constexpr int kMaxNameLength = 6;

// "ArbNo" followed by the slot number: the name a waveform has until the
// user gives it one.
QString DefaultArbName(int slot);

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
    QString text;           // the name after the rules
    int leadingRemoved = 0; // blanks taken from its front
    bool tooLong = false;   // cut to six characters: the length message is due
};

// Blanks at both ends removed, then anything past the sixth character cut
// (and the ends trimmed again, should the cut leave a blank at the end).
// Inner blanks stay.
NameCheck CheckArbName(const QString &text);

} // namespace arb
