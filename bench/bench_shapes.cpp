// The shapes of "更多波形" at 16384 points, each against a plain sine loop of
// the same length in the same run, and the dialog's preview following a
// changed parameter (the shape computed and the whole preview redrawn).
#include "app/ShapeDialog.h"
#include "app/ShapeMemory.h"
#include "bench/BenchMain.h"
#include "core/ArbStore.h"
#include "core/shapes/ShapeSynthesis.h"
#include "tests/support/ScriptedPrompt.h"
#include "view/WavePreview.h"

#include <QLineEdit>
#include <QSettings>
#include <QStackedWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <vector>

namespace
{

constexpr int kPoints = 16384;

// The baseline: one double sine per point, stored as single precision.
void PlainSine(std::vector<float> &out)
{
    for (int k = 0; k < kPoints; ++k)
        out[static_cast<std::size_t>(k)] = static_cast<float>(std::sin(6.283185307179586 * k / kPoints));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
}

void BM_PlainSine(benchmark::State &state)
{
    std::vector<float> out(kPoints);
    for (auto _ : state)
        PlainSine(out);
}
BENCHMARK(BM_PlainSine)->Unit(benchmark::kMicrosecond)->UseRealTime();

double Micros(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Each iteration times the shape and, right after it, the plain sine loop:
// x_sine is the median of the pairs' ratios, which a busy machine moves far
// less than two benchmarks run one after the other.
void BM_Shape(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const auto kind = static_cast<arb::ShapeKind>(state.range(0));
    const arb::ShapeSettings settings = arb::DefaultShapeSettings(kind);
    std::vector<float> out(kPoints);
    std::vector<float> baseline(kPoints);
    std::vector<double> ratios;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        arb::ComputeShape(settings, kPoints, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        const Clock::time_point t1 = Clock::now();
        PlainSine(baseline);
        const Clock::time_point t2 = Clock::now();
        state.SetIterationTime(Micros(t1 - t0) / 1e6);
        ratios.push_back(Micros(t1 - t0) / Micros(t2 - t1));
    }
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2),
                     ratios.end());
    state.counters["x_sine"] = ratios[ratios.size() / 2];
    state.SetLabel(arb::DescribeShape(kind).key.toStdString());
}
BENCHMARK(BM_Shape)
    ->DenseRange(0, static_cast<int>(arb::ShapeKind::Prbs))
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();

// The first parameter of the shape typed anew, alternating between two
// values, until the preview has painted the result.
void BM_PreviewFollows(benchmark::State &state)
{
    const auto kind = static_cast<arb::ShapeKind>(state.range(0));
    std::vector<float> points(kPoints);
    for (int i = 0; i < kPoints; ++i)
        points[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.01));
    QSettings none(QString(), QSettings::IniFormat);
    arb::ShapeChoices choices = arb::RecallShapeChoices(none);
    choices.chosen = kind;
    arb::test::ScriptedPrompt user;
    arb::ShapeDialog dialog(points.data(), kPoints, choices, user);
    dialog.show();
    auto *page = dialog.findChild<QStackedWidget *>()->currentWidget();
    auto *field = page->findChild<QLineEdit *>();
    auto *preview = dialog.findChild<arb::WavePreview *>();
    const QString texts[] = {field->text(), QStringLiteral("2")};
    int n = 0;
    for (auto _ : state) {
        field->setText(texts[++n % 2]);
        preview->repaint();
    }
    state.SetLabel(arb::DescribeShape(kind).key.toStdString());
}
BENCHMARK(BM_PreviewFollows)
    ->Arg(static_cast<int>(arb::ShapeKind::Sine))
    ->Arg(static_cast<int>(arb::ShapeKind::GaussianNoise))
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
