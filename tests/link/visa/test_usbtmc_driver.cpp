#include "link/visa/UsbtmcIo.h"
#include "link/visa/UsbtmcVisa.h"
#include "link/visa/VaList.h"
#include "link/visa/VisaCommands.h"
#include "tests/support/StrictSkip.h"
#include "tests/support/UsbtmcSysfsTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string>
#include <sys/ioctl.h>
#include <vector>

#if __has_include(<linux/usb/tmc.h>)
#include <linux/usb/tmc.h>
#endif

namespace arb::visa
{
namespace
{

// The kernel's usbtmc driver as the backend sees it: each read takes up
// to its count from the instrument's current message and ends early only
// where the message ends; a message longer than the count goes on in the
// next read. With no message waiting, a read times out.
class ScriptedDriver final : public UsbtmcIo
{
  public:
    // One message, or a failure of the read that comes to it (an errno).
    struct Answer {
        std::string bytes;
        int error = 0;
    };
    std::deque<Answer> answers;
    // The count of every read, in order.
    std::vector<std::size_t> reads;
    // Every timeout set through the ioctl, in milliseconds.
    std::vector<unsigned> timeouts;
    // False: the ioctl is refused as by a device file of another driver.
    bool takesTimeout = true;

    ssize_t read(int, void *buf, std::size_t cnt) override
    {
        reads.push_back(cnt);
        if (answers.empty()) {
            errno = ETIMEDOUT;
            return -1;
        }
        Answer &next = answers.front();
        if (next.error != 0) {
            errno = next.error;
            answers.pop_front();
            return -1;
        }
        const std::size_t n = std::min(cnt, next.bytes.size());
        std::memcpy(buf, next.bytes.data(), n);
        next.bytes.erase(0, n);
        if (next.bytes.empty())
            answers.pop_front();
        return static_cast<ssize_t>(n);
    }

    int ioctl(int, unsigned long request, void *arg) override
    {
#if defined(USBTMC_IOCTL_SET_TIMEOUT)
        if (takesTimeout && request == USBTMC_IOCTL_SET_TIMEOUT) {
            timeouts.push_back(*static_cast<const __u32 *>(arg));
            return 0;
        }
#else
        (void)request;
        (void)arg;
#endif
        errno = ENOTTY;
        return -1;
    }

    void message(const std::string &bytes)
    {
        answers.push_back({bytes, 0});
    }
    void failure(int error)
    {
        answers.push_back({{}, error});
    }
};

// One instrument whose device file is an ordinary file: every read and
// ioctl goes to the scripted driver.
class UsbtmcDriver : public ::testing::Test
{
  protected:
    void SetUp() override
    {
#if !defined(USBTMC_IOCTL_SET_TIMEOUT)
        ARB_SKIP_UNLESS_STRICT("the kernel headers have no usbtmc timeout ioctl");
#endif
        ASSERT_TRUE(tree.made());
        tree.addDevice(0, "0699", "0368", "C1");
        test::UsbtmcSysfsTree::WriteFile(tree.dev() / "usbtmc0", "");
    }

    // Opens the instrument through the driver, with the session timeout
    // of 1000 ms the callers set.
    ViSession open()
    {
        EXPECT_EQ(visa.viOpenDefaultRM(&rm), VI_SUCCESS);
        ViSession vi = VI_NULL;
        EXPECT_EQ(visa.viOpen(rm, "USB0::0x0699::0x0368::C1::INSTR", 0, 0, &vi), VI_SUCCESS);
        EXPECT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 1000), VI_SUCCESS);
        return vi;
    }

    std::string text() const
    {
        return std::string(reinterpret_cast<const char *>(buffer), got);
    }

    test::UsbtmcSysfsTree tree;
    ScriptedDriver driver;
    UsbtmcVisa visa{tree.usbmisc().string(), tree.dev().string(), driver};
    ViSession rm = VI_NULL;
    ViByte buffer[8192] = {};
    ViUInt32 got = 0;
};

TEST_F(UsbtmcDriver, TheSessionTimeoutIsTheDriversOwn)
{
    const ViSession vi = open();
    // Set at the opening, then by every change; the driver takes nothing
    // below 100 ms and a wait without end as its longest.
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 20), VI_SUCCESS);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
    EXPECT_EQ(driver.timeouts, std::vector<unsigned>({2000, 1000, 100, 0x7FFFFFFF}));
    EXPECT_TRUE(driver.reads.empty());
}

TEST_F(UsbtmcDriver, RawReadsEndAtTheCountOrTheMessage)
{
    const ViSession vi = open();
    // A full read may not be the whole message; a short one is (END).
    driver.message("#42500AB");
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(text(), "#42500AB");
    driver.message("CD\n");
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_SUCCESS);
    EXPECT_EQ(text(), "CD\n");
    driver.message("0123456789");
    EXPECT_EQ(visa.viRead(vi, buffer, 4, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_SUCCESS);
    EXPECT_EQ(text(), "456789");
    EXPECT_EQ(driver.reads, std::vector<std::size_t>({8, 8, 4, 8}));

    // The driver's own timeout is VISA's; an interrupted read is tried
    // again; any other failure is an I/O error.
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_ERROR_TMO);
    EXPECT_EQ(got, 0u);
    driver.failure(EINTR);
    driver.message("OK\n");
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_SUCCESS);
    EXPECT_EQ(text(), "OK\n");
    driver.failure(EIO);
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_ERROR_IO);
}

TEST_F(UsbtmcDriver, FormattedReadsEndAtTheLineFeedOrTheMessage)
{
    const ViSession vi = open();
    char reply[200] = "untouched";
    ViInt32 size = 200;
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, reply), VI_ERROR_TMO);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(size, 0);

    // A message without a line feed is a reply of its own.
    driver.message("NOLF");
    EXPECT_EQ(ReadReply(visa, vi), "NOLF");
    // A reply longer than one read of the driver is read on to its end.
    const std::string longReply = std::string(5000, 'L') + "\n";
    driver.message(longReply);
    driver.reads.clear();
    std::vector<char> whole(6000, '#');
    EXPECT_EQ(ScanfVia(visa, vi, "%t", whole.data()), VI_SUCCESS);
    EXPECT_EQ(std::string(whole.data()), longReply);
    EXPECT_EQ(driver.reads, std::vector<std::size_t>({4096, 4096}));

    // A timeout after part of a reply gives that part, an I/O error too.
    driver.message(std::string(4096, 'P'));
    size = 200;
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, reply), VI_ERROR_TMO);
    EXPECT_EQ(std::string(reply), std::string(199, 'P'));
    driver.failure(EIO);
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, reply), VI_ERROR_IO);
}

TEST_F(UsbtmcDriver, FormattedAndRawReadsShareWhatTheDriverGave)
{
    const ViSession vi = open();
    // The identification and the start of a block in one message: the
    // rest waits for the raw read, which ends where the message ends.
    driver.message("TEK,TDS,0,1\n#42500ABCD");
    char id[200];
    ViInt32 size = 200;
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, id), VI_SUCCESS);
    EXPECT_STREQ(id, "TEK,TDS,0,1\n");
    EXPECT_EQ(size, 12);
    EXPECT_EQ(visa.viRead(vi, buffer, 10, &got), VI_SUCCESS);
    EXPECT_EQ(text(), "#42500ABCD");
    EXPECT_EQ(driver.reads.size(), 1u);

    driver.message("REPLY1\nREPLY2\n");
    EXPECT_EQ(ReadReply(visa, vi), "REPLY1");
    EXPECT_EQ(ReadReply(visa, vi), "REPLY2");
    EXPECT_EQ(driver.reads.size(), 2u);

    // What the buffer holds comes first; the driver gives the rest of the
    // message.
    driver.message("ID\n" + std::string(5000, 'D'));
    EXPECT_EQ(ReadReply(visa, vi), "ID");
    EXPECT_EQ(visa.viRead(vi, buffer, 6000, &got), VI_SUCCESS);
    EXPECT_EQ(text(), std::string(5000, 'D'));

    driver.message("OLD1\nOLD2\n");
    EXPECT_EQ(ReadReply(visa, vi), "OLD1");
    EXPECT_EQ(visa.viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
    driver.message("NEW\n");
    EXPECT_EQ(visa.viRead(vi, buffer, 64, &got), VI_SUCCESS);
    EXPECT_EQ(text(), "NEW\n");
}

TEST_F(UsbtmcDriver, WithoutTheDriversTimeoutTheSessionWaitsItself)
{
    // Another driver behind the device file refuses the ioctl: reads end
    // at a line feed, as on any stream.
    driver.takesTimeout = false;
    const ViSession vi = open();
    EXPECT_TRUE(driver.timeouts.empty());
    driver.message("AB\nCD");
    EXPECT_EQ(visa.viRead(vi, buffer, 64, &got), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(text(), "AB\n");
    EXPECT_EQ(visa.viRead(vi, buffer, 2, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(text(), "CD");
}

} // namespace
} // namespace arb::visa
