#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace arb
{

// The most points one capture reads: a record of one byte per point, so
// also the largest data block taken.
constexpr std::size_t kMaxCapturePoints = 10'000'000;
// The fewest points a waveform has, and so a record must have.
constexpr std::size_t kMinCapturePoints = 4;

// The header of an IEEE 488.2 definite-length block: "#", one digit d
// (1 to 9), then d digits giving the count n of data bytes that follow.
struct BlockHeader {
    enum class State {
        Complete,  // headerBytes and dataBytes hold
        NeedMore,  // a header so far: more bytes are needed to tell
        Malformed, // not the header of a definite-length block
    };
    State state = State::NeedMore;
    std::size_t headerBytes = 0;
    std::uint64_t dataBytes = 0;
};

// The header at the start of bytes. "#0" (the indefinite form) is
// malformed; the count may have leading zeros.
BlockHeader ParseBlockHeader(std::string_view bytes);

} // namespace arb
