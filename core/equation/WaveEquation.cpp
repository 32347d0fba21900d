#include "core/equation/WaveEquation.h"

#include "core/equation/EquationFunctions.h"
#include "core/equation/EquationParserErrors.h"
#include "core/equation/EquationTextScan.h"

#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace arb
{

namespace
{

using Fun1 = double (*)(double);
using Fun2 = double (*)(double, double);

struct Function1 {
    const char *name;
    Fun1 fun;
};
struct Function2 {
    const char *name;
    Fun2 fun;
};

// The functions of the language; w, rand and randn read the point.
constexpr Function1 kFunctions1[] = {
    {"sin", [](double v) { return std::sin(v); }},
    {"cos", [](double v) { return std::cos(v); }},
    {"tan", [](double v) { return std::tan(v); }},
    {"asin", [](double v) { return std::asin(v); }},
    {"acos", [](double v) { return std::acos(v); }},
    {"atan", [](double v) { return std::atan(v); }},
    {"sinh", [](double v) { return std::sinh(v); }},
    {"cosh", [](double v) { return std::cosh(v); }},
    {"tanh", [](double v) { return std::tanh(v); }},
    {"exp", [](double v) { return std::exp(v); }},
    {"ln", [](double v) { return std::log(v); }},
    {"log", [](double v) { return std::log(v); }},
    {"log10", [](double v) { return std::log10(v); }},
    {"log2", [](double v) { return std::log2(v); }},
    {"sqrt", [](double v) { return std::sqrt(v); }},
    {"abs", [](double v) { return std::fabs(v); }},
    {"floor", [](double v) { return std::floor(v); }},
    {"ceil", [](double v) { return std::ceil(v); }},
    {"sign", EquationSign},
    {"round", EquationRound},
    {"sinc", Sinc},
    {"gauss", Gauss},
    {"rect", Rect},
    {"tri", Tri},
    {"step", Step},
    {"saw", Saw},
    {"sq", Square},
};
constexpr Function2 kFunctions2[] = {
    {"atan2", [](double y, double x) { return std::atan2(y, x); }},
    {"min", EquationMin},
    {"max", EquationMax},
    {"mod", EquationMod},
    {"pwm", Pwm},
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kE = 2.71828182845904523536;

const float kNoPoint = 0.0f;

} // namespace

struct WaveEquation::Impl {
    mu::Parser parser;
    // The point being evaluated.
    double x = 0, n = 0, N = 1, u = 0, y = 0;
    const float *values = &kNoPoint;
    int count = 1;
    int point = 0;
    int randomCalls = 0;
    std::uint32_t seed = 1;
    bool ready = false;

    Impl()
    {
        parser.ClearFun();
        parser.ClearConst();
        parser.ClearVar();
        for (const Function1 &f : kFunctions1)
            parser.DefineFun(f.name, f.fun);
        for (const Function2 &f : kFunctions2)
            parser.DefineFun(f.name, f.fun);
        parser.DefineFun("clip", EquationClip);
        // Not to be folded into constants when the formula is read: their
        // values belong to the point.
        parser.DefineFunUserData("w", PointValue, this, false);
        parser.DefineFunUserData("rand", Uniform, this, false);
        parser.DefineFunUserData("randn", Normal, this, false);
        parser.DefineConst("pi", kPi);
        parser.DefineConst("e", kE);
        parser.DefineVar("x", &x);
        parser.DefineVar("n", &n);
        parser.DefineVar("N", &N);
        parser.DefineVar("u", &u);
        parser.DefineVar("y", &y);
    }

    static double PointValue(void *data, double k)
    {
        auto *self = static_cast<Impl *>(data);
        const int i = WrapPointIndex(k, self->count);
        return i < 0 ? std::numeric_limits<double>::quiet_NaN() : self->values[i];
    }
    static double Uniform(void *data)
    {
        auto *self = static_cast<Impl *>(data);
        return RandomUniform(self->seed, self->point, self->randomCalls++);
    }
    static double Normal(void *data)
    {
        auto *self = static_cast<Impl *>(data);
        return RandomNormal(self->seed, self->point, self->randomCalls++);
    }

    // muparser's mistake in text, or none; text is plain ASCII.
    std::optional<mu::ParserError> parse(const QString &text)
    {
        try {
            parser.SetExpr(text.toStdString());
            // muparser reads the formula at its first evaluation.
            randomCalls = 0;
            parser.Eval();
            if (parser.GetNumResults() != 1)
                return mu::ParserError(mu::ecUNEXPECTED_ARG_SEP, 0, std::string(","));
            return std::nullopt;
        } catch (const mu::ParserError &e) {
            return e;
        }
    }
};

WaveEquation::WaveEquation() : d_(std::make_unique<Impl>()) {}

WaveEquation::~WaveEquation() = default;

int WaveEquation::FunctionArgumentCount(const QString &name)
{
    const QByteArray n = name.toLatin1();
    for (const Function1 &f : kFunctions1)
        if (n == f.name)
            return 1;
    for (const Function2 &f : kFunctions2)
        if (n == f.name)
            return 2;
    if (n == "clip")
        return 3;
    if (n == "w")
        return 1;
    if (n == "rand" || n == "randn")
        return 0;
    return -1;
}

EquationError WaveEquation::setText(const QString &text)
{
    d_->ready = false;
    d_->values = &kNoPoint;
    d_->count = 1;
    const EquationScan scan = ScanEquationText(text);
    if (scan.error.isError()) {
        // A mistake muparser finds before the scan's comes first; the text up
        // to the scan's mistake is plain ASCII.
        const QString before = text.left(scan.error.position - 1);
        if (!before.trimmed().isEmpty()) {
            const std::optional<mu::ParserError> e = d_->parse(BracketsAfterNames(before));
            if (e && !ComesOfTheCut(*e, before))
                return TranslateParserError(*e, before, 0);
        }
        return scan.error;
    }
    if (const std::optional<mu::ParserError> e = d_->parse(BracketsAfterNames(text)))
        return TranslateParserError(*e, text, scan.openBracket);
    d_->ready = true;
    return {};
}

void WaveEquation::evaluate(const EquationPoints &points, double *out)
{
    Impl &d = *d_;
    if (!d.ready || points.count <= 0 || points.first > points.last) {
        std::fill(out, out + std::max(points.last - points.first + 1, 0),
                  std::numeric_limits<double>::quiet_NaN());
        return;
    }
    d.values = points.values;
    d.count = points.count;
    d.seed = points.seed;
    d.N = points.count;
    const double width = points.last - points.first + 1;
    for (int i = points.first; i <= points.last; ++i) {
        d.point = i;
        d.randomCalls = 0;
        d.x = static_cast<double>(i) / points.count;
        d.n = i;
        d.u = (i - points.first) / width;
        d.y = points.values[i];
        try {
            out[i - points.first] = d.parser.Eval();
        } catch (const mu::ParserError &) {
            out[i - points.first] = std::numeric_limits<double>::quiet_NaN();
        }
    }
    d.values = &kNoPoint;
    d.count = 1;
}

} // namespace arb
