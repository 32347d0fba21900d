#pragma once

#include "link/visa/VisaApi.h"
#include "link/visa/VisaSession.h"
#include "scope/MakerCapture.h"
#include "scope/ScopeTalk.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace arb
{

// The times a capture allows, in milliseconds: for the connection to be
// answered, for a reply to make no progress at all, and (on a network
// socket) for one read before the cancel flag is looked at again.
struct CaptureLimits {
    visa::ViUInt32 connectMs = 3000;
    visa::ViUInt32 stallMs = 10000;
    visa::ViUInt32 sliceMs = 100;
};

// Shared between a capture and whoever watches it from another thread.
struct CaptureControl {
    // Set to stop the capture at its next read.
    std::atomic<bool> cancel{false};
    // Bytes received so far, replies and block together.
    std::atomic<std::uint64_t> received{0};
    // Data bytes the block announced, once its header has come; 0 before.
    std::atomic<std::uint64_t> blockBytes{0};
    // Data bytes of that block received so far.
    std::atomic<std::uint64_t> blockReceived{0};
};

// A conversation with an oscilloscope through one VISA session: commands
// written with viVPrintf (after a flush of the read buffer), replies read
// with viRead. On a network socket each read waits at most limits.sliceMs,
// so that a cancel is seen at once; elsewhere (USB) a read waits the whole
// stall time, since a library may abort a transfer whose read times out.
// A reply that makes no progress for limits.stallMs fails.
class VisaScopeTalk final : public ScopeTalk
{
  public:
    VisaScopeTalk(visa::VisaApi &visa, CaptureControl &control, const CaptureLimits &limits);
    ~VisaScopeTalk() override = default;
    VisaScopeTalk(const VisaScopeTalk &) = delete;
    VisaScopeTalk &operator=(const VisaScopeTalk &) = delete;

    // Opens a session on resource (a VisaSession without a bound on the
    // whole conversation); it is closed when the talk goes.
    CaptureFault open(const std::string &resource);

    CaptureFault send(std::string_view command) override;
    CaptureFault query(std::string_view command, std::string &reply) override;
    CaptureFault queryBlock(std::string_view command, std::string_view prefix, std::size_t maxBytes,
                            BlockSink &sink) override;

  private:
    // One read of up to cnt bytes into buf, repeated while nothing comes
    // until the stall time has passed; got counts the bytes read.
    CaptureFault readSome(std::string_view command, char *buf, std::size_t cnt, std::size_t &got);
    void setTermChar(bool enabled);

    visa::VisaApi &visa_;
    CaptureControl &control_;
    CaptureLimits limits_;
    std::unique_ptr<visa::VisaSession> session_;
    visa::ViSession vi_ = visa::VI_NULL;
    bool socket_ = false;
    // The instrument's message has ended (a USB reply's END).
    bool ended_ = false;
    // Bytes read past the reply that asked for them.
    std::string carry_;
    std::string chunk_;
};

// Opens resource, runs RunScopeCapture for channel on it and closes it.
CaptureResult CaptureOverVisa(visa::VisaApi &visa, const std::string &resource, int channel,
                              CaptureControl &control, const CaptureLimits &limits = {});

} // namespace arb
