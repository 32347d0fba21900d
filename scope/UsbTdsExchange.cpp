#include "scope/UsbTdsExchange.h"

#include "link/visa/VisaCommands.h"
#include "scope/ScopeClock.h"
#include "scope/TdsCommands.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace arb
{

using namespace visa;

namespace
{

// Data bytes per read while the points arrive, so that progress can be
// shown; what follows them is read in larger pieces and dropped.
constexpr std::size_t kPointPiece = 500;
constexpr std::size_t kDropPiece = 65536;
// An identification longer than this is not waited on.
constexpr std::size_t kIdentifyLimit = 4096;

// A session on one resource with a resource manager of its own; both are
// closed when it goes. The whole conversation on it has a bound: each read
// and write may take only what is left of it.
class UsbSession
{
  public:
    UsbSession(VisaApi &visa, const std::string &resource, ViUInt32 boundMs, const ScopeClock &clock)
        : visa_(visa), clock_(clock), end_(clock.nowMs() + boundMs), timeoutMs_(boundMs)
    {
        if (Failed(visa_.viOpenDefaultRM(&rm_))) {
            rm_ = VI_NULL;
            return;
        }
        if (Failed(visa_.viOpen(rm_, resource.c_str(), 0, 0, &vi_))) {
            vi_ = VI_NULL;
            return;
        }
        if (Failed(visa_.viSetAttribute(vi_, VI_ATTR_TMO_VALUE, timeoutMs_))) {
            visa_.viClose(vi_);
            vi_ = VI_NULL;
        }
    }
    ~UsbSession()
    {
        if (vi_ != VI_NULL)
            visa_.viClose(vi_);
        if (rm_ != VI_NULL)
            visa_.viClose(rm_);
    }
    UsbSession(const UsbSession &) = delete;
    UsbSession &operator=(const UsbSession &) = delete;

    bool isOpen() const { return vi_ != VI_NULL; }

    // False, and nothing written, once the bound has passed.
    bool send(const QByteArray &text)
    {
        if (!withinBound())
            return false;
        SendCommand(visa_, vi_, text.toStdString());
        return true;
    }

    // One read of up to cnt bytes, appended to out. False when it failed,
    // gave nothing or the bound has passed; ended() tells whether the
    // message has ended.
    bool readSome(std::size_t cnt, std::vector<ViByte> &out)
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

    // Exactly n bytes, appended to out; false when the message ends or a
    // read fails first.
    bool readExactly(std::size_t n, std::vector<ViByte> &out)
    {
        const std::size_t target = out.size() + n;
        while (out.size() < target) {
            if (!readSome(target - out.size(), out))
                return false;
        }
        return true;
    }

    bool ended() const { return ended_; }

  private:
    // The session's timeout brought down to what is left of the bound;
    // false when nothing is left or the timeout cannot be set.
    bool withinBound()
    {
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

    VisaApi &visa_;
    const ScopeClock &clock_;
    const qint64 end_;
    // The timeout the session has now.
    ViUInt32 timeoutMs_;
    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
    bool ended_ = false;
};

bool IsDigit(ViByte b)
{
    return b >= '0' && b <= '9';
}

// The length the block header announces, or -1 when the header is not one
// of a definite-length block.
std::int64_t BlockLength(UsbSession &session)
{
    std::vector<ViByte> head;
    if (!session.readExactly(2, head) || head[0] != '#' || !IsDigit(head[1]) || head[1] == '0')
        return -1;
    const std::size_t digits = head[1] - '0';
    std::vector<ViByte> length;
    if (!session.readExactly(digits, length))
        return -1;
    std::int64_t n = 0;
    for (ViByte b : length) {
        if (!IsDigit(b))
            return -1;
        n = n * 10 + (b - '0');
    }
    return n;
}

} // namespace

bool IdentifyUsbScope(VisaApi &visa, const std::string &resource, const ScopeClock &clock)
{
    UsbSession session(visa, resource, kUsbIdentifyTimeoutMs, clock);
    if (!session.isOpen() || !session.send(QByteArrayLiteral("*IDN?")))
        return false;
    std::vector<ViByte> reply;
    while (reply.size() < kIdentifyLimit) {
        const std::size_t from = reply.size();
        if (!session.readSome(256, reply))
            return false;
        if (std::find(reply.begin() + static_cast<std::ptrdiff_t>(from), reply.end(), '\n') != reply.end())
            return true;
        if (session.ended())
            return false;
    }
    return false;
}

bool ReadUsbScopeTrace(VisaApi &visa, const std::string &resource, const QString &source,
                       const std::function<void(int)> &progress, QByteArray &points, const ScopeClock &clock)
{
    UsbSession session(visa, resource, kUsbTraceTimeoutMs, clock);
    if (!session.isOpen())
        return false;
    for (const QByteArray &command : TraceReadCommandTexts(source)) {
        if (!session.send(command))
            return false;
    }

    const std::int64_t length = BlockLength(session);
    if (length < kTracePoints)
        return false;
    std::vector<ViByte> data;
    data.reserve(kTracePoints);
    while (data.size() < static_cast<std::size_t>(kTracePoints)) {
        const std::size_t piece = std::min(kPointPiece, kTracePoints - data.size());
        if (!session.readExactly(piece, data))
            return false;
        if (progress)
            progress(static_cast<int>(data.size()));
    }
    // A longer record: the rest of the block is read and dropped.
    std::int64_t rest = length - kTracePoints;
    std::vector<ViByte> dropped;
    while (rest > 0) {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(rest, kDropPiece));
        dropped.clear();
        if (!session.readExactly(piece, dropped))
            return false;
        rest -= static_cast<std::int64_t>(piece);
    }
    // One line feed, and the message ends with it: a read of two bytes
    // gives just that one.
    std::vector<ViByte> lineEnd;
    if (!session.readSome(2, lineEnd) || lineEnd.size() != 1 || lineEnd[0] != '\n')
        return false;
    points = QByteArray(reinterpret_cast<const char *>(data.data()), kTracePoints);
    return true;
}

} // namespace arb
