#pragma once

#include <QString>
#include <optional>

namespace arb
{

// Character codes the numeric fields tell apart.
constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyMinus = 45;
constexpr int kKeyPoint = 46;

// The three kinds of numeric field: the waveform length, a point index and a
// point value.
enum class EntryKind { Length, Index, Value };

// What a typed character does to a numeric field.
struct KeyDecision {
    bool pass = false;   // the field takes the key as usual
    bool commit = false; // the field is committed (Enter)
    bool retext = false; // text and caret below replace the field's own
    QString text;        // with retext
    int caret = 0;       // with retext
    QString message;     // the key message due, empty: none
};

// A field's text, caret and selection when a key arrives. A selection is
// given by its first character and its length (0: none).
struct FieldState {
    QString text;
    int caret = 0;
    int selectionStart = 0;
    int selectionLength = 0;
};

// Key rules of the length and index fields: digits and Backspace pass, Enter
// commits; other keys are discarded, silently in the length field and with
// "只能输入正整数" in an index field.
KeyDecision LengthKey(int code);
KeyDecision IndexKey(int code);

// Key rules of the value fields. A selection is removed first, whatever the
// key; the minus key toggles the sign; a point or digit is refused before a
// leading minus; a second point is refused; Enter commits; other keys are
// refused with "只能输入数值!".
KeyDecision ValueKey(const FieldState &state, int code);

// The field's state with any selection removed, the caret where it began.
FieldState RemoveSelection(const FieldState &state);

// "-" added in front, or the leading "-" taken away.
QString ToggleMinus(const QString &text);

// Whether a digit or a point may be typed at caret: not before a leading
// minus. The refusal's message is put in *message.
bool CheckSignPosition(const QString &text, int caret, QString *message);

// Whether a point may be typed at caret: not before a leading minus, and not
// when the text holds one already.
bool CheckDecimalPoint(const QString &text, int caret, QString *message);

// A decimal number of the form the fields can hold, blanks around it allowed:
// an optional minus, digits, an optional point and digits, at least one digit.
// Anything else (a lone "-", ".", "-.", letters, exponents) is no number.
std::optional<double> ParseEntryNumber(const QString &text);

// The text as a 32-bit integer: rounded to the nearest, halves to even, and
// held to the integer's range, so a digit string too long for it gives the
// largest integer. No number: none.
std::optional<int> EntryTextToInt(const QString &text);

// The text as a single-precision value; a value beyond the single range
// becomes an infinity of its sign. No number: 0.
float EntryTextToSingle(const QString &text);

// Index held to 0..ArbLength-1 (comparison in floating point, the bound
// rounded halves to even); *outOfRange tells whether the message is due.
int CheckArbX(long long x, float arbLength, bool *outOfRange);

// "任意波X坐标在 0 到 200 之间" for 201 points; ArbLength-1 in its shortest
// decimal form.
QString IndexRangeMessage(float arbLength);

// Value held to -1..+1 and written with three decimals ("0.500", "-1.000").
QString CheckArbY(float y, bool *outOfRange);

// "任意波Y坐标在 -1.000 到 1.000 之间"
QString ValueRangeMessage();

struct IndexCommit {
    QString text;    // what the field shows afterwards
    int value;       // the committed index
    bool outOfRange; // the range message is due
};

// Commit of an index field: empty text and text that is no number commit as
// "0".
IndexCommit CommitIndexText(const QString &fieldText, float arbLength);

struct ValueCommit {
    QString text;
    float value;
    bool outOfRange;
};

// Commit of a value field: empty text and text that is no number commit as 0.
ValueCommit CommitValueText(const QString &fieldText);

} // namespace arb
