#include "link/generator/DownloadChunk.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace
{

arb::ArbStore SineStore()
{
    arb::ArbStore store;
    store.ArbLength = 16384;
    for (int i = 0; i < 16384; ++i)
        store.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(0.8 * std::sin(i * 0.01));
    arb::ChooseDownloadScale(store);
    return store;
}

void BM_ChunkText(benchmark::State &state)
{
    arb::ArbStore store = SineStore();
    arb::ArbHexTable table;
    for (auto _ : state) {
        arb::Chunk c = arb::BuildChunk(store, table, 3, "ArbNo0", "16384");
        benchmark::DoNotOptimize(c.text.data());
    }
}
BENCHMARK(BM_ChunkText);

void BM_PlainHexLoop(benchmark::State &state)
{
    static const char digits[] = "0123456789ABCDEF";
    unsigned codes[1000];
    for (int i = 0; i < 1000; ++i)
        codes[i] = static_cast<unsigned>(i * 37) & 0xFFFFu;
    for (auto _ : state) {
        std::string text;
        text.reserve(4 * 1000 + 32);
        for (unsigned c : codes) {
            benchmark::DoNotOptimize(c);
            text += digits[c >> 12];
            text += digits[(c >> 8) & 15];
            text += digits[(c >> 4) & 15];
            text += digits[c & 15];
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_PlainHexLoop);

} // namespace

BENCHMARK_MAIN();
