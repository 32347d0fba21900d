// "任意公式" at 16384 points: the chirp example through the formula reader
// beside the same formula as a plain C++ loop, muparser's own bulk
// evaluation (OpenMP) of it for comparison, and one keystroke in the dialog:
// the formula read and evaluated and the preview redrawn.
#include "app/EquationDialog.h"
#include "bench/BenchMain.h"
#include "core/ArbStore.h"
#include "core/equation/WaveEquation.h"

#include <QComboBox>
#include <benchmark/benchmark.h>
#include <cmath>
#include <muParser.h>
#include <vector>

namespace
{

constexpr int kPoints = 16384;
const char *const kChirp = "sin(2*pi*(x + 4.5*x^2))";

void BM_EquationChirp(benchmark::State &state)
{
    std::vector<float> wave(kPoints, 0.0f);
    std::vector<double> out(kPoints);
    arb::WaveEquation eq;
    if (eq.setText(QString::fromLatin1(kChirp)).isError())
        state.SkipWithError("the chirp is not read");
    arb::EquationPoints p;
    p.values = wave.data();
    p.count = kPoints;
    p.last = kPoints - 1;
    for (auto _ : state) {
        eq.evaluate(p, out.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_EquationChirp)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PlainLoopChirp(benchmark::State &state)
{
    std::vector<double> out(kPoints);
    const double pi = 3.14159265358979323846;
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            const double x = static_cast<double>(i) / kPoints;
            out[static_cast<std::size_t>(i)] = std::sin(2 * pi * (x + 4.5 * x * x));
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_PlainLoopChirp)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the formula reader does not use: muparser's bulk evaluation, spread
// over OpenMP threads.
void BM_MuparserBulkChirp(benchmark::State &state)
{
    std::vector<double> x(kPoints), out(kPoints);
    for (int i = 0; i < kPoints; ++i)
        x[static_cast<std::size_t>(i)] = static_cast<double>(i) / kPoints;
    mu::Parser parser;
    parser.DefineVar("x", x.data());
    parser.DefineConst("pi", 3.14159265358979323846);
    parser.SetExpr(kChirp);
    for (auto _ : state) {
        parser.Eval(out.data(), kPoints);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MuparserBulkChirp)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One keystroke in the dialog's field at 16384 points: the text changes,
// the formula is read and evaluated, the status set and the preview redrawn
// and painted.
void BM_EquationKeystroke(benchmark::State &state)
{
    arb::ArbStore store;
    store.ArbLength = kPoints;
    for (int i = 0; i < kPoints; ++i)
        store.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.01));
    arb::EquationDialog dialog(store, {});
    dialog.show();
    auto *field = dialog.findChild<QComboBox *>(QStringLiteral("cobEquation"));
    auto *preview = dialog.findChild<QWidget *>(QStringLiteral("picEquationPreview"));
    // Two complete formulas, as typing "9" after "0." gives: each is read and evaluated in full.
    const QString texts[2] = {QString::fromLatin1(kChirp) + QStringLiteral("*0.9"),
                              QString::fromLatin1(kChirp) + QStringLiteral("*0.99")};
    int k = 0;
    for (auto _ : state) {
        field->setEditText(texts[k]);
        // Painted on the screen at once, as the next frame would.
        preview->repaint();
        k = 1 - k;
    }
    if (!dialog.outcome().usable())
        state.SkipWithError("the formula was not evaluated");
}
BENCHMARK(BM_EquationKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
