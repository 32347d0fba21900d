#include "link/visa/UsbtmcVisa.h"
#include "link/visa/VaList.h"
#include "link/visa/VisaCommands.h"
#include "tests/support/StrictSkip.h"
#include "tests/support/UsbtmcSysfsTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace arb::visa
{
namespace
{

namespace fs = std::filesystem;

using test::UsbtmcSysfsTree;

// The device files are pseudo-terminals standing in for /dev/usbtmcN.
class UsbtmcTree : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(tree.made());
        root = tree.root();
    }
    void TearDown() override
    {
        for (int fd : masters)
            ::close(fd);
        for (int fd : slaves)
            ::close(fd);
    }

    void addDevice(int number, const std::string &vendor, const std::string &product,
                   const std::string &serial)
    {
        tree.addDevice(number, vendor, product, serial);
    }

    // A raw pseudo-terminal whose slave is devRoot/usbtmc<number>; returns
    // the master side, which plays the instrument.
    int addTerminal(int number)
    {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        const std::string slaveName = ptsname(master);
        // Keeping one slave handle open keeps the terminal raw and alive.
        const int slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        masters.push_back(master);
        slaves.push_back(slave);
        fs::create_symlink(slaveName, root / "dev" / ("usbtmc" + std::to_string(number)));
        return master;
    }

    static std::string readAvailable(int fd)
    {
        std::string got;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 200) > 0) {
            char buffer[8192];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    // Writes bytes as the instrument and waits until the device file holds
    // all of them, so that one read of the backend sees them together.
    void deliver(int master, const std::string &bytes)
    {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        const auto it = std::find(masters.begin(), masters.end(), master);
        ASSERT_NE(it, masters.end());
        const int slave = slaves[static_cast<std::size_t>(it - masters.begin())];
        for (int tries = 0; tries < 5000; ++tries) {
            int queued = 0;
            ASSERT_EQ(::ioctl(slave, FIONREAD, &queued), 0);
            if (queued >= static_cast<int>(bytes.size()))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        FAIL() << "the terminal never held the " << bytes.size() << " bytes written";
    }

    UsbtmcVisa makeVisa() { return UsbtmcVisa((root / "usbmisc").string(), (root / "dev").string()); }

    ViSession openFirst(UsbtmcVisa &visa, ViSession &rm)
    {
        EXPECT_EQ(visa.viOpenDefaultRM(&rm), VI_SUCCESS);
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        char desc[VI_FIND_BUFLEN] = {};
        EXPECT_EQ(visa.viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
        ViSession vi = VI_NULL;
        EXPECT_EQ(visa.viOpen(rm, desc, 0, 0, &vi), VI_SUCCESS);
        return vi;
    }

    UsbtmcSysfsTree tree;
    fs::path root;
    std::vector<int> masters;
    std::vector<int> slaves;
};

TEST_F(UsbtmcTree, ListsEveryDeviceInNumberOrder)
{
    addDevice(10, "0699", "0363", "C0123");
    addDevice(0, "1ab1", "0588", "DG1ZA1234");
    addDevice(1, "F4EC", "1101", "");
    fs::create_directories(root / "usbmisc" / "lp0");
    fs::create_directories(root / "usbmisc" / "usbtmcx");

    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    ASSERT_EQ(visa.viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char desc[VI_FIND_BUFLEN] = {};
    ASSERT_EQ(visa.viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    EXPECT_EQ(count, 3u);
    EXPECT_STREQ(desc, "USB0::0x1AB1::0x0588::DG1ZA1234::INSTR");
    EXPECT_EQ(visa.viFindNext(list, desc), VI_SUCCESS);
    EXPECT_STREQ(desc, "USB0::0xF4EC::0x1101::::INSTR");
    EXPECT_EQ(visa.viFindNext(list, desc), VI_SUCCESS);
    EXPECT_STREQ(desc, "USB0::0x0699::0x0363::C0123::INSTR");
    EXPECT_EQ(visa.viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
}

TEST_F(UsbtmcTree, NoMatchIsResourceNotFound)
{
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    ASSERT_EQ(visa.viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list = VI_NULL;
    ViUInt32 count = 7;
    char desc[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(visa.viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
    addDevice(0, "1ab1", "0588", "S1");
    EXPECT_EQ(visa.viFindRsrc(rm, "ASRL?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(visa.viFindRsrc(rm + 100, "?*INSTR", &list, &count, desc), VI_ERROR_INV_OBJECT);
}

TEST_F(UsbtmcTree, EachCommandIsOneWriteOfTheExpandedText)
{
    addDevice(0, "1ab1", "0588", "S1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_NE(vi, VI_NULL);
    EXPECT_EQ(visa.viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
    EXPECT_EQ(PrintfVia(visa, vi, "SYSTEM:ARB NAME 0 A%%B\\\\C\n"), VI_SUCCESS);
    EXPECT_EQ(readAvailable(instrument), "SYSTEM:ARB NAME 0 A%B\\C\n");

    std::string chunk = "DATA:ARB:DAC " + std::string(4000, '7') + " END\n";
    EXPECT_EQ(PrintfVia(visa, vi, chunk.c_str()), VI_SUCCESS);
    EXPECT_EQ(readAvailable(instrument), chunk);
    EXPECT_EQ(PrintfVia(visa, vi, "%d\n", 5), VI_ERROR_NSUP_FMT);
}

TEST_F(UsbtmcTree, RepliesAreReadWithTheTConversions)
{
    addDevice(0, "1ab1", "0588", "S1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 1000), VI_SUCCESS);
    auto send = [instrument](const std::string &text) {
        ASSERT_EQ(::write(instrument, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };

    send("VX,VX48250,123,1.0\n");
    EXPECT_EQ(ReadReply(visa, vi), "VX,VX48250,123,1.0");

    // "%#t": the size counts the NUL; the count stored comes back.
    send(std::string(300, 'R') + "\n");
    char small[201];
    small[200] = '#';
    ViInt32 size = 200;
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, small), VI_SUCCESS);
    EXPECT_EQ(size, 199);
    EXPECT_EQ(std::string(small), std::string(199, 'R'));
    EXPECT_EQ(small[200], '#');

    send("AB\n");
    EXPECT_EQ(ScanfVia(visa, vi, "%5t", small), VI_SUCCESS);
    EXPECT_STREQ(small, "AB\n");
    // The C scanset is no VISA conversion.
    EXPECT_EQ(ScanfVia(visa, vi, "%199[^\n]", small), VI_ERROR_NSUP_FMT);
}

// Ends a wait that would never end on its own: unless it goes first, it
// answers a line end as the instrument after limit, so that the read
// returns a reply instead of its timeout and the test fails, not hangs.
class SilenceBreaker
{
  public:
    SilenceBreaker(int instrument, std::chrono::seconds limit)
        : thread_([this, instrument, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!stopped_.wait_for(lock, limit, [this] { return stop_; })) {
                  EXPECT_EQ(::write(instrument, "\n", 1), 1);
              }
          })
    {
    }
    ~SilenceBreaker()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        stopped_.notify_one();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stop_ = false;
    std::thread thread_;
};

TEST_F(UsbtmcTree, ASilentInstrumentTimesOut)
{
    addDevice(0, "1ab1", "0588", "S1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 150), VI_SUCCESS);
    char buffer[200] = "untouched";
    ViInt32 size = 200;
    const auto start = std::chrono::steady_clock::now();
    {
        const SilenceBreaker breaker(instrument, std::chrono::seconds(30));
        EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, buffer), VI_ERROR_TMO);
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(140));
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(size, 0);
}

TEST_F(UsbtmcTree, RawReadsOfAStreamEndAtTheCountOrALineFeed)
{
    addDevice(0, "0699", "0368", "C1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
    const auto send = [instrument](const std::string &bytes) {
        ASSERT_EQ(::write(instrument, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    };
    ViByte buffer[64] = {};
    ViUInt32 got = 0;
    const auto text = [&] { return std::string(reinterpret_cast<char *>(buffer), got); };

    send("#42\nCDEFG");
    EXPECT_EQ(visa.viRead(vi, buffer, sizeof buffer, &got), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(text(), "#42\n");
    // What came past the line feed is kept for the next read.
    EXPECT_EQ(visa.viRead(vi, buffer, 3, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(text(), "CDE");

    // A read waits for the rest of its count as it arrives in pieces.
    std::thread peer([&] {
        for (const char *piece : {"HI", "JK", "LMN"}) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            send(piece);
        }
    });
    EXPECT_EQ(visa.viRead(vi, buffer, 8, &got), VI_SUCCESS_MAX_CNT);
    peer.join();
    EXPECT_EQ(text(), "FGHIJKLM");

    // A timeout gives the bytes that came.
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 150), VI_SUCCESS);
    EXPECT_EQ(visa.viRead(vi, buffer, sizeof buffer, &got), VI_ERROR_TMO);
    EXPECT_EQ(text(), "N");
    EXPECT_EQ(visa.viRead(vi, buffer, 0, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(visa.viRead(vi + 100, buffer, 4, &got), VI_ERROR_INV_OBJECT);
}

TEST_F(UsbtmcTree, FormattedAndRawReadsShareWhatTheDeviceGave)
{
    addDevice(0, "0699", "0368", "C1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
    ViByte buffer[64] = {};
    ViUInt32 got = 0;
    const auto text = [&] { return std::string(reinterpret_cast<char *>(buffer), got); };

    // The identification and the start of a block in one piece: the
    // formatted read takes the line, the raw read what follows it.
    deliver(instrument, "TEK,TDS,0,1\n#42500ABCD");
    char id[200];
    ViInt32 size = 200;
    EXPECT_EQ(ScanfVia(visa, vi, "%#t", &size, id), VI_SUCCESS);
    EXPECT_STREQ(id, "TEK,TDS,0,1\n");
    EXPECT_EQ(size, 12);
    EXPECT_EQ(visa.viRead(vi, buffer, 10, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(text(), "#42500ABCD");

    // Two replies in one piece are two reads.
    deliver(instrument, "REPLY1\nREPLY2\n");
    EXPECT_EQ(ReadReply(visa, vi), "REPLY1");
    EXPECT_EQ(ReadReply(visa, vi), "REPLY2");

    // A raw read leaves the rest of its piece to a formatted one.
    deliver(instrument, "#3\nAB\nCD");
    EXPECT_EQ(visa.viRead(vi, buffer, sizeof buffer, &got), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(text(), "#3\n");
    EXPECT_EQ(ScanfVia(visa, vi, "%t", id), VI_SUCCESS);
    EXPECT_STREQ(id, "AB\n");
    EXPECT_EQ(visa.viRead(vi, buffer, 2, &got), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(text(), "CD");
}

TEST_F(UsbtmcTree, AFlushWithDiscardEmptiesTheReadBuffer)
{
    addDevice(0, "0699", "0368", "C1");
    const int instrument = addTerminal(0);
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    const ViSession vi = openFirst(visa, rm);
    ASSERT_EQ(visa.viSetAttribute(vi, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
    ViByte buffer[64] = {};
    ViUInt32 got = 0;

    deliver(instrument, "OLD1\nOLD2\n");
    EXPECT_EQ(ReadReply(visa, vi), "OLD1");
    EXPECT_EQ(visa.viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
    deliver(instrument, "NEW\n");
    EXPECT_EQ(visa.viRead(vi, buffer, sizeof buffer, &got), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buffer), got), "NEW\n");

    // What a raw read left goes the same way.
    deliver(instrument, "A\nB\n");
    EXPECT_EQ(visa.viRead(vi, buffer, sizeof buffer, &got), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(visa.viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
    deliver(instrument, "C\n");
    EXPECT_EQ(ReadReply(visa, vi), "C");
}

TEST_F(UsbtmcTree, OpeningFailuresAndHandleRules)
{
    addDevice(0, "1ab1", "0588", "S1"); // no device file
    UsbtmcVisa visa = makeVisa();
    ViSession rm = VI_NULL;
    ASSERT_EQ(visa.viOpenDefaultRM(&rm), VI_SUCCESS);
    ViSession vi = VI_NULL;
    EXPECT_EQ(visa.viOpen(rm, "USB0::0x1AB1::0x0588::S1::INSTR", 0, 0, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(visa.viOpen(rm, "USB0::0x1AB1::0x0588::S2::INSTR", 0, 0, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(visa.viClose(VI_NULL), VI_WARN_NULL_OBJECT);
    EXPECT_EQ(visa.viClose(rm + 50), VI_ERROR_INV_OBJECT);

    addTerminal(0);
    // Resource names compare without regard to case.
    ASSERT_EQ(visa.viOpen(rm, "usb0::0x1ab1::0x0588::S1::instr", 0, 0, &vi), VI_SUCCESS);
    EXPECT_EQ(visa.viSetAttribute(vi, VI_ATTR_ASRL_DATA_BITS, 8), VI_ERROR_NSUP_ATTR);
    // Closing the resource manager closes its sessions.
    EXPECT_EQ(visa.viClose(rm), VI_SUCCESS);
    EXPECT_EQ(visa.viFlush(vi, VI_READ_BUF_DISCARD), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.viClose(vi), VI_ERROR_INV_OBJECT);
}

// Runs attempt in a child process that has dropped to the unprivileged
// user nobody (65534), and gives its status; nothing when the child could
// not drop or did not finish.
std::optional<ViStatus> StatusAsNobody(const std::function<ViStatus()> &attempt)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0 || ::geteuid() == 0)
            ::_exit(1);
        const ViStatus status = attempt();
        const bool sent = ::write(channel[1], &status, sizeof status) == static_cast<ssize_t>(sizeof status);
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    ViStatus status = VI_SUCCESS;
    const bool received = child > 0 && ::read(channel[0], &status, sizeof status) == sizeof status;
    ::close(channel[0]);
    int exit = 0;
    const bool finished =
        child > 0 && ::waitpid(child, &exit, 0) == child && WIFEXITED(exit) && WEXITSTATUS(exit) == 0;
    if (!received || !finished)
        return std::nullopt;
    return status;
}

TEST_F(UsbtmcTree, ADeviceFileWithoutAccessIsRefused)
{
    addDevice(0, "1ab1", "0588", "S1");
    UsbtmcSysfsTree::WriteFile(root / "dev" / "usbtmc0", "");
    fs::permissions(root / "dev" / "usbtmc0", fs::perms::none);
    const auto open = [this] {
        UsbtmcVisa visa = makeVisa();
        ViSession rm = VI_NULL;
        if (Failed(visa.viOpenDefaultRM(&rm)))
            return VI_ERROR_SYSTEM_ERROR;
        ViSession vi = VI_NULL;
        return visa.viOpen(rm, "USB0::0x1AB1::0x0588::S1::INSTR", 0, 0, &vi);
    };
    ViStatus status = VI_SUCCESS;
    if (geteuid() != 0) {
        status = open();
    } else {
        // Root opens every file: the opening is tried as nobody, who may
        // read the tree but not the device file.
        const auto readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;
        fs::permissions(root, readable);
        for (const auto &entry : fs::recursive_directory_iterator(root))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), readable);
        const std::optional<ViStatus> asNobody = StatusAsNobody(open);
        if (!asNobody)
            ARB_SKIP_UNLESS_STRICT("cannot run a child process as the user nobody (65534)");
        status = *asNobody;
    }
    EXPECT_TRUE(Failed(status));
    EXPECT_NE(status, VI_ERROR_RSRC_NFOUND);
}

} // namespace
} // namespace arb::visa
