// Rendering and start-up figures of the main window, on the offscreen
// platform. DrawWaveAll is timed at 201, 2500 and 16384 points at the design
// scale and at a 1920 x 1040 work area; start-up is compared with a plain
// window of about 80 widgets with Chinese captions built in the same run.
#include "bench/BenchEditor.h"
#include "view/WaveView.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace
{

// The editor at start-up, with the platform VISA (as the program runs) or
// the test double.
struct Editor : arb::bench::BenchEditor {
    explicit Editor(QRect area, bool fake = false) : BenchEditor(area, fake) {}
};

QRect AreaFor(int scale)
{
    return scale == 0 ? QRect(0, 0, 1024, 768) : QRect(0, 0, 1920, 1040);
}

void BM_DrawWaveAll(benchmark::State &state)
{
    Editor e(AreaFor(static_cast<int>(state.range(1))));
    const int n = static_cast<int>(state.range(0));
    e.store.ArbLength = static_cast<float>(n);
    for (int i = 0; i < n; ++i)
        e.store.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.01));
    for (auto _ : state)
        e.window->DrawWaveAll();
    state.SetLabel(state.range(1) == 0 ? "1024x768" : "1920x1040");
}
BENCHMARK(BM_DrawWaveAll)
    ->ArgsProduct({{201, 2500, 16384}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The editor as the program starts it, up to its first painted window.
void StartUpEditorOnce()
{
    Editor e(AreaFor(0));
    e.window->show();
    const QPixmap first = e.window->grab();
    benchmark::DoNotOptimize(first.cacheKey());
}

// A window of the same kind without any of the editor's logic.
void StartUpBaselineOnce()
{
    QMainWindow window;
    auto *client = new QWidget(&window);
    auto *grid = new QGridLayout(client);
    for (int i = 0; i < 20; ++i) {
        auto *frame = new QGroupBox(QStringLiteral("波形参数%1").arg(i), client);
        auto *inner = new QGridLayout(frame);
        inner->addWidget(new QLabel(QStringLiteral("任意波点数"), frame), 0, 0);
        inner->addWidget(new QLineEdit(QStringLiteral("201"), frame), 0, 1);
        auto *combo = new QComboBox(frame);
        combo->addItems({QStringLiteral("无校验"), QStringLiteral("奇校验")});
        inner->addWidget(combo, 1, 0);
        inner->addWidget(new QPushButton(QStringLiteral("发送数据"), frame), 1, 1);
        grid->addWidget(frame, i / 4, i % 4);
    }
    window.setCentralWidget(client);
    window.resize(783, 667);
    window.show();
    const QPixmap first = window.grab();
    benchmark::DoNotOptimize(first.cacheKey());
}

void BM_StartUpEditor(benchmark::State &state)
{
    for (auto _ : state)
        StartUpEditorOnce();
}
BENCHMARK(BM_StartUpEditor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartUpBaselineWindow(benchmark::State &state)
{
    for (auto _ : state)
        StartUpBaselineOnce();
}
BENCHMARK(BM_StartUpBaselineWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// The editor and the baseline built in turn, so that a busy machine slows
// both alike: the median of the pairs' ratios.
void BM_StartUpPairedRatio(benchmark::State &state)
{
    std::vector<double> ratios;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        StartUpEditorOnce();
        const double editor = static_cast<double>(clock.nsecsElapsed());
        clock.restart();
        StartUpBaselineOnce();
        ratios.push_back(editor / static_cast<double>(std::max<qint64>(clock.nsecsElapsed(), 1)));
    }
    if (ratios.empty())
        return;
    auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    state.counters["ratio"] = *middle;
}
BENCHMARK(BM_StartUpPairedRatio)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConstructOnly(benchmark::State &state)
{
    for (auto _ : state) {
        Editor e(AreaFor(0), state.range(0) == 1);
        benchmark::DoNotOptimize(e.window.get());
    }
}
BENCHMARK(BM_ConstructOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
