// A short fuzz of the formula reader inside the normal test run: random texts
// and mutations of the worked examples are either a mistake placed within
// the text, or a result that is stored finite or refused.
#include "core/equation/EquationExamples.h"
#include "core/equation/EquationOutcome.h"
#include "core/equation/WaveEquation.h"

#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace arb;

namespace
{

const QStringList kPieces = {
    QStringLiteral("sin("),   QStringLiteral("w("),
    QStringLiteral("rand()"), QStringLiteral("randn()"),
    QStringLiteral("clip("),  QStringLiteral("pwm("),
    QStringLiteral(")"),      QStringLiteral("("),
    QStringLiteral(","),      QStringLiteral("?"),
    QStringLiteral(":"),      QStringLiteral("^"),
    QStringLiteral("-"),      QStringLiteral("*"),
    QStringLiteral("/"),      QStringLiteral("=="),
    QStringLiteral("="),      QStringLiteral("&&"),
    QStringLiteral("||"),     QStringLiteral("x"),
    QStringLiteral("n"),      QStringLiteral("N"),
    QStringLiteral("y"),      QStringLiteral("u"),
    QStringLiteral("pi"),     QStringLiteral("e"),
    QStringLiteral("1e308"),  QStringLiteral("0"),
    QStringLiteral("1/0"),    QStringLiteral("0.5"),
    QStringLiteral(" "),      QStringLiteral("（"),
    QStringLiteral("\u3000"), QString::fromUtf8("\xF0\x9F\x98\x80"),
    QStringLiteral("\""),     QStringLiteral("!"),
    QStringLiteral("<="),     QStringLiteral("sqrt(-1)"),
    QStringLiteral("mod("),   QStringLiteral("log("),
    QStringLiteral("_a"),
};

int CharacterCount(const QString &text)
{
    return static_cast<int>(text.toUcs4().size());
}

QString Mutated(std::mt19937 &random, QString text)
{
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < edits; ++k) {
        const auto at = static_cast<qsizetype>(text.isEmpty() ? 0 : random() % (text.size() + 1));
        switch (random() % 4) {
        case 0: text.insert(at, kPieces[static_cast<qsizetype>(random() % kPieces.size())]); break;
        case 1: text.remove(at, 1 + static_cast<qsizetype>(random() % 4)); break;
        case 2:
            if (at < text.size())
                text[at] = QChar(static_cast<char16_t>(0x20 + random() % 0x60));
            break;
        default: text.truncate(at); break;
        }
    }
    return text;
}

QString RandomText(std::mt19937 &random)
{
    QString text;
    const int pieces = static_cast<int>(random() % 12);
    for (int k = 0; k < pieces; ++k)
        text += kPieces[static_cast<qsizetype>(random() % kPieces.size())];
    return text;
}

} // namespace

TEST(WaveEquationFuzz, EveryTextIsAPlacedMistakeOrAStoredOrRefusedResult)
{
    std::vector<float> wave(64);
    for (std::size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<float>(std::sin(static_cast<double>(i)));
    std::mt19937 random(19);
    WaveEquation eq;
    int mistakes = 0, stored = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        QString text;
        if (round % 2 == 0) {
            const auto &examples = EquationExamples();
            text = Mutated(random, examples[random() % examples.size()].text);
        } else {
            text = RandomText(random);
        }
        EquationChoices c;
        c.text = text;
        c.first = static_cast<int>(random() % 64);
        c.last = c.first + static_cast<int>(random() % static_cast<unsigned>(64 - c.first));
        c.seed = static_cast<std::uint32_t>(random());
        c.overflow = random() % 2 ? EquationOverflow::Clip : EquationOverflow::ScaleToPeak;
        const EquationOutcome o = ComputeEquation(eq, c, wave.data(), 64);
        const std::string shown = text.toStdString();
        if (o.error.isError()) {
            ++mistakes;
            EXPECT_GE(o.error.position, 1) << shown;
            EXPECT_LE(o.error.position, std::max(1, CharacterCount(text))) << shown;
            EXPECT_FALSE(o.error.message.isEmpty()) << shown;
        } else if (o.usable()) {
            ++stored;
            ASSERT_EQ(o.points.size(), static_cast<std::size_t>(c.last - c.first + 1)) << shown;
            for (float v : o.points)
                ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.0f) << shown;
        } else {
            ++refused;
            EXPECT_GE(o.nonFinitePoint, c.first) << shown;
            EXPECT_LE(o.nonFinitePoint, c.last) << shown;
            EXPECT_TRUE(o.points.empty()) << shown;
        }
    }
    // The fuzz reaches every way out.
    EXPECT_GT(mistakes, 400);
    EXPECT_GT(stored, 100);
    EXPECT_GT(refused, 5);
}
