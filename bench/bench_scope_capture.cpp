// How soon a trace read from a serial oscilloscope becomes the waveform. The
// fake oscilloscope sends its reply at the byte time of 9600 baud through a
// pseudo-terminal to the real window and serial port. Timed: from the last
// byte of the reply leaving the fake to the trace being the waveform; the
// baseline of the same run is the wire time of the reply itself.
#include "bench/BenchEditor.h"
#include "tests/scope/FakeTds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace
{

using arb::bench::BenchEditor;

// Runs the event loop until done() or timeoutMs passed.
template <typename Done> bool RunUntil(Done done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void BM_TraceTakenAfterItsLastByte(benchmark::State &state)
{
    arb::test::FakeTds tds;
    if (!tds.isValid()) {
        state.SkipWithError("no pseudo-terminals");
        return;
    }
    tds.bytesPerSecond = 960;
    arb::ScopeCaptureServices scope;
    scope.portName = [&tds](int) { return tds.slavePath(); };
    BenchEditor editor(QRect(0, 0, 1024, 768), true, scope);
    const arb::ArbStore &store = editor.store;
    auto *link = editor.window->findChild<QPushButton *>(QStringLiteral("cmdLink"));
    auto *read = editor.window->findChild<QPushButton *>(QStringLiteral("cmdReadValue"));
    link->click();
    if (!RunUntil([&] { return read->isEnabled(); }, 5000)) {
        state.SkipWithError("no identification");
        return;
    }
    double wireMs = 0;
    double clickToWaveMs = 0;
    for (auto _ : state) {
        editor.document.setLength(201.0f);
        const qint64 clicked = tds.nowNs();
        read->click();
        if (!RunUntil([&] { return store.ArbLength == 2500.0f; }, 20000)) {
            state.SkipWithError("trace not taken");
            return;
        }
        const qint64 taken = tds.nowNs();
        state.SetIterationTime(static_cast<double>(taken - tds.lastByteNs) / 1e9);
        wireMs = static_cast<double>(tds.lastByteNs - tds.firstByteNs) / 1e6;
        clickToWaveMs = static_cast<double>(taken - clicked) / 1e6;
    }
    state.counters["wire_ms"] = wireMs;
    state.counters["click_to_wave_ms"] = clickToWaveMs;
    state.counters["click_to_wave_over_wire"] = clickToWaveMs / wireMs;
}
BENCHMARK(BM_TraceTakenAfterItsLastByte)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunWidgetBenchmarks(argc, argv);
}
