#include "link/visa/SocketVisa.h"
#include "scope/CaptureMessages.h"
#include "scope/VisaScopeTalk.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/peers/ScopeServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace arb;
using namespace arb::test;

namespace
{

// Every byte value, cycled to n points.
std::string Ramp(std::size_t n)
{
    std::string data(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<char>(i * 7 % 256);
    return data;
}

// Short times, so that a stall fails in a fraction of a second.
CaptureLimits QuickLimits()
{
    CaptureLimits limits;
    limits.connectMs = 1000;
    limits.stallMs = 300;
    limits.sliceMs = 20;
    return limits;
}

// The built-in backend's sockets, with nothing behind them.
struct NetworkVisa {
    visa::SocketVisa visa{std::make_unique<RecordingVisa>()};
};

QString MessageOf(const CaptureResult &result, const std::string &resource)
{
    return CaptureFaultMessage(result.fault, result.record.maker, resource, QuickLimits().stallMs);
}

double Signed(unsigned char b)
{
    return b < 128 ? b : b - 256.0;
}

} // namespace

TEST(NetworkCapture, EachMakerOverASocket)
{
    const std::string data = Ramp(3000);
    struct Case {
        SimulatedScope scope;
        int channel;
        std::function<double(unsigned char)> volts;
    } cases[] = {
        {SimulatedScope::Tektronix(1, data, 0.04, 10, 0.5), 1,
         [](unsigned char b) { return (Signed(b) - 10) * 0.04 + 0.5; }},
        {SimulatedScope::Rigol(2, data, 0.02, -3, 127), 2,
         [](unsigned char b) { return (b - (-3.0) - 127) * 0.02; }},
        {SimulatedScope::Siglent(3, data, 0.5, -0.1), 3,
         [](unsigned char b) { return Signed(b) * 0.5 / 25 + 0.1; }},
        {SimulatedScope::Keysight(4, data, 0.01, 0.25, 128), 4,
         [](unsigned char b) { return (b - 128.0) * 0.01 + 0.25; }},
    };
    for (Case &c : cases) {
        ScopeServer server(c.scope);
        ASSERT_TRUE(server.listening());
        NetworkVisa net;
        CaptureControl control;
        const CaptureResult r =
            CaptureOverVisa(net.visa, server.resource(), c.channel, control, QuickLimits());
        const std::string maker = r.record.maker;
        ASSERT_FALSE(r.fault) << maker << ": " << MessageOf(r, server.resource()).toStdString();
        EXPECT_TRUE(server.scope().unexpected().empty())
            << maker << ": " << server.scope().unexpected().front();
        ASSERT_EQ(r.record.volts.size(), data.size()) << maker;
        for (std::size_t i = 0; i < data.size(); ++i)
            ASSERT_NEAR(r.record.volts[i], c.volts(static_cast<unsigned char>(data[i])), 1e-5)
                << maker << " point " << i;
        EXPECT_GT(control.received.load(), data.size());
        EXPECT_EQ(control.blockBytes.load(), data.size());
        EXPECT_EQ(control.blockReceived.load(), data.size());
    }
}

TEST(NetworkCapture, TheCommandsOnTheWireAndNothingElse)
{
    ScopeServer server(SimulatedScope::Rigol(3, Ramp(10)));
    NetworkVisa net;
    CaptureControl control;
    ASSERT_FALSE(CaptureOverVisa(net.visa, server.resource(), 3, control, QuickLimits()).fault);
    EXPECT_EQ(server.scope().commands(),
              (std::vector<std::string>{"*IDN?", ":WAVeform:SOURce CHAN3", ":WAVeform:MODE NORMal",
                                        ":WAVeform:FORMat BYTE", ":WAVeform:PREamble?", ":WAVeform:DATA?"}));
}

TEST(NetworkCapture, BlocksSplitAcrossManyReads)
{
    const std::string data = Ramp(20000);
    for (std::size_t piece : {1u, 7u, 4095u}) {
        ScopeDelivery delivery;
        delivery.pieceBytes = piece;
        ScopeServer server(SimulatedScope::Siglent(1, piece == 1 ? data.substr(0, 2000) : data), delivery);
        NetworkVisa net;
        CaptureControl control;
        const CaptureResult r = CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits());
        ASSERT_FALSE(r.fault) << piece << ": " << MessageOf(r, server.resource()).toStdString();
        EXPECT_EQ(r.record.volts.size(), piece == 1 ? 2000u : data.size());
        EXPECT_FLOAT_EQ(r.record.volts[1], static_cast<float>(7 * 0.5 / 25 + 0.1));
    }
}

TEST(NetworkCapture, AStalledReplyFailsAfterTheStallTime)
{
    for (const char *query : {"*IDN?", ":WAVeform:PREamble?", ":WAVeform:DATA?"}) {
        ScopeDelivery delivery;
        delivery.stallOn = query;
        delivery.stallAfter = std::string(query) == ":WAVeform:DATA?" ? 500 : 0;
        ScopeServer server(SimulatedScope::Keysight(1, Ramp(5000)), delivery);
        NetworkVisa net;
        CaptureControl control;
        const auto start = std::chrono::steady_clock::now();
        const CaptureResult r = CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits());
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::Stalled) << query;
        EXPECT_EQ(r.fault.command, query);
        EXPECT_TRUE(r.record.volts.empty());
        EXPECT_GE(took, std::chrono::milliseconds(QuickLimits().stallMs));
        EXPECT_LT(took, std::chrono::seconds(3));
        const QString m = MessageOf(r, server.resource());
        EXPECT_TRUE(m.contains(QString::fromLatin1(query))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("0.3 秒"))) << m.toStdString();
    }
}

TEST(NetworkCapture, ARefusedConnection)
{
    RefusingPort port;
    ASSERT_NE(port.port(), 0);
    const std::string resource = "TCPIP0::127.0.0.1::" + std::to_string(port.port()) + "::SOCKET";
    NetworkVisa net;
    CaptureControl control;
    const CaptureResult r = CaptureOverVisa(net.visa, resource, 1, control, QuickLimits());
    EXPECT_EQ(r.fault.kind, CaptureFaultKind::ConnectRefused);
    EXPECT_EQ(MessageOf(r, resource),
              QString::fromStdString(resource) +
                  QStringLiteral(" 拒绝连接：这个端口上没有服务。请检查 IP 地址和端口号。"));
}

TEST(NetworkCapture, AVxi11AddressWithoutAVendorLibrary)
{
    NetworkVisa net;
    CaptureControl control;
    const std::string resource = "TCPIP0::127.0.0.1::INSTR";
    const CaptureResult r = CaptureOverVisa(net.visa, resource, 1, control, QuickLimits());
    EXPECT_EQ(r.fault.kind, CaptureFaultKind::NeedsVendorVisa);
    EXPECT_TRUE(MessageOf(r, resource).contains(QStringLiteral("TCPIP0::127.0.0.1::5025::SOCKET")));
}

TEST(NetworkCapture, MalformedAndShortBlocks)
{
    const std::string data = Ramp(1000);
    struct Case {
        const char *what;
        std::string reply;
        CaptureFaultKind kind;
    } cases[] = {
        {"no block", "1,2,3,4\n", CaptureFaultKind::BadBlock},
        {"the indefinite form", "#0" + data + "\n", CaptureFaultKind::BadBlock},
        {"a letter for a digit", "#4x000" + data, CaptureFaultKind::BadBlock},
        {"a reply ending inside the header", "#41", CaptureFaultKind::BadBlock},
        {"beyond the record limit", "#9123456789", CaptureFaultKind::TooManyPoints},
        {"fewer bytes than announced", "#42000" + data, CaptureFaultKind::ShortBlock},
    };
    for (const Case &c : cases) {
        SimulatedScope scope = SimulatedScope::Rigol(1, data);
        scope.setReply(":WAVeform:DATA?", c.reply);
        ScopeDelivery delivery;
        // The connection closes after the reply, so that a short one ends.
        delivery.closeOn = ":WAVeform:DATA?";
        delivery.closeAfter = c.reply.size();
        ScopeServer server(scope, delivery);
        NetworkVisa net;
        CaptureControl control;
        const CaptureResult r = CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits());
        EXPECT_EQ(r.fault.kind, c.kind) << c.what;
        EXPECT_TRUE(r.record.volts.empty()) << c.what;
        const QString m = MessageOf(r, server.resource());
        EXPECT_TRUE(m.contains(QStringLiteral("RIGOL TECHNOLOGIES"))) << c.what << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral(":WAVeform:DATA?"))) << c.what << m.toStdString();
        if (c.kind == CaptureFaultKind::ShortBlock) {
            EXPECT_TRUE(m.contains(QStringLiteral("应有 2000 字节，只收到 1000 字节"))) << m.toStdString();
        }
    }
    // Siglent's block with another channel's prefix.
    SimulatedScope siglent = SimulatedScope::Siglent(1, data);
    siglent.setReply("C1:WF? DAT2", "C2:WF DAT2," + SimulatedScope::Block(data) + "\n");
    ScopeServer server(siglent);
    NetworkVisa net;
    CaptureControl control;
    EXPECT_EQ(CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits()).fault.kind,
              CaptureFaultKind::BadBlock);
}

TEST(NetworkCapture, AnUnknownMaker)
{
    SimulatedScope scope = SimulatedScope::Tektronix(1, Ramp(100));
    scope.setReply("*IDN?", "LECROY,WAVESURFER 3024Z,LCRY3702N00000,9.2.0\n");
    ScopeServer server(scope);
    NetworkVisa net;
    CaptureControl control;
    const CaptureResult r = CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits());
    EXPECT_EQ(MessageOf(r, server.resource()),
              QStringLiteral("不支持的示波器：LECROY,WAVESURFER 3024Z,LCRY3702N00000,9.2.0"));
    EXPECT_EQ(server.scope().commands(), std::vector<std::string>{"*IDN?"});
}

TEST(NetworkCapture, CancelledMidRead)
{
    ScopeDelivery delivery;
    delivery.pieceBytes = 1000;
    delivery.pieceDelayUs = 2000;
    ScopeServer server(SimulatedScope::Rigol(1, Ramp(2'000'000)), delivery);
    NetworkVisa net;
    CaptureControl control;
    std::thread canceller([&control] {
        while (control.blockBytes.load() == 0 || control.received.load() < 20000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        control.cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const CaptureResult r = CaptureOverVisa(net.visa, server.resource(), 1, control, QuickLimits());
    canceller.join();
    EXPECT_EQ(r.fault.kind, CaptureFaultKind::Cancelled);
    EXPECT_TRUE(r.record.volts.empty());
    EXPECT_TRUE(MessageOf(r, server.resource()).isEmpty());
    EXPECT_GT(control.blockReceived.load(), 0u);
    EXPECT_LT(control.blockReceived.load(), control.blockBytes.load());
    // Long before the 2 million points (4 s at this pace) could have come.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_LT(control.received.load(), 2'000'000u);
}
