#include "scope/ScopeClock.h"
#include "scope/TdsCommands.h"
#include "scope/UsbTdsExchange.h"
#include "tests/support/RecordingVisa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <utility>

using namespace arb;
using namespace arb::visa;

namespace
{

const std::string kScope = "USB0::0x0699::0x0368::C012345::INSTR";

class ManualClock final : public ScopeClock
{
  public:
    qint64 nowMs() const override { return now; }
    qint64 now = 50000;
};

// "#42500", the points 0, 1, 2 ... (cycled), then the tail.
std::string Block(const std::string &tail)
{
    std::string block = "#42500";
    for (int i = 0; i < kTracePoints; ++i)
        block += static_cast<char>(i % 256);
    return block + tail;
}

// An instrument whose bytes arrive at set times on a manual clock, read as
// a byte stream: a read waits for its count, a line feed, or its timeout,
// and the clock moves on by the time it waited. The timeouts the session
// was given are recorded.
class SlowVisa final : public VisaApi
{
  public:
    explicit SlowVisa(ManualClock &clock) : clock_(clock) {}

    // bytes that arrive at atMs on the clock.
    void arrive(qint64 atMs, std::string bytes) { arrivals_.push_back({atMs, std::move(bytes)}); }

    std::vector<std::pair<qint64, ViAttrState>> timeouts; // when, what
    int reads = 0;

    ViStatus viOpenDefaultRM(ViPSession vi) override
    {
        *vi = 1;
        return VI_SUCCESS;
    }
    ViStatus viFindRsrc(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar[]) override
    {
        return VI_ERROR_RSRC_NFOUND;
    }
    ViStatus viFindNext(ViFindList, ViChar[]) override { return VI_ERROR_RSRC_NFOUND; }
    ViStatus viOpen(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViPSession vi) override
    {
        *vi = 2;
        return VI_SUCCESS;
    }
    ViStatus viClose(ViObject) override { return VI_SUCCESS; }
    ViStatus viSetAttribute(ViObject, ViAttr attr, ViAttrState value) override
    {
        if (attr == VI_ATTR_TMO_VALUE) {
            timeoutMs_ = value;
            timeouts.emplace_back(clock_.now, value);
        }
        return VI_SUCCESS;
    }
    ViStatus viFlush(ViSession, ViUInt16) override { return VI_SUCCESS; }
    ViStatus viVPrintf(ViSession, ViConstString, ViVAList) override { return VI_SUCCESS; }
    ViStatus viVScanf(ViSession, ViConstString, ViVAList) override { return VI_ERROR_TMO; }
    ViStatus viRead(ViSession, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) override
    {
        ++reads;
        const qint64 deadline = clock_.now + static_cast<qint64>(timeoutMs_);
        const auto take = [&](std::size_t n, ViStatus status) {
            std::memcpy(buf, pending_.data(), n);
            pending_.erase(0, n);
            *retCnt = static_cast<ViUInt32>(n);
            return status;
        };
        for (;;) {
            const std::size_t lf = pending_.find('\n');
            if (lf != std::string::npos && lf < cnt)
                return take(lf + 1, VI_SUCCESS_TERM_CHAR);
            if (pending_.size() >= cnt)
                return take(cnt, VI_SUCCESS_MAX_CNT);
            if (arrivals_.empty() || arrivals_.front().first > deadline) {
                clock_.now = deadline;
                return take(pending_.size(), VI_ERROR_TMO);
            }
            clock_.now = std::max(clock_.now, arrivals_.front().first);
            pending_ += arrivals_.front().second;
            arrivals_.pop_front();
        }
    }

  private:
    ManualClock &clock_;
    ViAttrState timeoutMs_ = 2000;
    std::deque<std::pair<qint64, std::string>> arrivals_;
    std::string pending_;
};

} // namespace

TEST(UsbTraceBlock, EndsWithExactlyOneLineFeed)
{
    ManualClock clock;
    const struct {
        const char *what;
        std::deque<std::string> messages;
        bool ok;
    } cases[] = {
        {"one line feed", {Block("\n")}, true},
        {"the line feed in a message of its own", {Block(""), "\n"}, false},
        {"another byte in its place", {Block("X")}, false},
        {"CR LF", {Block("\r\n")}, false},
        {"bytes after the line feed", {Block("\nEXTRA")}, false},
        {"two line feeds", {Block("\n\n")}, false},
        {"no line end", {Block("")}, false},
    };
    for (const auto &c : cases) {
        test::RecordingVisa visa;
        visa.messages = c.messages;
        QByteArray points;
        const bool ok = ReadUsbScopeTrace(visa, kScope, QStringLiteral("CH1"), {}, points, clock);
        EXPECT_EQ(ok, c.ok) << c.what;
        if (ok) {
            ASSERT_EQ(points.size(), kTracePoints);
            EXPECT_EQ(static_cast<unsigned char>(points[255]), 255);
            EXPECT_EQ(static_cast<unsigned char>(points[2499]), 2499 % 256);
        }
        EXPECT_TRUE(visa.open.empty()) << c.what;
    }
}

TEST(UsbExchangeBound, ADribblingTraceFailsWithinFiveSeconds)
{
    // The header at once, then one point every 4.9 s, each a line feed, so
    // that every read ends with a byte before its timeout.
    ManualClock clock;
    SlowVisa visa(clock);
    const qint64 start = clock.now;
    visa.arrive(start, "#42500");
    for (int i = 0; i <= kTracePoints; ++i)
        visa.arrive(start + 4900LL * (i + 1), "\n");
    QByteArray points;
    int progressCalls = 0;
    EXPECT_FALSE(ReadUsbScopeTrace(
        visa, kScope, QStringLiteral("CH1"), [&](int) { ++progressCalls; }, points, clock));
    EXPECT_LE(clock.now - start, static_cast<qint64>(kUsbTraceTimeoutMs));
    EXPECT_EQ(progressCalls, 0);
    // No read was given more time than was left of the bound.
    ASSERT_FALSE(visa.timeouts.empty());
    EXPECT_EQ(visa.timeouts.front(), std::make_pair(start, static_cast<ViAttrState>(kUsbTraceTimeoutMs)));
    for (const auto &[when, ms] : visa.timeouts)
        EXPECT_LE(when - start + static_cast<qint64>(ms), static_cast<qint64>(kUsbTraceTimeoutMs));
}

TEST(UsbExchangeBound, AnIdentificationInFullPiecesFailsWithinOneSecond)
{
    // 256 bytes every 0.9 s and at last the line feed: each read is filled
    // before its timeout, but the whole takes 5.4 s.
    ManualClock clock;
    SlowVisa visa(clock);
    const qint64 start = clock.now;
    for (int i = 1; i <= 5; ++i)
        visa.arrive(start + 900LL * i, std::string(256, 'A'));
    visa.arrive(start + 5400, "\n");
    EXPECT_FALSE(IdentifyUsbScope(visa, kScope, clock));
    EXPECT_LE(clock.now - start, static_cast<qint64>(kUsbIdentifyTimeoutMs));
    EXPECT_EQ(visa.reads, 2);
}

TEST(UsbExchangeBound, AnExchangeWithinItsBoundSucceeds)
{
    ManualClock clock;
    SlowVisa visa(clock);
    const qint64 start = clock.now;
    visa.arrive(start + 400, "TEKTRONIX,");
    visa.arrive(start + 990, "TDS 2012B\n");
    EXPECT_TRUE(IdentifyUsbScope(visa, kScope, clock));

    // The block in three parts over 4.5 s.
    const std::string block = Block("\n");
    const qint64 traceStart = clock.now;
    visa.arrive(traceStart + 1500, block.substr(0, 1000));
    visa.arrive(traceStart + 3000, block.substr(1000, 1000));
    visa.arrive(traceStart + 4500, block.substr(2000));
    QByteArray points;
    std::vector<int> progress;
    EXPECT_TRUE(ReadUsbScopeTrace(
        visa, kScope, QStringLiteral("CH1"), [&](int bytes) { progress.push_back(bytes); }, points, clock));
    EXPECT_EQ(progress, std::vector<int>({500, 1000, 1500, 2000, 2500}));
    EXPECT_EQ(points.size(), kTracePoints);
}
