#pragma once

#include "scope/CaptureFault.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace arb
{

// Takes the data bytes of a block as they arrive.
class BlockSink
{
  public:
    virtual ~BlockSink() = default;
    // The block holds n data bytes; called once, before the first take().
    virtual void begin(std::size_t n) = 0;
    virtual void take(const unsigned char *bytes, std::size_t count) = 0;
    // Room for the next count bytes, for a reader to read them into
    // straight and then say how many came (filled).
    virtual unsigned char *room(std::size_t count) = 0;
    virtual void filled(std::size_t count) = 0;
};

// One open conversation with an oscilloscope: commands end in a line feed,
// replies are a line or a definite-length block. An implementation reads
// through whatever transport it has, within its time limits, and answers a
// fault with the command whose reply failed.
class ScopeTalk
{
  public:
    virtual ~ScopeTalk() = default;

    // Writes command and a line feed.
    virtual CaptureFault send(std::string_view command) = 0;

    // Writes command and reads its reply up to its line feed, which (with
    // a carriage return before it) is taken off.
    virtual CaptureFault query(std::string_view command, std::string &reply) = 0;

    // Writes command and reads its reply: prefix (compared without regard
    // to case; a reply may also start with the block at once), then a
    // definite-length block of at most maxBytes data bytes, handed to sink
    // as they arrive. A line feed after the block is not waited for.
    virtual CaptureFault queryBlock(std::string_view command, std::string_view prefix, std::size_t maxBytes,
                                    BlockSink &sink) = 0;
};

} // namespace arb
