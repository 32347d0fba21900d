#include "link/visa/SocketVisa.h"

#include "link/visa/NetworkResource.h"
#include "link/visa/VisaFormat.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <utility>

namespace arb::visa
{

namespace
{

// Longest reply the formatted read keeps.
constexpr std::size_t kReplyLimit = 65536;

int TimeoutOf(ViUInt32 ms)
{
    return ms == VI_TMO_INFINITE || ms > static_cast<ViUInt32>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(ms);
}

ViStatus StatusOf(TcpSocket::Result result)
{
    switch (result) {
    case TcpSocket::Result::Ok: return VI_SUCCESS;
    case TcpSocket::Result::HostNotFound: return VI_ERROR_RSRC_NFOUND;
    case TcpSocket::Result::Refused: return VI_ERROR_MACHINE_NAVAIL;
    case TcpSocket::Result::TimedOut: return VI_ERROR_TMO;
    case TcpSocket::Result::Closed: return VI_ERROR_CONN_LOST;
    case TcpSocket::Result::Failed: return VI_ERROR_IO;
    }
    return VI_ERROR_IO;
}

} // namespace

SocketVisa::SocketVisa(std::unique_ptr<VisaApi> behind) : behind_(std::move(behind)) {}

SocketVisa::~SocketVisa() = default;

ViStatus SocketVisa::viOpenDefaultRM(ViPSession vi)
{
    return behind_->viOpenDefaultRM(vi);
}

ViStatus SocketVisa::viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                                ViChar desc[])
{
    return behind_->viFindRsrc(sesn, expr, vi, retCnt, desc);
}

ViStatus SocketVisa::viFindNext(ViFindList vi, ViChar desc[])
{
    return behind_->viFindNext(vi, desc);
}

ViStatus SocketVisa::viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                            ViPSession vi)
{
    if (!name)
        return behind_->viOpen(sesn, name, mode, timeout, vi);
    const std::optional<SocketResource> socket = ParseSocketResource(name);
    if (!socket) {
        if (ParseVxi11Resource(name))
            return VI_ERROR_NSUP_OPER;
        return behind_->viOpen(sesn, name, mode, timeout, vi);
    }
    if (!vi || sesn == VI_NULL)
        return VI_ERROR_INV_OBJECT;
    auto c = std::make_unique<Connection>();
    c->rm = sesn;
    const ViUInt32 connectMs = timeout == 0 ? kConnectTimeoutMs : timeout;
    const TcpSocket::Result result =
        TcpSocket::Connect(socket->host, socket->port, TimeoutOf(connectMs), c->socket);
    if (result != TcpSocket::Result::Ok)
        return StatusOf(result);
    const std::lock_guard<std::mutex> lock(mutex_);
    const ViSession handle = nextHandle_++;
    connections_.emplace(handle, std::move(c));
    *vi = handle;
    return VI_SUCCESS;
}

ViStatus SocketVisa::viClose(ViObject vi)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (connections_.erase(vi))
            return VI_SUCCESS;
        // A resource manager takes its sessions with it.
        for (auto it = connections_.begin(); it != connections_.end();)
            it = it->second->rm == vi ? connections_.erase(it) : std::next(it);
    }
    return behind_->viClose(vi);
}

SocketVisa::Connection *SocketVisa::connection(ViSession vi)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = connections_.find(vi);
    return it == connections_.end() ? nullptr : it->second.get();
}

ViStatus SocketVisa::viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue)
{
    Connection *c = connection(vi);
    if (!c)
        return behind_->viSetAttribute(vi, attrName, attrValue);
    switch (attrName) {
    case VI_ATTR_TMO_VALUE: c->timeoutMs = static_cast<ViUInt32>(attrValue); return VI_SUCCESS;
    case VI_ATTR_TERMCHAR: c->termChar = static_cast<unsigned char>(attrValue); return VI_SUCCESS;
    case VI_ATTR_TERMCHAR_EN: c->termEnabled = attrValue != 0; return VI_SUCCESS;
    default: return VI_ERROR_NSUP_ATTR;
    }
}

ViStatus SocketVisa::viFlush(ViSession vi, ViUInt16 mask)
{
    Connection *c = connection(vi);
    if (!c)
        return behind_->viFlush(vi, mask);
    if (mask & VI_READ_BUF_DISCARD)
        c->pending.clear();
    return VI_SUCCESS;
}

ViStatus SocketVisa::viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params)
{
    Connection *c = connection(vi);
    if (!c)
        return behind_->viVPrintf(vi, writeFmt, params);
    std::string bytes;
    if (const ViStatus status = ExpandWriteFormat(writeFmt, bytes); Failed(status))
        return status;
    return StatusOf(c->socket.writeAll(bytes.data(), bytes.size(), TimeoutOf(c->timeoutMs)));
}

ViStatus SocketVisa::viVScanf(ViSession vi, ViConstString readFmt, ViVAList params)
{
    Connection *c = connection(vi);
    if (!c)
        return behind_->viVScanf(vi, readFmt, params);
    ReadFormat parsed;
    if (const ViStatus status = ParseReadFormat(readFmt, parsed); Failed(status))
        return status;
    // A reply ends at its line feed, whatever the termination character.
    const bool termEnabled = std::exchange(c->termEnabled, true);
    const unsigned char termChar = std::exchange(c->termChar, '\n');
    std::string reply(kReplyLimit, '\0');
    std::size_t got = 0;
    const ViStatus status = ReadInto(*c, reinterpret_cast<ViPBuf>(reply.data()), reply.size(), got);
    c->termEnabled = termEnabled;
    c->termChar = termChar;
    reply.resize(got);
    ScanReply(parsed, reply, params);
    return Failed(status) ? status : VI_SUCCESS;
}

ViStatus SocketVisa::viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    if (retCnt)
        *retCnt = 0;
    Connection *c = connection(vi);
    if (!c)
        return behind_->viRead(vi, buf, cnt, retCnt);
    if (cnt == 0)
        return VI_SUCCESS_MAX_CNT;
    if (!buf)
        return VI_ERROR_USER_BUF;
    std::size_t got = 0;
    const ViStatus status = ReadInto(*c, buf, cnt, got);
    if (retCnt)
        *retCnt = static_cast<ViUInt32>(got);
    return status;
}

ViStatus SocketVisa::ReadInto(Connection &c, ViPBuf buf, std::size_t cnt, std::size_t &got)
{
    got = 0;
    // Where the termination character ends the read: what came after it
    // waits for the next read.
    const auto endsAtTerm = [&](std::size_t from) {
        if (!c.termEnabled)
            return false;
        ViByte *end = buf + got;
        ViByte *term = std::find(buf + from, end, c.termChar);
        if (term == end)
            return false;
        const std::size_t keep = static_cast<std::size_t>(term - buf) + 1;
        c.pending.insert(0, reinterpret_cast<const char *>(buf + keep), got - keep);
        got = keep;
        return true;
    };
    if (!c.pending.empty()) {
        got = std::min(cnt, c.pending.size());
        std::memcpy(buf, c.pending.data(), got);
        c.pending.erase(0, got);
        if (endsAtTerm(0))
            return VI_SUCCESS_TERM_CHAR;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutOf(c.timeoutMs));
    while (got < cnt) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        std::size_t more = 0;
        const TcpSocket::Result result = c.socket.readSome(
            buf + got, cnt - got, static_cast<int>(std::max<long long>(0, left.count())), more);
        const std::size_t from = got;
        got += more;
        if (result != TcpSocket::Result::Ok)
            return StatusOf(result);
        if (endsAtTerm(from))
            return VI_SUCCESS_TERM_CHAR;
    }
    return VI_SUCCESS_MAX_CNT;
}

} // namespace arb::visa
