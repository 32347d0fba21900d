#pragma once

#include "core/ArbStore.h"
#include "link/generator/ArbHexTable.h"

#include <QObject>
#include <string>

namespace arb
{

// What a download needs of the generator link at each step.
class ChunkLink
{
  public:
    virtual ~ChunkLink() = default;
    // A fresh session on the generator for the next chunk; false when the
    // link no longer holds, so that the download cannot go on.
    virtual bool reopenForChunk() = 0;
    // Writes one command on that session.
    virtual void sendChunk(const std::string &command) = 0;
};

// The download of a waveform to the generator: one "DATA:ARB:DAC" command of
// up to 1000 points a step, the first carrying the name and the count, the
// last ending with " END". Whoever runs it calls step() once a chunk, from a
// window's timer or a loop of its own; each step reads the waveform, its
// name and its count text afresh, and the first one chooses the scale
// (ArbScale of the store). It reports its progress, its end, and a link lost
// on the way.
class ChunkedDownload : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;

    enum class Step {
        BadName,  // the name is none the generator takes: nothing was opened or sent
        LinkLost, // the link no longer holds: the download was abandoned
        Sent,     // a chunk went out and more follow
        Finished, // the last chunk went out
    };

    Step step(ChunkLink &link, ArbStore &store, const std::string &name, const std::string &count);

    // Ends a download under way; the next one starts at its first chunk.
    void abandon();

    // A download is under way: later chunks still read the waveform.
    bool running() const { return pass_ != 0; }
    // The number of the next chunk; 0 when the next step starts a download.
    int pass() const { return pass_; }
    // The chunks of the download under way (or of the last one), and how
    // many of them went out.
    int chunkCount() const { return chunks_; }
    int chunksSent() const { return sent_; }

  signals:
    void runningChanged(bool running);
    // The first chunk is about to go out, of chunks in all.
    void started(int chunks);
    // A chunk went out; last when it ended the download.
    void chunkSent(bool last);
    // A download under way was abandoned.
    void abandoned();

  private:
    void setPass(int pass);

    int pass_ = 0;
    int chunks_ = 0;
    int sent_ = 0;
    ArbHexTable hex_;
};

} // namespace arb
