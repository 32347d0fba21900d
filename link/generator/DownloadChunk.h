#pragma once

#include "core/ArbStore.h"
#include "link/generator/ArbHexTable.h"

#include <string>

namespace arb
{

// Points per download chunk.
constexpr int kChunkPoints = 1000;

// Number of the last chunk of a waveform of the given length:
// ceil(length / 1000) - 1, never below 0.
int LastPassNumber(float arbLength);

// The scale of a download, chosen at its first pass: the extremes of the
// points in use are recomputed, and a waveform whose peak magnitude P is
// below 1 (and not 0) gets ArbScale = 1 / P; otherwise 1. ArbData is not
// changed.
void ChooseDownloadScale(ArbStore &store);

struct Chunk {
    // The command text before its line feed.
    std::string text;
    // The chunk ends the transfer (" END").
    bool last = false;
};

// The command text of chunk number pass. The first chunk (pass 0) carries
// the name and count fields as given. A pass at or beyond the last pass
// number is the last chunk; it holds the points from 1000 x pass up to the
// end of the waveform, none when the waveform has grown shorter since.
Chunk BuildChunk(const ArbStore &store, ArbHexTable &table, int pass, const std::string &name,
                 const std::string &count);

// Percent caption of the download progress: value / max x 100 in single
// precision, two decimals, and "%".
std::string PercentCaption(int value, int max);

} // namespace arb
