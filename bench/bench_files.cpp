// Reading and writing 16384-point waveform files of each form, beside a plain
// line count of the same file in the same run, and the open and save
// commands as the user runs them (without the redraw).
#include "app/FileCommands.h"
#include "bench/BenchMain.h"
#include "core/ArbStore.h"
#include "core/files/WaveFileReader.h"
#include "core/files/WaveFileWriter.h"
#include "tests/support/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <string>

namespace
{

constexpr int kPoints = 16384;

QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

std::string MakeText(int form)
{
    std::string text;
    if (form == 1)
        text +=
            "Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:16384\r\nArb Name:SINE1\r\n";
    else if (form == 2)
        text +=
            "Copyright: Agilent Technologies, 2010\r\nFile Format:1.0\r\nCh1\r\nCh2\r\nData Points:16384\r\n"
            "Data:\r\n";
    else
        text += "16384\r\n";
    char line[32];
    for (int i = 0; i < kPoints; ++i) {
        const double v = 0.9 * std::sin(i * 0.01);
        if (form == 2)
            std::snprintf(line, sizeof line, "%d\r\n", static_cast<int>(std::lround(v * 32768)));
        else
            std::snprintf(line, sizeof line, "%.3f\r\n", v);
        text += line;
    }
    return text;
}

QString FileFor(int form)
{
    const QString path =
        Folder().filePath(QStringLiteral("wave%1.%2").arg(form).arg(form == 1 ? "arb" : "txt"));
    if (!QFile::exists(path)) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray::fromStdString(MakeText(form)));
    }
    return path;
}

const char *FormName(int form)
{
    return form == 0 ? "plain" : form == 1 ? "2.0" : "1.0";
}

void BM_LineCount(benchmark::State &state)
{
    const std::string path = FileFor(static_cast<int>(state.range(0))).toStdString();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        int lines = 0;
        while (std::getline(in, line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetLabel(FormName(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LineCount)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ReadFile(benchmark::State &state)
{
    const QString path = FileFor(static_cast<int>(state.range(0)));
    arb::ArbStore store;
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        arb::DeviceLineSource lines(file);
        arb::WaveFileReader reader(lines);
        arb::WaveFileHeader header;
        reader.readHeader(header);
        benchmark::DoNotOptimize(arb::ReadPoints(reader, store, kPoints));
    }
    state.SetLabel(FormName(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadFile)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_OpenCommand(benchmark::State &state)
{
    const QString path = FileFor(static_cast<int>(state.range(0)));
    arb::test::FakeHost host;
    arb::FileCommands files(host);
    for (auto _ : state) {
        host.user.pushFile(path);
        files.menuFileOpen_Click();
    }
    if (host.arb.ArbLength != kPoints)
        state.SkipWithError("the file was not read");
    state.SetLabel(FormName(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_OpenCommand)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SaveCommand(benchmark::State &state)
{
    arb::test::FakeHost host;
    arb::ArbStore sine = host.arb;
    sine.ArbLength = kPoints;
    for (int i = 0; i < kPoints; ++i)
        sine.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.9 * std::sin(i * 0.01));
    host.doc.replaceAll(sine);
    host.length = QStringLiteral("16384");
    arb::FileCommands files(host);
    const QString path = Folder().filePath(QStringLiteral("saved.arb"));
    for (auto _ : state) {
        host.user.pushFile(path);
        files.menuFileSave_Click();
    }
}
BENCHMARK(BM_SaveCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
