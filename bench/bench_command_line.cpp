// The command line as a user starts it, as a process:
// - "vxarb --version" against a bare Qt Core program that prints a version
//   (target: at most 1.5 x), both started in turn in the same run;
// - "vxarb convert" of the import benchmark's 10-million-line table against
//   the import's own read and resample in this process (target: at most
//   1.3 x).
// On a machine shared with other work the median ratio of the pairs is the
// figure to go by; each pair also gives the ratio of CPU time (the child's
// user and system time, or this process's for the import in it).
#include "bench/BenchMain.h"
#include "bench/LargeTable.h"

#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace
{

struct Times {
    double wall = 0.0; // seconds
    double cpu = 0.0;  // seconds
    bool ok = false;
};

double ChildCpuSeconds()
{
    rusage u = {};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Runs a program to its end, its output thrown away.
Times Run(std::vector<std::string> arguments)
{
    std::vector<char *> argv;
    for (std::string &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Times t;
    const double cpu0 = ChildCpuSeconds();
    const auto w0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        ::waitpid(pid, &status, 0) == pid)
        t.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    t.cpu = ChildCpuSeconds() - cpu0;
    posix_spawn_file_actions_destroy(&actions);
    return t;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Runs a and b in turn, in alternating order, and reports the medians of
// each and of the pairs' ratios b / a.
template <typename A, typename B> void InPairs(benchmark::State &state, A a, B b)
{
    std::vector<double> wallA, wallB, ratio, cpuRatio;
    for (auto _ : state) {
        Times t[2];
        const bool bFirst = ratio.size() % 2 == 1;
        for (int k = 0; k < 2; ++k) {
            const bool isB = (k == 0) == bFirst;
            t[isB] = isB ? b() : a();
            if (!t[isB].ok) {
                state.SkipWithError(isB ? "the command failed" : "the baseline failed");
                return;
            }
        }
        wallA.push_back(t[0].wall);
        wallB.push_back(t[1].wall);
        ratio.push_back(t[1].wall / t[0].wall);
        cpuRatio.push_back(t[0].cpu > 0 ? t[1].cpu / t[0].cpu : 0.0);
    }
    state.counters["baseline_ms"] = Median(wallA) * 1e3;
    state.counters["command_ms"] = Median(wallB) * 1e3;
    state.counters["ratio"] = Median(ratio);
    state.counters["cpu_ratio"] = Median(cpuRatio);
}

void BM_VersionOverBareCoreInPairs(benchmark::State &state)
{
    InPairs(
        state,
        [] {
            return Run({ARB_BARE_CORE_PROGRAM, "--version"});
        },
        [] {
            return Run({ARB_VXARB_PROGRAM, "--version"});
        });
}
BENCHMARK(BM_VersionOverBareCoreInPairs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(101);

void BM_ConvertOverImportInPairs(benchmark::State &state)
{
    const QString table = arb::bench::LargeTablePath();
    QTemporaryDir out;
    const std::string in = table.toStdString();
    const std::string csv = out.filePath(QStringLiteral("out.csv")).toStdString();
    InPairs(
        state,
        [&] {
            Times t;
            const double cpu0 = static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
            const auto w0 = std::chrono::steady_clock::now();
            t.ok = arb::bench::ImportLargeTable(table);
            t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
            t.cpu = static_cast<double>(std::clock()) / CLOCKS_PER_SEC - cpu0;
            return t;
        },
        [&] {
            return Run({ARB_VXARB_PROGRAM, "convert", in, "-o", csv});
        });
}
BENCHMARK(BM_ConvertOverImportInPairs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(9);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
