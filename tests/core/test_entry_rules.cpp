#include "core/EntryRules.h"
#include "core/LengthRule.h"
#include "core/NameRules.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>

using namespace arb;

namespace
{

FieldState Field(const QString &text, int caret, int selStart = 0, int selLength = 0)
{
    FieldState s;
    s.text = text;
    s.caret = caret;
    s.selectionStart = selStart;
    s.selectionLength = selLength;
    return s;
}

} // namespace

TEST(WholeNumberKeys, LengthTakesDigitsAndBackspaceAndDropsTheRestSilently)
{
    for (int code : std::initializer_list<int>{'0', '9', kKeyBackspace})
        EXPECT_TRUE(LengthKey(code).pass) << code;
    for (int code : std::initializer_list<int>{'a', '-', '.', ' ', 22}) {
        const KeyDecision d = LengthKey(code);
        EXPECT_FALSE(d.pass) << code;
        EXPECT_TRUE(d.message.isEmpty()) << code;
    }
    const KeyDecision enter = LengthKey(kKeyEnter);
    EXPECT_TRUE(enter.commit);
    EXPECT_FALSE(enter.pass);
}

TEST(WholeNumberKeys, IndexRefusesSignAndPointWithItsMessageAndPassesEnterOn)
{
    for (int code : std::initializer_list<int>{'-', '.', 'x'}) {
        const KeyDecision d = IndexKey(code);
        EXPECT_FALSE(d.pass);
        EXPECT_EQ(d.message, QStringLiteral("只能输入正整数"));
    }
    EXPECT_TRUE(IndexKey('5').pass);
    const KeyDecision enter = IndexKey(kKeyEnter);
    EXPECT_TRUE(enter.commit);
    EXPECT_TRUE(enter.pass);
    EXPECT_TRUE(enter.message.isEmpty());
}

TEST(ValueKeys, MinusTogglesTheSignAndPutsTheCaretAfterIt)
{
    KeyDecision d = ValueKey(Field("0.5", 0), kKeyMinus);
    EXPECT_FALSE(d.pass);
    EXPECT_TRUE(d.retext);
    EXPECT_EQ(d.text, QStringLiteral("-0.5"));
    EXPECT_EQ(d.caret, 1);
    d = ValueKey(Field("-0.5", 3), kKeyMinus);
    EXPECT_EQ(d.text, QStringLiteral("0.5"));
    EXPECT_EQ(d.caret, 0);
    EXPECT_EQ(ToggleMinus(QString()), QStringLiteral("-"));
    EXPECT_EQ(ToggleMinus(QStringLiteral("-")), QString());
}

TEST(ValueKeys, NothingMayStandBeforeALeadingMinus)
{
    for (int code : std::initializer_list<int>{'3', kKeyPoint}) {
        const KeyDecision d = ValueKey(Field("-0.5", 0), code);
        EXPECT_FALSE(d.pass);
        EXPECT_FALSE(d.retext);
        EXPECT_EQ(d.message, QStringLiteral("当前位置不能再输入小数点或数字"));
    }
    EXPECT_TRUE(ValueKey(Field("-0.5", 1), '3').pass);
    // The point's check reports the position only, not a second point too.
    QString message;
    EXPECT_FALSE(CheckDecimalPoint(QStringLiteral("-0.5"), 0, &message));
    EXPECT_EQ(message, QStringLiteral("当前位置不能再输入小数点或数字"));
}

TEST(ValueKeys, ASecondPointIsRefusedUnlessTheSelectionTakesTheFirst)
{
    KeyDecision d = ValueKey(Field("0.5", 3), kKeyPoint);
    EXPECT_FALSE(d.pass);
    EXPECT_EQ(d.message, QStringLiteral("不能再输入小数点"));
    d = ValueKey(Field("0.5", 3, 0, 3), kKeyPoint);
    EXPECT_TRUE(d.pass);
    EXPECT_TRUE(d.retext);
    EXPECT_EQ(d.text, QString());
    EXPECT_EQ(d.caret, 0);
    EXPECT_TRUE(d.message.isEmpty());
    EXPECT_TRUE(ValueKey(Field("-5", 2), kKeyPoint).pass);
}

TEST(ValueKeys, OtherKeysAreRefusedAfterTheSelectionIsRemoved)
{
    for (int code : std::initializer_list<int>{'a', '+', ' ', 22}) {
        const KeyDecision d = ValueKey(Field("0.5", 1), code);
        EXPECT_FALSE(d.pass);
        EXPECT_FALSE(d.retext);
        EXPECT_EQ(d.message, QStringLiteral("只能输入数值!"));
    }
    const KeyDecision d = ValueKey(Field("0.25", 4, 1, 2), 'a');
    EXPECT_TRUE(d.retext);
    EXPECT_EQ(d.text, QStringLiteral("05"));
    EXPECT_EQ(d.caret, 1);
    EXPECT_EQ(d.message, QStringLiteral("只能输入数值!"));
}

TEST(ValueKeys, EnterCommitsWhatRemainsOfTheText)
{
    const KeyDecision d = ValueKey(Field("0.750", 5, 0, 5), kKeyEnter);
    EXPECT_TRUE(d.commit);
    EXPECT_FALSE(d.pass);
    EXPECT_EQ(d.text, QString());
}

TEST(ValueKeys, BackspaceOnASelectionRemovesOnlyTheSelection)
{
    const KeyDecision d = ValueKey(Field("0.25", 4, 3, 1), kKeyBackspace);
    EXPECT_FALSE(d.pass);
    EXPECT_EQ(d.text, QStringLiteral("0.2"));
    EXPECT_TRUE(ValueKey(Field("0.25", 4), kKeyBackspace).pass);
}

TEST(EntryNumbers, OnlyPlainDecimalsAreNumbers)
{
    EXPECT_EQ(ParseEntryNumber(QStringLiteral("0012")), 12.0);
    EXPECT_EQ(ParseEntryNumber(QStringLiteral(" -.5 ")), -0.5);
    EXPECT_EQ(ParseEntryNumber(QStringLiteral("5.")), 5.0);
    for (const char *bad :
         {"", "-", ".", "-.", "--1", "1-", "1.2.3", "1e3", "+1", "abc", "inf", "nan", "0x10", "1 2"})
        EXPECT_FALSE(ParseEntryNumber(QString::fromLatin1(bad)).has_value()) << bad;
    // Far beyond a double: the sign's infinity, or zero for tiny fractions.
    EXPECT_EQ(ParseEntryNumber(QString(400, QLatin1Char('9'))), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseEntryNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QLatin1Char('1')),
              0.0);
}

TEST(EntryNumbers, IntegersRoundHalfEvenAndSaturate)
{
    EXPECT_EQ(EntryTextToInt(QStringLiteral("12.5")), 12);
    EXPECT_EQ(EntryTextToInt(QStringLiteral("13.5")), 14);
    EXPECT_EQ(EntryTextToInt(QStringLiteral("99999999999999999999")), 2147483647);
    EXPECT_EQ(EntryTextToInt(QStringLiteral("-99999999999999999999")), -2147483647 - 1);
    EXPECT_FALSE(EntryTextToInt(QStringLiteral("-")).has_value());
    EXPECT_EQ(EntryTextToSingle(QStringLiteral("1") + QString(60, QLatin1Char('0'))),
              std::numeric_limits<float>::infinity());
    EXPECT_EQ(EntryTextToSingle(QStringLiteral("-.")), 0.0f);
}

TEST(IndexCommit, HeldToTheWaveformWithTheRangeMessage)
{
    IndexCommit c = CommitIndexText(QStringLiteral("300"), 201.0f);
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.text, QStringLiteral("200"));
    EXPECT_EQ(c.value, 200);
    EXPECT_EQ(IndexRangeMessage(201.0f), QStringLiteral("任意波X坐标在 0 到 200 之间"));
    c = CommitIndexText(QStringLiteral("200"), 201.0f);
    EXPECT_FALSE(c.outOfRange);
    EXPECT_EQ(c.value, 200);
    c = CommitIndexText(QStringLiteral("007"), 201.0f);
    EXPECT_EQ(c.text, QStringLiteral("7"));
    // Pasted text: too long for an integer gives the upper bound, a negative
    // number the lower one, no number the empty field's 0.
    c = CommitIndexText(QStringLiteral("123456789012345678901234567890"), 16384.0f);
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.value, 16383);
    c = CommitIndexText(QStringLiteral("-5"), 201.0f);
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.value, 0);
    for (const char *text : {"", "abc", "-", "."}) {
        c = CommitIndexText(QString::fromLatin1(text), 201.0f);
        EXPECT_FALSE(c.outOfRange) << text;
        EXPECT_EQ(c.text, QStringLiteral("0")) << text;
    }
}

TEST(IndexCommit, AFractionalLengthShowsItsLastIndexAsItIs)
{
    // 200.5 points (from a file): the bound 199.5 is shown, and rounds to 200.
    EXPECT_EQ(IndexRangeMessage(200.5f), QStringLiteral("任意波X坐标在 0 到 199.5 之间"));
    bool out = false;
    EXPECT_EQ(CheckArbX(200, 200.5f, &out), 200);
    EXPECT_TRUE(out);
    EXPECT_EQ(CheckArbX(199, 200.5f, &out), 199);
    EXPECT_FALSE(out);
}

TEST(ValueCommit, HeldToPlusMinusOneWithThreeDecimals)
{
    bool out = false;
    EXPECT_EQ(CheckArbY(1.5f, &out), QStringLiteral("1.000"));
    EXPECT_TRUE(out);
    EXPECT_EQ(CheckArbY(-0.25f, &out), QStringLiteral("-0.250"));
    EXPECT_FALSE(out);
    EXPECT_EQ(CheckArbY(1.0f, &out), QStringLiteral("1.000"));
    EXPECT_FALSE(out);
    EXPECT_EQ(CheckArbY(-1.5f, &out), QStringLiteral("-1.000"));
    EXPECT_TRUE(out);
    EXPECT_EQ(ValueRangeMessage(), QStringLiteral("任意波Y坐标在 -1.000 到 1.000 之间"));

    ValueCommit c = CommitValueText(QStringLiteral("0.12345"));
    EXPECT_EQ(c.text, QStringLiteral("0.123"));
    EXPECT_EQ(c.value, 0.123f);
    c = CommitValueText(QStringLiteral("2"));
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.text, QStringLiteral("1.000"));
    EXPECT_EQ(c.value, 1.0f);
    // A value just above 1 that single precision makes 1 needs no message.
    EXPECT_FALSE(CommitValueText(QStringLiteral("1.00000001")).outOfRange);
    c = CommitValueText(QString(50, QLatin1Char('9')));
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.text, QStringLiteral("1.000"));
    for (const char *text : {"", "-", ".", "-.", "abc", "1e5"}) {
        c = CommitValueText(QString::fromLatin1(text));
        EXPECT_FALSE(c.outOfRange) << text;
        EXPECT_EQ(c.text, QStringLiteral("0.000")) << text;
        EXPECT_EQ(c.value, 0.0f) << text;
    }
}

TEST(LengthCommit, FieldTextsCommitAsTheLengthRulesSay)
{
    struct Case {
        const char *text;
        const char *shown;
        bool message;
    };
    for (const Case &k : {Case{"1000", "1000", false}, Case{"3", "4", true}, Case{"20000", "16384", true},
                          Case{"0012", "12", false}, Case{"", "2001", false}, Case{"abc", "2001", false},
                          Case{"99999999999999999999", "16384", true}, Case{"200.5", "200", false},
                          Case{"201.5", "202", false}}) {
        const LengthCommit c = CommitLengthText(QString::fromLatin1(k.text));
        EXPECT_EQ(c.text, QString::fromLatin1(k.shown)) << k.text;
        EXPECT_EQ(c.length, c.text.toFloat()) << k.text;
        EXPECT_EQ(c.outOfRange, k.message) << k.text;
    }
}

TEST(NameRules, KeysAndTrimmingAndTheSixCharacterCut)
{
    for (int code : std::initializer_list<int>{8, 13, '0', '9', 'A', 'Z', 'a', 'z'})
        EXPECT_TRUE(NameKeyAccepted(code)) << code;
    for (int code : std::initializer_list<int>{' ', '-', '_', 22, 27, '@', '[', '`', '{', 0x4E2D})
        EXPECT_FALSE(NameKeyAccepted(code)) << code;
    EXPECT_EQ(CheckArbName(QStringLiteral("  AB")).text, QStringLiteral("AB"));
    // The caret after the first letter stays after it.
    EXPECT_EQ(CheckArbName(QStringLiteral("  AB"), 3).caret, 1);
    // Inner blanks go as well: a name holds nothing a key could not type.
    EXPECT_EQ(CheckArbName(QStringLiteral("A B")).text, QStringLiteral("AB"));
    NameCheck c = CheckArbName(QStringLiteral("ABCDEFG"));
    EXPECT_TRUE(c.tooLong);
    EXPECT_EQ(c.text, QStringLiteral("ABCDEF"));
    // Seven letters with a blank among them are seven letters.
    c = CheckArbName(QStringLiteral("ABCDE FG"), 8);
    EXPECT_TRUE(c.tooLong);
    EXPECT_EQ(c.text, QStringLiteral("ABCDEF"));
    EXPECT_EQ(c.caret, 6);
    EXPECT_FALSE(CheckArbName(QStringLiteral("  ABCDEF  ")).tooLong);
    // Separators, line ends and NUL would reach the generator's command.
    for (const QString &pasted : {QStringLiteral("A;*RST"), QStringLiteral("AB,CD\r\n"),
                                  QStringLiteral("中A\tB-"), QString::fromLatin1("A\0B", 3)}) {
        c = CheckArbName(pasted, static_cast<int>(pasted.size()));
        EXPECT_EQ(c.text, NameCharactersOf(pasted)) << pasted.toStdString();
        EXPECT_EQ(c.caret, c.text.size()) << pasted.toStdString();
        EXPECT_FALSE(c.tooLong);
    }
    EXPECT_EQ(CheckArbName(QStringLiteral("A;*RST")).text, QStringLiteral("ARST"));
    EXPECT_EQ(CheckArbName(QStringLiteral("AB,CD\r\n")).text, QStringLiteral("ABCD"));
    EXPECT_EQ(CheckArbName(QStringLiteral("A;B"), 2).caret, 1);
    EXPECT_EQ(DefaultArbName(3), QStringLiteral("ArbNo3"));
}
