// Rendering and start-up figures of the main window, on the offscreen
// platform. DrawWaveAll is timed at 201, 2500 and 16384 points at the design
// scale and at a 1920 x 1040 work area; start-up is compared with a plain
// window of about 80 widgets with Chinese captions built in the same run,
// and the search for a VISA library with the longer list of names it used.
#include "bench/BenchEditor.h"
#include "link/visa/LoadedVisa.h"
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
#include <string>
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
    arb::ArbStore sine = e.store;
    sine.ArbLength = static_cast<float>(n);
    for (int i = 0; i < n; ++i)
        sine.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.01));
    e.document.replaceAll(sine);
    for (auto _ : state)
        e.window->view().DrawWaveAll();
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

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

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
    state.counters["ratio"] = Median(ratios);
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

// Looking for a VISA library, where none is installed the whole of the
// loader's search for each name: the names tried now, against the 34 names
// (with guessed versions 30 down to 1) tried before.
void BM_FindVisaLibrary(benchmark::State &state)
{
    std::vector<std::string> names = arb::visa::LoadedVisa::DefaultLibraryNames();
    if (state.range(0) == 1) {
        names = {"libvisa.so.0", "libvisa.so"};
        for (int version = 30; version >= 1; --version)
            names.push_back("libvisa.so." + std::to_string(version));
        names.insert(names.end(), {"libiovisa.so", "librsvisa.so"});
    }
    for (auto _ : state) {
        std::unique_ptr<arb::visa::LoadedVisa> library = arb::visa::LoadedVisa::Load(names);
        benchmark::DoNotOptimize(library.get());
    }
    state.SetLabel(std::to_string(names.size()) + " names");
}
BENCHMARK(BM_FindVisaLibrary)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
