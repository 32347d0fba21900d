#include "link/generator/DownloadChunk.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace arb
{

int LastPassNumber(float arbLength)
{
    const double length = static_cast<double>(arbLength);
    int last = static_cast<int>(std::floor(length / kChunkPoints));
    if (std::fmod(length, kChunkPoints) == 0.0)
        --last;
    return std::clamp(last, 0, kMaxArbLength / kChunkPoints);
}

void ChooseDownloadScale(ArbStore &store)
{
    store.ChooseFullScale();
}

Chunk BuildChunk(const ArbStore &store, ArbHexTable &table, int pass, const std::string &name,
                 const std::string &count)
{
    static const std::string head = "DATA:ARB:DAC ";
    Chunk chunk;
    chunk.last = pass >= LastPassNumber(store.ArbLength);
    const int first = kChunkPoints * pass;
    int n = kChunkPoints;
    if (chunk.last)
        n = std::clamp(store.PointCount() - first, 0, kChunkPoints);

    std::string &text = chunk.text;
    text.reserve(head.size() + name.size() + count.size() + 2 + 4 * static_cast<std::size_t>(n) + 4);
    text = head;
    if (pass == 0) {
        text += name;
        text += ',';
        text += count;
        text += ',';
    }
    for (int j = 0; j < n; ++j) {
        const int i = first + j;
        PointToHex(store, i, table);
        table.appendDigits(i, text);
    }
    if (chunk.last)
        text += " END";
    return chunk;
}

std::string PercentCaption(int value, int max)
{
    float percent = 0.0f;
    if (max != 0)
        percent = static_cast<float>(value) / static_cast<float>(max) * 100.0f;
    // Locale-free "0.00".
    const int hundredths = RoundHalfEven(static_cast<double>(percent) * 100.0);
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d%%", hundredths < 0 ? "-" : "", std::abs(hundredths) / 100,
                  std::abs(hundredths) % 100);
    return text;
}

} // namespace arb
