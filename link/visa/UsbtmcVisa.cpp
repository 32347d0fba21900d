#include "link/visa/UsbtmcVisa.h"

#include "link/visa/ResourcePattern.h"
#include "link/visa/UsbtmcDirectory.h"
#include "link/visa/VisaFormat.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

#if __has_include(<linux/usb/tmc.h>)
#include <linux/usb/tmc.h>
#endif

namespace arb::visa
{

namespace
{

// Largest reply kept from one read; what a bounded conversion does not
// take is dropped.
constexpr std::size_t kReplyLimit = 65536;

void CopyName(const std::string &name, ViChar desc[])
{
    const std::size_t length = std::min<std::size_t>(name.size(), VI_FIND_BUFLEN - 1);
    std::memcpy(desc, name.data(), length);
    desc[length] = '\0';
}

ViStatus OpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return VI_ERROR_RSRC_NFOUND;
    case EBUSY: return VI_ERROR_RSRC_BUSY;
    default: return VI_ERROR_SYSTEM_ERROR;
    }
}

} // namespace

// The session timeout of one read from a plain device file, counted from
// the start of the read.
class UsbtmcVisa::ReadDeadline
{
  public:
    explicit ReadDeadline(ViUInt32 timeoutMs)
        : forever_(timeoutMs == VI_TMO_INFINITE),
          end_(Clock::now() + std::chrono::milliseconds(forever_ ? 0 : timeoutMs))
    {
    }

    // Waits until fd has bytes to read: VI_SUCCESS, VI_ERROR_TMO once the
    // timeout has passed, VI_ERROR_IO when the device fails.
    ViStatus waitReadable(int fd) const
    {
        for (;;) {
            int wait = -1;
            if (!forever_) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now());
                wait = static_cast<int>(std::max<long long>(0, left.count()));
            }
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, wait);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return VI_ERROR_IO;
            return ready == 0 ? VI_ERROR_TMO : VI_SUCCESS;
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    bool forever_;
    Clock::time_point end_;
};

UsbtmcVisa::UsbtmcVisa(std::string sysfsRoot, std::string devRoot, UsbtmcIo &io)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)), io_(io)
{
}

UsbtmcVisa::~UsbtmcVisa()
{
    for (auto &entry : instruments_)
        ::close(entry.second.fd);
}

ViStatus UsbtmcVisa::viOpenDefaultRM(ViPSession vi)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!vi)
        return VI_ERROR_INV_OBJECT;
    const ViSession rm = newHandle();
    managers_.insert(rm);
    *vi = rm;
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                                ViChar desc[])
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!managers_.count(sesn))
        return VI_ERROR_INV_OBJECT;
    FindList list;
    list.rm = sesn;
    for (const UsbtmcDevice &device : ListUsbtmcDevices(sysfsRoot_, devRoot_))
        if (MatchesResourcePattern(expr ? expr : "", device.resource))
            list.names.push_back(device.resource);
    if (list.names.empty())
        return VI_ERROR_RSRC_NFOUND;
    if (retCnt)
        *retCnt = static_cast<ViUInt32>(list.names.size());
    if (desc)
        CopyName(list.names.front(), desc);
    list.next = 1;
    const ViFindList handle = newHandle();
    findLists_.emplace(handle, std::move(list));
    if (vi)
        *vi = handle;
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viFindNext(ViFindList vi, ViChar desc[])
{
    const std::lock_guard<std::mutex> lock(mutex_);
    auto it = findLists_.find(vi);
    if (it == findLists_.end())
        return VI_ERROR_INV_OBJECT;
    FindList &list = it->second;
    if (list.next >= list.names.size())
        return VI_ERROR_RSRC_NFOUND;
    if (desc)
        CopyName(list.names[list.next], desc);
    ++list.next;
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode, ViUInt32, ViPSession vi)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!managers_.count(sesn) || !vi)
        return VI_ERROR_INV_OBJECT;
    if (!name || !*name)
        return VI_ERROR_INV_RSRC_NAME;
    for (const UsbtmcDevice &device : ListUsbtmcDevices(sysfsRoot_, devRoot_)) {
        if (!SameResourceName(device.resource, name))
            continue;
        const int fd = ::open(device.node.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return OpenError(errno);
        Instrument instr;
        instr.fd = fd;
        instr.rm = sesn;
        applyTimeout(instr);
        const ViSession handle = newHandle();
        instruments_.emplace(handle, instr);
        *vi = handle;
        return VI_SUCCESS;
    }
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus UsbtmcVisa::viClose(ViObject vi)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (vi == VI_NULL)
        return VI_WARN_NULL_OBJECT;
    if (auto it = instruments_.find(vi); it != instruments_.end()) {
        ::close(it->second.fd);
        instruments_.erase(it);
        return VI_SUCCESS;
    }
    if (findLists_.erase(vi))
        return VI_SUCCESS;
    if (!managers_.erase(vi))
        return VI_ERROR_INV_OBJECT;
    // A resource manager takes its sessions and find lists with it.
    for (auto it = instruments_.begin(); it != instruments_.end();) {
        if (it->second.rm == vi) {
            ::close(it->second.fd);
            it = instruments_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = findLists_.begin(); it != findLists_.end();)
        it = it->second.rm == vi ? findLists_.erase(it) : std::next(it);
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    auto it = instruments_.find(vi);
    if (it == instruments_.end())
        return managers_.count(vi) || findLists_.count(vi) ? VI_ERROR_NSUP_ATTR : VI_ERROR_INV_OBJECT;
    if (attrName != VI_ATTR_TMO_VALUE)
        return VI_ERROR_NSUP_ATTR;
    it->second.timeoutMs = static_cast<ViUInt32>(attrValue);
    applyTimeout(it->second);
    return VI_SUCCESS;
}

UsbtmcVisa::Instrument *UsbtmcVisa::session(ViSession vi)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    auto it = instruments_.find(vi);
    return it == instruments_.end() ? nullptr : &it->second;
}

ViStatus UsbtmcVisa::viFlush(ViSession vi, ViUInt16 mask)
{
    Instrument *instr = session(vi);
    if (!instr)
        return VI_ERROR_INV_OBJECT;
    // Every write goes out at once; only reads leave bytes behind.
    if (mask & VI_READ_BUF_DISCARD)
        takePending(*instr, instr->pending.size());
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList)
{
    Instrument *instr = session(vi);
    if (!instr)
        return VI_ERROR_INV_OBJECT;
    std::string bytes;
    if (const ViStatus status = ExpandWriteFormat(writeFmt, bytes); Failed(status))
        return status;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(instr->fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return errno == ETIMEDOUT ? VI_ERROR_TMO : VI_ERROR_IO;
        done += static_cast<std::size_t>(n);
    }
    return VI_SUCCESS;
}

ViStatus UsbtmcVisa::viVScanf(ViSession vi, ViConstString readFmt, ViVAList params)
{
    Instrument *instr = session(vi);
    if (!instr)
        return VI_ERROR_INV_OBJECT;
    ReadFormat parsed;
    if (const ViStatus status = ParseReadFormat(readFmt, parsed); Failed(status))
        return status;
    std::string reply;
    const ViStatus status = readReply(*instr, reply);
    // A failed read stores what arrived, often nothing, and its count.
    ScanReply(parsed, reply, params);
    return status;
}

ViStatus UsbtmcVisa::viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    if (retCnt)
        *retCnt = 0;
    Instrument *instr = session(vi);
    if (!instr)
        return VI_ERROR_INV_OBJECT;
    if (cnt == 0)
        return VI_SUCCESS_MAX_CNT;
    if (!buf)
        return VI_ERROR_USER_BUF;
    std::size_t got = 0;
    const ViStatus status =
        instr->kernelTimeout ? readMessage(*instr, buf, cnt, got) : readStream(*instr, buf, cnt, got);
    if (retCnt)
        *retCnt = static_cast<ViUInt32>(got);
    return status;
}

void UsbtmcVisa::applyTimeout(Instrument &instr)
{
#if defined(USBTMC_IOCTL_SET_TIMEOUT)
    // The driver refuses timeouts below 100 ms; an immediate timeout is
    // the shortest it has.
    __u32 ms = instr.timeoutMs == VI_TMO_INFINITE ? 0x7FFFFFFFu : std::max<ViUInt32>(instr.timeoutMs, 100);
    instr.kernelTimeout = io_.ioctl(instr.fd, USBTMC_IOCTL_SET_TIMEOUT, &ms) == 0;
#else
    instr.kernelTimeout = false;
#endif
}

ViStatus UsbtmcVisa::readFromDriver(int fd, void *buf, std::size_t cnt, std::size_t &got)
{
    got = 0;
    for (;;) {
        const ssize_t n = io_.read(fd, buf, cnt);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == ETIMEDOUT ? VI_ERROR_TMO : VI_ERROR_IO;
        got = static_cast<std::size_t>(n);
        return VI_SUCCESS;
    }
}

ViStatus UsbtmcVisa::fetch(Instrument &instr, const ReadDeadline &deadline, std::size_t most)
{
    char chunk[4096];
    most = std::min(most, sizeof chunk);
    if (instr.kernelTimeout) {
        // The driver applies the timeout and ends a read early only at the
        // end of the message.
        std::size_t got = 0;
        const ViStatus status = readFromDriver(instr.fd, chunk, most, got);
        if (Failed(status))
            return status;
        instr.pending.append(chunk, got);
        instr.pendingEndsMessage = got < most;
        return VI_SUCCESS;
    }
    for (;;) {
        if (const ViStatus waited = deadline.waitReadable(instr.fd); waited != VI_SUCCESS)
            return waited;
        const ssize_t n = io_.read(instr.fd, chunk, most);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return VI_ERROR_IO;
        instr.pending.append(chunk, static_cast<std::size_t>(n));
        return VI_SUCCESS;
    }
}

std::string UsbtmcVisa::takePending(Instrument &instr, std::size_t n)
{
    std::string taken = instr.pending.substr(0, n);
    instr.pending.erase(0, n);
    if (instr.pending.empty())
        instr.pendingEndsMessage = false;
    return taken;
}

ViStatus UsbtmcVisa::readReply(Instrument &instr, std::string &reply)
{
    const ReadDeadline deadline(instr.timeoutMs);
    for (;;) {
        const std::size_t lf = instr.pending.find('\n');
        if (lf != std::string::npos && lf < kReplyLimit) {
            reply = takePending(instr, lf + 1);
            return VI_SUCCESS;
        }
        if (instr.pending.size() >= kReplyLimit) {
            reply = takePending(instr, kReplyLimit);
            return VI_SUCCESS;
        }
        // A message without a line feed ends the reply where it ends.
        if (instr.pendingEndsMessage) {
            reply = takePending(instr, instr.pending.size());
            return VI_SUCCESS;
        }
        if (const ViStatus status = fetch(instr, deadline, kReplyLimit - instr.pending.size());
            Failed(status)) {
            // What arrived is the reply of a failed read.
            reply = takePending(instr, instr.pending.size());
            return status;
        }
    }
}

ViStatus UsbtmcVisa::readMessage(Instrument &instr, ViPBuf buf, std::size_t cnt, std::size_t &got)
{
    got = 0;
    if (!instr.pending.empty()) {
        const bool endsMessage = instr.pendingEndsMessage;
        const std::string taken = takePending(instr, std::min(cnt, instr.pending.size()));
        std::memcpy(buf, taken.data(), taken.size());
        got = taken.size();
        if (endsMessage && instr.pending.empty())
            return VI_SUCCESS;
        if (got == cnt)
            return VI_SUCCESS_MAX_CNT;
        // The rest of the message is still with the driver.
    }
    std::size_t more = 0;
    const ViStatus status = readFromDriver(instr.fd, buf + got, cnt - got, more);
    got += more;
    if (Failed(status))
        return status;
    // The driver ends a read early only at the end of the message.
    return got == cnt ? VI_SUCCESS_MAX_CNT : VI_SUCCESS;
}

ViStatus UsbtmcVisa::readStream(Instrument &instr, ViPBuf buf, std::size_t cnt, std::size_t &got)
{
    const auto take = [&](std::size_t n) {
        const std::string taken = takePending(instr, n);
        std::memcpy(buf, taken.data(), taken.size());
        got = taken.size();
    };
    const ReadDeadline deadline(instr.timeoutMs);
    for (;;) {
        const std::size_t lf = instr.pending.find('\n');
        if (lf != std::string::npos && lf < cnt) {
            take(lf + 1);
            return VI_SUCCESS_TERM_CHAR;
        }
        if (instr.pending.size() >= cnt) {
            take(cnt);
            return VI_SUCCESS_MAX_CNT;
        }
        if (const ViStatus status = fetch(instr, deadline, std::numeric_limits<std::size_t>::max());
            Failed(status)) {
            take(instr.pending.size());
            return status;
        }
    }
}

} // namespace arb::visa
