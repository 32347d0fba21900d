#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace arb
{

// Why a capture from an oscilloscope ended without a record.
enum class CaptureFaultKind {
    None,
    Cancelled,       // the user stopped it
    BadAddress,      // the address is no resource name this program opens
    OpenFailed,      // the instrument could not be opened
    HostNotFound,    // the network name does not resolve
    ConnectRefused,  // nothing listens on the port
    ConnectTimedOut, // no answer to the connection within its time
    NeedsVendorVisa, // a VXI-11 address without a vendor's VISA library
    Stalled,         // the reply stopped for the whole stall time
    LinkLost,        // the connection closed or failed mid-conversation
    UnknownMaker,    // an identification of no maker known here
    BadReply,        // a reply that does not read (detail says why)
    BadBlock,        // not a definite-length block where one belongs
    ShortBlock,      // the block ended before its announced length
    TooManyPoints,   // a record beyond kMaxCapturePoints
    TooFewPoints,    // a record below kMinCapturePoints
};

// A fault and where it happened: the command whose reply failed (empty
// while opening), the text at fault, and counts where they tell more.
struct CaptureFault {
    CaptureFaultKind kind = CaptureFaultKind::None;
    std::string command;
    // BadReply: the reply; UnknownMaker: the identification.
    std::string detail;
    // BadReply with a preamble: the fields found; ShortBlock, TooMany-,
    // TooFewPoints: the bytes announced; ShortBlock: also received.
    std::uint64_t expected = 0;
    std::uint64_t received = 0;

    explicit operator bool() const { return kind != CaptureFaultKind::None; }

    static CaptureFault Of(CaptureFaultKind kind, std::string command = {}, std::string detail = {})
    {
        CaptureFault fault;
        fault.kind = kind;
        fault.command = std::move(command);
        fault.detail = std::move(detail);
        return fault;
    }
};

} // namespace arb
