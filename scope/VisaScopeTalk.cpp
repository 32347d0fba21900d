#include "scope/VisaScopeTalk.h"

#include "link/visa/NetworkResource.h"
#include "link/visa/VaList.h"
#include "link/visa/VisaCommands.h"
#include "scope/CaptureBlock.h"

#include <algorithm>
#include <chrono>

namespace arb
{

using namespace visa;

namespace
{

// Bytes asked for by each read of a block's data (few calls, yet the
// progress and a cancel are seen often on a slow link), and of a line.
constexpr std::size_t kDataPiece = 64 * 1024;
constexpr std::size_t kLinePiece = 256;
// A reply line longer than this is no reply of these command sets.
constexpr std::size_t kLineLimit = 64 * 1024;
// Most bytes before a block's "#" (the prefix a reply may carry).
constexpr std::size_t kPrefixLimit = 64;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

CaptureFault OpenFault(ViStatus status, const std::string &resource, bool socket)
{
    if (status == VI_ERROR_NSUP_OPER && ParseVxi11Resource(resource))
        return CaptureFault::Of(CaptureFaultKind::NeedsVendorVisa);
    if (socket) {
        if (status == VI_ERROR_RSRC_NFOUND)
            return CaptureFault::Of(CaptureFaultKind::HostNotFound);
        if (status == VI_ERROR_MACHINE_NAVAIL)
            return CaptureFault::Of(CaptureFaultKind::ConnectRefused);
        if (status == VI_ERROR_TMO)
            return CaptureFault::Of(CaptureFaultKind::ConnectTimedOut);
    }
    return CaptureFault::Of(CaptureFaultKind::OpenFailed);
}

} // namespace

VisaScopeTalk::VisaScopeTalk(VisaApi &visa, CaptureControl &control, const CaptureLimits &limits)
    : visa_(visa), control_(control), limits_(limits)
{
}

CaptureFault VisaScopeTalk::open(const std::string &resource)
{
    socket_ = ParseSocketResource(resource).has_value();
    // A socket's reads wait one slice at a time, so that a cancel is seen.
    const ViUInt32 timeout = socket_ ? std::min(limits_.sliceMs, limits_.stallMs) : limits_.stallMs;
    session_ = std::make_unique<VisaSession>(visa_, resource, limits_.connectMs, timeout);
    if (!session_->isOpen())
        return OpenFault(session_->openStatus(), resource, socket_);
    vi_ = session_->handle();
    // Not every backend has a termination character (a USB read ends with
    // the instrument's message); where one is refused, lines still end.
    visa_.viSetAttribute(vi_, VI_ATTR_TERMCHAR, '\n');
    return {};
}

void VisaScopeTalk::setTermChar(bool enabled)
{
    visa_.viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, enabled ? 1 : 0);
}

CaptureFault VisaScopeTalk::send(std::string_view command)
{
    carry_.clear();
    ended_ = false;
    visa_.viFlush(vi_, VI_READ_BUF_DISCARD);
    std::string format = EscapeFormatText(std::string(command));
    format += '\n';
    const ViStatus status = PrintfVia(visa_, vi_, format.c_str());
    if (Failed(status))
        return CaptureFault::Of(status == VI_ERROR_TMO ? CaptureFaultKind::Stalled
                                                       : CaptureFaultKind::LinkLost,
                                std::string(command));
    return {};
}

CaptureFault VisaScopeTalk::readSome(std::string_view command, char *buf, std::size_t cnt, std::size_t &got)
{
    using Clock = std::chrono::steady_clock;
    got = 0;
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (control_.cancel.load(std::memory_order_relaxed))
            return CaptureFault::Of(CaptureFaultKind::Cancelled, std::string(command));
        ViUInt32 n = 0;
        const ViStatus status =
            visa_.viRead(vi_, reinterpret_cast<ViPBuf>(buf), static_cast<ViUInt32>(cnt), &n);
        got = std::min<std::size_t>(n, cnt);
        if (got > 0)
            control_.received.fetch_add(got, std::memory_order_relaxed);
        if (status == VI_SUCCESS)
            ended_ = true;
        if (got > 0 || !Failed(status))
            return {};
        if (status != VI_ERROR_TMO)
            return CaptureFault::Of(CaptureFaultKind::LinkLost, std::string(command));
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        if (!socket_ || waited.count() >= static_cast<long long>(limits_.stallMs))
            return CaptureFault::Of(CaptureFaultKind::Stalled, std::string(command));
    }
}

CaptureFault VisaScopeTalk::query(std::string_view command, std::string &reply)
{
    if (CaptureFault fault = send(command))
        return fault;
    setTermChar(true);
    char piece[kLinePiece];
    for (;;) {
        const std::size_t lf = carry_.find('\n');
        if (lf != std::string::npos || ended_) {
            const std::size_t end = lf == std::string::npos ? carry_.size() : lf + 1;
            reply = carry_.substr(0, end);
            carry_.erase(0, end);
            while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r'))
                reply.pop_back();
            return {};
        }
        if (carry_.size() > kLineLimit)
            return CaptureFault::Of(CaptureFaultKind::BadReply, std::string(command), carry_.substr(0, 200));
        std::size_t got = 0;
        if (CaptureFault fault = readSome(command, piece, sizeof piece, got))
            return fault;
        carry_.append(piece, got);
    }
}

CaptureFault VisaScopeTalk::queryBlock(std::string_view command, std::string_view prefix,
                                       std::size_t maxBytes, BlockSink &sink)
{
    if (CaptureFault fault = send(command))
        return fault;
    const std::string name(command);
    setTermChar(false);
    control_.blockBytes.store(0, std::memory_order_relaxed);
    control_.blockReceived.store(0, std::memory_order_relaxed);
    chunk_.resize(16);

    // The prefix and the header, read in small pieces; what comes after
    // them is data.
    std::string &head = carry_;
    BlockHeader header;
    std::size_t hash = std::string::npos;
    for (;;) {
        if (hash == std::string::npos) {
            hash = head.find('#');
            const std::string_view before(head.data(), std::min(head.size(), hash));
            if (before.size() > std::max(prefix.size(), kPrefixLimit) ||
                (hash != std::string::npos && !before.empty() && !SameText(before, prefix)))
                return CaptureFault::Of(CaptureFaultKind::BadBlock, name);
        }
        if (hash != std::string::npos) {
            header = ParseBlockHeader(std::string_view(head).substr(hash));
            if (header.state == BlockHeader::State::Malformed)
                return CaptureFault::Of(CaptureFaultKind::BadBlock, name);
            if (header.state == BlockHeader::State::Complete)
                break;
        }
        if (ended_)
            return CaptureFault::Of(CaptureFaultKind::BadBlock, name);
        std::size_t got = 0;
        if (CaptureFault fault = readSome(command, chunk_.data(), 16, got)) {
            if (fault.kind == CaptureFaultKind::LinkLost && !head.empty())
                fault.kind = CaptureFaultKind::BadBlock;
            return fault;
        }
        head.append(chunk_.data(), got);
    }
    if (header.dataBytes > maxBytes) {
        CaptureFault fault = CaptureFault::Of(CaptureFaultKind::TooManyPoints, name);
        fault.expected = header.dataBytes;
        return fault;
    }
    const auto total = static_cast<std::size_t>(header.dataBytes);
    control_.blockBytes.store(total, std::memory_order_relaxed);
    sink.begin(total);
    const std::size_t start = hash + header.headerBytes;
    std::size_t done = std::min(total, head.size() - start);
    sink.take(reinterpret_cast<const unsigned char *>(head.data() + start), done);
    control_.blockReceived.store(done, std::memory_order_relaxed);
    carry_.clear();
    while (done < total) {
        if (ended_) {
            CaptureFault fault = CaptureFault::Of(CaptureFaultKind::ShortBlock, name);
            fault.expected = total;
            fault.received = done;
            return fault;
        }
        // Straight into the sink's room, with no copy on the way.
        std::size_t got = 0;
        const std::size_t count = std::min(total - done, kDataPiece);
        CaptureFault fault = readSome(command, reinterpret_cast<char *>(sink.room(count)), count, got);
        if (fault) {
            if (fault.kind == CaptureFaultKind::LinkLost)
                fault.kind = CaptureFaultKind::ShortBlock;
            fault.expected = total;
            fault.received = done;
            return fault;
        }
        sink.filled(got);
        done += got;
        control_.blockReceived.store(done, std::memory_order_relaxed);
    }
    return {};
}

CaptureResult CaptureOverVisa(VisaApi &visa, const std::string &resource, int channel,
                              CaptureControl &control, const CaptureLimits &limits)
{
    VisaScopeTalk talk(visa, control, limits);
    if (CaptureFault fault = talk.open(resource)) {
        CaptureResult result;
        result.fault = std::move(fault);
        return result;
    }
    return RunScopeCapture(talk, channel);
}

} // namespace arb
