#include "core/HarmonicFormula.h"

#include "core/ArbStore.h"
#include "core/StandardWaves.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

namespace arb
{

namespace
{

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// A slot runs up to the first lower-case ASCII letter or one of "{|}~" and
// DEL: every other character, non-ASCII ones included, belongs to it.
bool InSlot(QChar c)
{
    return c.unicode() < 97 || c.unicode() > 127;
}

QString TrimBlanks(const QString &text)
{
    int first = 0;
    int end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

// Reads the formula from left to right; pos is the next character.
class FormulaReader
{
  public:
    explicit FormulaReader(QString text) : text_(std::move(text)) {}

    // The slot starting at pos; false when the text ends inside it.
    bool slot(QString *out)
    {
        const int start = pos_;
        while (pos_ < text_.size() && InSlot(text_.at(pos_)))
            ++pos_;
        if (pos_ >= text_.size())
            return false;
        *out = text_.mid(start, pos_ - start);
        return true;
    }

    bool keyword(const char *word)
    {
        const QString w = QString::fromLatin1(word);
        if (text_.mid(pos_, w.size()) != w)
            return false;
        pos_ += w.size();
        return true;
    }

  private:
    QString text_;
    int pos_ = 0;
};

HarmonicParse Failure(const QString &title)
{
    HarmonicParse p;
    p.errorTitle = title;
    return p;
}

float &Point(ArbStore &store, int i)
{
    return store.ArbData[static_cast<std::size_t>(i)];
}

} // namespace

QString FormulaErrorMessage()
{
    return QStringLiteral("公式错误！");
}

QString FormulaBoxTitle()
{
    return QStringLiteral("正弦波公式相加");
}

QString FormulaSyntaxTitle()
{
    return QStringLiteral("输入公式");
}

float HarmonicTerms::S() const
{
    return static_cast<float>(A1 + static_cast<double>(A2));
}

int HarmonicTerms::R() const
{
    if (K1 == 0.0)
        return 1;
    const double q = static_cast<double>(K2) / K1;
    if (!std::isfinite(q) || q < -32768.5 || q > 32767.5)
        return 1;
    const int r = RoundHalfEven(q);
    return r < -32768 || r > 32767 ? 1 : r;
}

double LeadingNumber(const QString &slot)
{
    std::string digits;
    bool negative = false;
    bool started = false;
    bool point = false;
    bool nonZeroWhole = false;
    for (QChar c : slot) {
        if (IsBlank(c))
            continue;
        const char16_t u = c.unicode();
        if (!started && (u == u'+' || u == u'-')) {
            negative = u == u'-';
            started = true;
        } else if (u >= u'0' && u <= u'9') {
            digits += static_cast<char>(u);
            if (!point && u != u'0')
                nonZeroWhole = true;
            started = true;
        } else if (u == u'.' && !point) {
            digits += '.';
            point = true;
            started = true;
        } else {
            break;
        }
    }
    double value = 0.0;
    if (digits.find_first_of("0123456789") != std::string::npos) {
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (r.ec == std::errc::result_out_of_range)
            value = nonZeroWhole ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

HarmonicParse ParseHarmonicFormula(const QString &reply)
{
    if (reply.isEmpty())
        return Failure(FormulaBoxTitle());
    FormulaReader r(TrimBlanks(reply.toLower()));
    HarmonicTerms t;
    QString s;

    if (!r.slot(&s))
        return Failure(FormulaSyntaxTitle());
    if (!s.isEmpty())
        t.A1 = LeadingNumber(s);
    if (!r.keyword("sin") || !r.slot(&s))
        return Failure(FormulaSyntaxTitle());
    if (!s.isEmpty())
        t.K1 = LeadingNumber(s);
    if (!r.keyword("x") || !r.keyword("+") || !r.slot(&s))
        return Failure(FormulaSyntaxTitle());
    if (!s.isEmpty())
        t.A2 = static_cast<float>(LeadingNumber(s));
    if (!r.keyword("sin") || !r.slot(&s))
        return Failure(FormulaSyntaxTitle());
    if (!s.isEmpty()) {
        const double k = LeadingNumber(s);
        if (k >= -32768.5 && k <= 32767.5) {
            const int rounded = RoundHalfEven(k);
            if (rounded >= -32768 && rounded <= 32767)
                t.K2 = rounded;
        }
    }
    if (!r.keyword("x"))
        return Failure(FormulaSyntaxTitle());

    // The sum is divided by S = A1 + A2: a zero or unrepresentable sum, or
    // amplitudes too large to be numbers, would give no usable waveform.
    const float sum = t.S();
    if (!std::isfinite(t.A1) || !std::isfinite(t.A2) || !std::isfinite(sum) || sum == 0.0f)
        return Failure(FormulaSyntaxTitle());

    HarmonicParse ok;
    ok.ok = true;
    ok.terms = t;
    return ok;
}

HarmonicWave EvaluateHarmonic(const HarmonicTerms &terms, float length)
{
    HarmonicWave w;
    const int ratio = terms.R();
    const float r = static_cast<float>(ratio);
    // N' = floor(N / R) * R in single precision; a ratio of 0 keeps N.
    w.length = ratio == 0 ? length : std::floor(length / r) * r;

    const int last = std::min(RoundHalfEven(static_cast<double>(w.length) - 1.0), kArbBufferSize - 1);
    if (last < 0)
        return w;
    w.points.resize(static_cast<std::size_t>(last) + 1);
    const double n = w.length;
    const double pi = kCirclePi;
    const double a2 = terms.A2;
    const double s = terms.S();
    for (int i = 0; i <= last; ++i) {
        const double twoI = static_cast<float>(2 * i);
        float p = static_cast<float>(terms.A1 * std::sin(twoI * pi / n));
        p = static_cast<float>(p + a2 * std::sin(((i / n) * 2.0) * ratio * pi));
        p = static_cast<float>(p / s);
        if (!std::isfinite(p))
            w.finite = false;
        w.points[static_cast<std::size_t>(i)] = p;
    }
    return w;
}

bool ApplyHarmonic(ArbStore &store, const HarmonicTerms &terms)
{
    const HarmonicWave w = EvaluateHarmonic(terms, store.ArbLength);
    if (!w.finite)
        return false;
    store.ClearPoints();
    store.ArbLength = w.length;
    for (std::size_t i = 0; i < w.points.size(); ++i)
        Point(store, static_cast<int>(i)) = w.points[i];
    return true;
}

} // namespace arb
