#include "link/visa/NetworkResource.h"
#include "link/visa/SocketVisa.h"
#include "link/visa/VaList.h"
#include "tests/support/RecordingVisa.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace arb::visa
{
namespace
{

// One connection on 127.0.0.1, played by a function in a thread of its own.
class Peer
{
  public:
    explicit Peer(std::function<void(int fd)> play)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        ::bind(listener_, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&a), &length);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, play = std::move(play)] {
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd >= 0) {
                play(fd);
                ::close(fd);
            }
        });
    }
    ~Peer()
    {
        thread_.join();
        ::close(listener_);
    }
    std::string resource() const { return "TCPIP0::127.0.0.1::" + std::to_string(port_) + "::SOCKET"; }

  private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

void Send(int fd, const std::string &bytes)
{
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string Receive(int fd, std::size_t n)
{
    std::string got;
    char buffer[256];
    while (got.size() < n) {
        const ssize_t k = ::recv(fd, buffer, std::min(sizeof buffer, n - got.size()), 0);
        if (k <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(k));
    }
    return got;
}

struct Session {
    explicit Session(const std::string &resource, ViUInt32 openTimeout = 0)
    {
        auto behind = std::make_unique<test::RecordingVisa>();
        recording = behind.get();
        visa = std::make_unique<SocketVisa>(std::move(behind));
        visa->viOpenDefaultRM(&rm);
        status = visa->viOpen(rm, resource.c_str(), 0, openTimeout, &vi);
    }
    std::string read(ViUInt32 cnt, ViStatus &result)
    {
        std::string buffer(cnt, '\0');
        ViUInt32 got = 0;
        result = visa->viRead(vi, reinterpret_cast<ViPBuf>(buffer.data()), cnt, &got);
        buffer.resize(got);
        return buffer;
    }
    test::RecordingVisa *recording = nullptr;
    std::unique_ptr<SocketVisa> visa;
    ViSession rm = VI_NULL;
    ViSession vi = VI_NULL;
    ViStatus status = VI_SUCCESS;
};

} // namespace

TEST(NetworkResourceNames, SocketAndVxi11Forms)
{
    const std::optional<SocketResource> s = ParseSocketResource("TCPIP0::192.168.0.7::5025::SOCKET");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->host, "192.168.0.7");
    EXPECT_EQ(s->port, 5025);
    EXPECT_EQ(ParseSocketResource("tcpip1::scope.lab::65535::socket")->port, 65535);
    EXPECT_EQ(ParseSocketResource("TCPIP::[::1]::5555::SOCKET")->host, "::1");
    for (const char *bad :
         {"TCPIP0::host::0::SOCKET", "TCPIP0::host::65536::SOCKET", "TCPIP0::host::SOCKET",
          "TCPIP0::host::5025::INSTR", "USB0::host::5025::SOCKET", "TCPIPX::host::1::SOCKET",
          "TCPIP0::ho st::1::SOCKET", "TCPIP0::[::1::1::SOCKET", "TCPIP0::host::5025::SOCKET::"})
        EXPECT_FALSE(ParseSocketResource(bad)) << bad;
    EXPECT_EQ(ParseVxi11Resource("TCPIP0::10.0.0.2::INSTR"), "10.0.0.2");
    EXPECT_EQ(ParseVxi11Resource("TCPIP0::scope::inst0::INSTR"), "scope");
    EXPECT_FALSE(ParseVxi11Resource("TCPIP0::scope::5025::SOCKET"));
    EXPECT_FALSE(ParseVxi11Resource("USB0::1::2::3::INSTR"));
}

TEST(SocketSessions, ReadsUpToTheirCountOrTheTerminationCharacter)
{
    Peer peer([](int fd) {
        EXPECT_EQ(Receive(fd, 6), "*IDN?\n");
        Send(fd, "ACME,1\nREST");
        Receive(fd, 1); // the session closes
    });
    Session s(peer.resource());
    ASSERT_EQ(s.status, VI_SUCCESS);
    EXPECT_EQ(PrintfVia(*s.visa, s.vi, "*IDN?\n"), VI_SUCCESS);
    s.visa->viSetAttribute(s.vi, VI_ATTR_TMO_VALUE, 2000);
    s.visa->viSetAttribute(s.vi, VI_ATTR_TERMCHAR_EN, 1);
    ViStatus result = VI_SUCCESS;
    EXPECT_EQ(s.read(100, result), "ACME,1\n");
    EXPECT_EQ(result, VI_SUCCESS_TERM_CHAR);
    // What came after the line feed waits for the next read.
    s.visa->viSetAttribute(s.vi, VI_ATTR_TERMCHAR_EN, 0);
    EXPECT_EQ(s.read(3, result), "RES");
    EXPECT_EQ(result, VI_SUCCESS_MAX_CNT);
    // Nothing more comes: the timeout, with what came before it.
    s.visa->viSetAttribute(s.vi, VI_ATTR_TMO_VALUE, 50);
    EXPECT_EQ(s.read(3, result), "T");
    EXPECT_EQ(result, VI_ERROR_TMO);
    s.visa->viClose(s.vi);
}

TEST(SocketSessions, TheFormattedReadAndTheFlush)
{
    Peer peer([](int fd) {
        Send(fd, "stale\n");
        EXPECT_EQ(Receive(fd, 2), "Q\n");
        Send(fd, "1.25E-3\r\n");
        Receive(fd, 1);
    });
    Session s(peer.resource());
    ASSERT_EQ(s.status, VI_SUCCESS);
    // The stale line is read into the buffer and dropped by the flush.
    ViStatus result = VI_SUCCESS;
    s.visa->viSetAttribute(s.vi, VI_ATTR_TMO_VALUE, 2000);
    EXPECT_EQ(s.read(2, result), "st");
    s.visa->viFlush(s.vi, VI_READ_BUF_DISCARD);
    PrintfVia(*s.visa, s.vi, "Q\n");
    char reply[64] = {};
    EXPECT_EQ(ScanfVia(*s.visa, s.vi, "%t", reply), VI_SUCCESS);
    // "ale\n" was still in the socket, not in the buffer the flush dropped.
    EXPECT_STREQ(reply, "ale\n");
    EXPECT_EQ(ScanfVia(*s.visa, s.vi, "%t", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "1.25E-3\r\n");
    s.visa->viClose(s.rm);
    // The manager took its session with it.
    EXPECT_EQ(s.visa->viFlush(s.vi, VI_READ_BUF_DISCARD), s.recording->viFlush(s.vi, VI_READ_BUF_DISCARD));
}

TEST(SocketSessions, APeerThatClosesAndOneThatRefuses)
{
    Peer peer([](int fd) { Send(fd, "AB"); });
    Session s(peer.resource());
    ASSERT_EQ(s.status, VI_SUCCESS);
    ViStatus result = VI_SUCCESS;
    s.visa->viSetAttribute(s.vi, VI_ATTR_TMO_VALUE, 2000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s.read(10, result), "AB");
    EXPECT_EQ(result, VI_ERROR_CONN_LOST);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // A port bound but not listening refuses.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    Session refused("TCPIP0::127.0.0.1::" + std::to_string(ntohs(a.sin_port)) + "::SOCKET");
    ::close(fd);
    EXPECT_EQ(refused.status, VI_ERROR_MACHINE_NAVAIL);
}

TEST(SocketSessions, OtherResourcesGoToTheBackendBehind)
{
    Session usb("USB0::0x1AB1::0x04CE::DS1ZA0001::INSTR");
    EXPECT_EQ(usb.status, VI_SUCCESS);
    EXPECT_EQ(usb.recording->count("viOpen "), 1);
    Session vxi("TCPIP0::127.0.0.1::INSTR");
    EXPECT_EQ(vxi.status, VI_ERROR_NSUP_OPER);
    EXPECT_EQ(vxi.recording->count("viOpen "), 0);
}
} // namespace arb::visa
