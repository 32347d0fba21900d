// Capturing a 10-million-point record from an oscilloscope on the network:
// a simulated Rigol on 127.0.0.1 answers the whole conversation (the
// identification, the settings, the preamble and the block), read through
// the built-in backend's socket and converted to volts; against the floor
// measured in the same run, a bare socket that sends the block's query and
// receives the same reply into a buffer. The ratio of the medians is the
// figure that counts; on a machine shared with other work, the median
// ratio of the pairs measured in turn (BM_CaptureOverBareSocketInPairs) is
// the steadier one. BM_BareSocketIntoColumn10M shows what the capture
// leaves out by keeping the record as its bytes with the volts of each byte
// value: writing ten million floats (40 MB) into new memory.
#include "bench/BenchMain.h"
#include "bench/PairedRatio.h"
#include "link/visa/SocketVisa.h"
#include "scope/VisaScopeTalk.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/peers/ScopeServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

using namespace arb;

constexpr std::size_t kPoints = 10'000'000;

test::ScopeServer &Server()
{
    static test::ScopeServer server([] {
        std::string data(kPoints, '\0');
        for (std::size_t i = 0; i < kPoints; ++i)
            data[i] = static_cast<char>((i * 131) >> 8);
        return test::SimulatedScope::Rigol(1, std::move(data));
    }());
    return server;
}

visa::SocketVisa &Visa()
{
    static visa::SocketVisa visa(std::make_unique<test::RecordingVisa>());
    return visa;
}

bool CapturePass()
{
    CaptureControl control;
    const CaptureResult r = CaptureOverVisa(Visa(), Server().resource(), 1, control);
    benchmark::DoNotOptimize(r.record.volts.codes.data());
    return !r.fault && r.record.volts.size() == kPoints;
}

// The floor: one connection, the block's query, and its whole reply read
// into a buffer of its size. With column, each piece received is also
// written into a new column of floats (float(b), one per byte), as the
// least any reading into volts must do.
bool BarePass(bool column = false)
{
    const std::size_t size = Server().scope().reply(":WAVeform:DATA?").size();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Server().port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return false;
    }
    static const char query[] = ":WAVeform:DATA?\n";
    ::send(fd, query, sizeof query - 1, MSG_NOSIGNAL);
    std::unique_ptr<char[]> buffer(new char[size]);
    std::vector<float> volts;
    if (column)
        volts.reserve(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n =
            ::recv(fd, buffer.get() + got, column ? std::min<std::size_t>(size - got, 65536) : size - got, 0);
        if (n <= 0)
            break;
        if (column)
            for (ssize_t i = 0; i < n; ++i)
                volts.push_back(static_cast<unsigned char>(buffer[got + static_cast<std::size_t>(i)]));
        got += static_cast<std::size_t>(n);
    }
    benchmark::DoNotOptimize(volts.data());
    ::close(fd);
    benchmark::DoNotOptimize(buffer.get());
    return got == size;
}

void BM_BareSocket10M(benchmark::State &state)
{
    for (auto _ : state)
        if (!BarePass()) {
            state.SkipWithError("the block did not come");
            return;
        }
}
BENCHMARK(BM_BareSocket10M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_BareSocketIntoColumn10M(benchmark::State &state)
{
    for (auto _ : state)
        if (!BarePass(true)) {
            state.SkipWithError("the block did not come");
            return;
        }
}
BENCHMARK(BM_BareSocketIntoColumn10M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_Capture10M(benchmark::State &state)
{
    for (auto _ : state)
        if (!CapturePass()) {
            state.SkipWithError("the capture failed");
            return;
        }
}
BENCHMARK(BM_Capture10M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_CaptureOverBareSocketInPairs(benchmark::State &state)
{
    arb::bench::MeasureInPairs(
        state, CapturePass, [] { return BarePass(); }, "a pass failed");
}
BENCHMARK(BM_CaptureOverBareSocketInPairs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

} // namespace

int main(int argc, char **argv)
{
    return arb::bench::RunCoreBenchmarks(argc, argv);
}
