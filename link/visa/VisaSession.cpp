#include "link/visa/VisaSession.h"

#include "link/visa/VisaCommands.h"

#include <algorithm>

namespace arb::visa
{

namespace
{

// What a session without a bound is given as its clock; never read.
const SessionClock &UnboundedClock()
{
    static const SteadySessionClock clock;
    return clock;
}

bool IsDigit(ViByte b)
{
    return b >= '0' && b <= '9';
}

} // namespace

VisaSession::VisaSession(VisaApi &visa, const std::string &resource, ViUInt32 boundMs,
                         const SessionClock &clock)
    : visa_(visa), clock_(clock), end_(clock.nowMs() + boundMs), timeoutMs_(boundMs)
{
    open(resource, 0);
}

VisaSession::VisaSession(VisaApi &visa, const std::string &resource, ViUInt32 openTimeoutMs,
                         ViUInt32 ioTimeoutMs)
    : visa_(visa), clock_(UnboundedClock()), end_(0), bounded_(false), timeoutMs_(ioTimeoutMs)
{
    open(resource, openTimeoutMs);
}

void VisaSession::open(const std::string &resource, ViUInt32 openTimeoutMs)
{
    openStatus_ = visa_.viOpenDefaultRM(&rm_);
    if (Failed(openStatus_)) {
        rm_ = VI_NULL;
        return;
    }
    openStatus_ = visa_.viOpen(rm_, resource.c_str(), 0, openTimeoutMs, &vi_);
    if (Failed(openStatus_)) {
        vi_ = VI_NULL;
        return;
    }
    openStatus_ = visa_.viSetAttribute(vi_, VI_ATTR_TMO_VALUE, timeoutMs_);
    if (Failed(openStatus_)) {
        visa_.viClose(vi_);
        vi_ = VI_NULL;
    }
}

VisaSession::~VisaSession()
{
    if (vi_ != VI_NULL)
        visa_.viClose(vi_);
    if (rm_ != VI_NULL)
        visa_.viClose(rm_);
}

bool VisaSession::send(const std::string &text)
{
    if (!withinBound())
        return false;
    SendCommand(visa_, vi_, text);
    return true;
}

bool VisaSession::readSome(std::size_t cnt, std::vector<ViByte> &out)
{
    if (ended_ || !withinBound())
        return false;
    const std::size_t at = out.size();
    out.resize(at + cnt);
    ViUInt32 got = 0;
    const ViStatus status = visa_.viRead(vi_, out.data() + at, static_cast<ViUInt32>(cnt), &got);
    out.resize(at + std::min<std::size_t>(got, cnt));
    ended_ = status == VI_SUCCESS;
    return !Failed(status) && got > 0;
}

bool VisaSession::readExactly(std::size_t n, std::vector<ViByte> &out)
{
    const std::size_t target = out.size() + n;
    while (out.size() < target) {
        if (!readSome(target - out.size(), out))
            return false;
    }
    return true;
}

std::int64_t VisaSession::readBlockLength()
{
    std::vector<ViByte> head;
    if (!readExactly(2, head) || head[0] != '#' || !IsDigit(head[1]) || head[1] == '0')
        return -1;
    const std::size_t digits = head[1] - '0';
    std::vector<ViByte> length;
    if (!readExactly(digits, length))
        return -1;
    std::int64_t n = 0;
    for (ViByte b : length) {
        if (!IsDigit(b))
            return -1;
        n = n * 10 + (b - '0');
    }
    return n;
}

bool VisaSession::withinBound()
{
    if (!bounded_)
        return true;
    const qint64 left = end_ - clock_.nowMs();
    if (left <= 0)
        return false;
    if (left < timeoutMs_) {
        if (Failed(visa_.viSetAttribute(vi_, VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(left))))
            return false;
        timeoutMs_ = static_cast<ViUInt32>(left);
    }
    return true;
}

} // namespace arb::visa
