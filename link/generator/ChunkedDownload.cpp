#include "link/generator/ChunkedDownload.h"

#include "link/generator/DownloadChunk.h"
#include "link/generator/GeneratorName.h"

#include <algorithm>

namespace arb
{

ChunkedDownload::Step ChunkedDownload::step(ChunkLink &link, ArbStore &store, const std::string &name,
                                            const std::string &count)
{
    // The first chunk carries the name: one the generator cannot take is
    // never sent, whatever put it into the field.
    if (pass_ == 0 && !IsGeneratorName(name))
        return Step::BadName;
    if (!link.reopenForChunk()) {
        abandon();
        return Step::LinkLost;
    }
    if (pass_ == 0) {
        ChooseDownloadScale(store);
        chunks_ = LastPassNumber(store.ArbLength) + 1;
        sent_ = 0;
        emit started(chunks_);
    }
    const Chunk chunk = BuildChunk(store, hex_, pass_, name, count);
    link.sendChunk(chunk.text);
    // A waveform grown longer since the first step runs on; the count stays
    // at its end.
    sent_ = chunk.last ? chunks_ : std::min(sent_ + 1, chunks_);
    setPass(chunk.last ? 0 : pass_ + 1);
    emit chunkSent(chunk.last);
    return chunk.last ? Step::Finished : Step::Sent;
}

void ChunkedDownload::abandon()
{
    if (pass_ == 0)
        return;
    setPass(0);
    emit abandoned();
}

void ChunkedDownload::setPass(int pass)
{
    const bool was = running();
    pass_ = pass;
    if (running() != was)
        emit runningChanged(running());
}

} // namespace arb
