// One step of a freehand stroke at 201, 2500 and 16384 visible points, beside
// the full redraw of the same waveform in the same run.
#include "bench/BenchEditor.h"
#include "view/FreehandDrawing.h"
#include "view/WaveView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace
{

struct Editor : arb::bench::BenchEditor {
    explicit Editor(int points)
    {
        arb::ArbStore sine = store;
        sine.ArbLength = static_cast<float>(points);
        for (int i = 0; i < points; ++i)
            sine.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.01));
        document.replaceAll(sine);
        drawing = window->findChild<arb::FreehandDrawing *>();
    }
    arb::FreehandDrawing *drawing = nullptr;
};

// A stroke of a few hundred moves: mostly short steps, now and then a long
// jump across a tenth of the view.
std::vector<double> StrokeIndices(int points)
{
    std::vector<double> xs;
    double x = points / 2.0;
    for (int i = 0; i < 400; ++i) {
        x += (i % 50 == 49) ? points / 10.0 : points / 400.0;
        if (x > points - 1)
            x -= points / 2.0;
        xs.push_back(x);
    }
    return xs;
}

void BM_DrawStep(benchmark::State &state)
{
    const int points = static_cast<int>(state.range(0));
    Editor e(points);
    const std::vector<double> xs = StrokeIndices(points);
    std::size_t k = 0;
    for (auto _ : state) {
        e.drawing->DrawStep(xs[k], 800000.0 * std::sin(static_cast<double>(k)));
        k = (k + 1) % xs.size();
    }
}
BENCHMARK(BM_DrawStep)->Arg(201)->Arg(2500)->Arg(16384)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FullRedraw(benchmark::State &state)
{
    Editor e(static_cast<int>(state.range(0)));
    for (auto _ : state)
        e.window->view().DrawWaveAll();
}
BENCHMARK(BM_FullRedraw)->Arg(201)->Arg(2500)->Arg(16384)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
