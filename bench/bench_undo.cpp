// The cost of undo at 16384 points, beside what it is measured against in the
// same run: recording a command's step against the cheapest and a typical
// command that changes every point (with their full redraw); recording a
// stroke's step per drawing step against one drawing step; and an undo of a
// full-length change against one full redraw.
#include "app/UndoCommands.h"
#include "bench/BenchEditor.h"
#include "core/StandardWaves.h"
#include "core/WaveTransforms.h"
#include "view/FreehandDrawing.h"
#include "view/WaveView.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace
{

constexpr int kPoints = 16384;

struct Editor : arb::bench::BenchEditor {
    Editor()
    {
        arb::ArbStore sine = store;
        sine.ArbLength = static_cast<float>(kPoints);
        for (int i = 0; i < kPoints; ++i)
            sine.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.01));
        document.replaceAll(sine);
        undo().beginCommand(QStringLiteral("准备"));
        undo().endCommand();
        other = store.ArbData;
        for (float &v : other)
            v = -v + 0.125f;
    }
    arb::UndoCommands &undo() { return window->undoCommands(); }
    // Another waveform that differs at every point.
    std::array<float, arb::kArbBufferSize> other{};
};

// The commands without their recording: the cheapest one that changes every
// point, and the sine, each on a copy of the waveform that becomes the new
// waveform, drawn in full.
void BM_MirrorCommand(benchmark::State &state)
{
    Editor e;
    for (auto _ : state) {
        arb::ArbStore next = e.store;
        arb::MirrorX(next);
        e.document.replacePoints(next);
    }
}
BENCHMARK(BM_MirrorCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SineCommand(benchmark::State &state)
{
    Editor e;
    for (auto _ : state) {
        arb::ArbStore next = e.store;
        arb::FillSine(next);
        e.document.replacePoints(next);
    }
}
BENCHMARK(BM_SineCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The recording of a step that changes every point, with the copy that makes
// the change (so an upper bound of the recording alone).
void BM_RecordFullStep(benchmark::State &state)
{
    Editor e;
    const std::array<float, arb::kArbBufferSize> first = e.store.ArbData;
    bool flip = false;
    for (auto _ : state) {
        e.undo().beginCommand(QStringLiteral("X轴对称"));
        e.document.setPoints(0, flip ? first.data() : e.other.data(), arb::kArbBufferSize);
        e.undo().endCommand();
        flip = !flip;
    }
    if (!e.undo().history().canUndo())
        state.SkipWithError("nothing was recorded");
}
BENCHMARK(BM_RecordFullStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One drawing step at 16384 visible points.
void BM_DrawStep(benchmark::State &state)
{
    Editor e;
    auto *drawing = e.window->findChild<arb::FreehandDrawing *>();
    double x = 0;
    for (auto _ : state) {
        x = x >= kPoints - 50 ? 0 : x + 41;
        drawing->DrawStep(x, 800000.0 * std::sin(x));
    }
}
BENCHMARK(BM_DrawStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The recording of a stroke of n drawing steps that moves about 40 points a
// step over the whole view, with the writing of its points (an upper bound).
// Divide by n for the cost per drawing step.
void BM_RecordStroke(benchmark::State &state)
{
    Editor e;
    const int steps = static_cast<int>(state.range(0));
    const int span = std::min(steps * 41, kPoints);
    int from = 0;
    float value = 0.25f;
    std::vector<float> line(static_cast<std::size_t>(span));
    for (auto _ : state) {
        e.undo().beginStroke();
        std::fill(line.begin(), line.end(), value);
        e.document.setPoints(from, line.data(), span);
        e.undo().endStroke(from, from + span - 1);
        from = from + span + 41 >= kPoints ? 0 : from + 41;
        value = -value;
    }
    state.counters["steps"] = steps;
}
BENCHMARK(BM_RecordStroke)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A full redraw of the waveform; with 1, at a length that changes each time
// (the axis labels move), as after an undo that changes the length.
void BM_FullRedraw(benchmark::State &state)
{
    Editor e;
    const bool newLength = state.range(0) != 0;
    for (auto _ : state) {
        if (newLength)
            e.document.setLength(e.store.ArbLength == 16000.0f ? 16384.0f : 16000.0f);
        e.window->view().DrawWaveAll();
    }
}
BENCHMARK(BM_FullRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Undo and redo in turn of a step that changed every point; with 1, the
// length too.
void BM_UndoFullStep(benchmark::State &state)
{
    Editor e;
    e.undo().beginCommand(QStringLiteral("打开"));
    e.document.setPoints(0, e.other.data(), arb::kArbBufferSize);
    if (state.range(0) != 0)
        e.document.setLength(16000.0f);
    e.undo().endCommand();
    bool undone = false;
    for (auto _ : state) {
        if (undone)
            e.undo().mnuArbRedo_Click();
        else
            e.undo().mnuArbUndo_Click();
        undone = !undone;
    }
    if (e.undo().history().undoCount() + e.undo().history().redoCount() != 2)
        state.SkipWithError("the step was lost");
}
BENCHMARK(BM_UndoFullStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
