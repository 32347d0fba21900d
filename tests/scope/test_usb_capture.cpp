#include "link/visa/SocketVisa.h"
#include "link/visa/UsbtmcVisa.h"
#include "scope/CaptureMessages.h"
#include "scope/VisaScopeTalk.h"
#include "tests/support/PtyDevice.h"
#include "tests/support/UsbtmcSysfsTree.h"
#include "tests/support/peers/ScopeServer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace arb;
using namespace arb::test;

namespace
{

// The built-in backend as the program builds it (usbtmc behind the
// sockets), pointed at a sysfs tree whose one instrument is a terminal.
struct UsbBench {
    UsbtmcSysfsTree tree;
    std::unique_ptr<PtyDevice> device;
    std::unique_ptr<visa::SocketVisa> visa;
    std::atomic<bool> stop{false};
    std::thread player;

    UsbBench(const std::string &vendor, const std::string &product, const std::string &serial)
    {
        tree.addDevice(0, vendor, product, serial);
        device = std::make_unique<PtyDevice>(tree.dev() / "usbtmc0");
        visa = std::make_unique<visa::SocketVisa>(
            std::make_unique<visa::UsbtmcVisa>(tree.usbmisc().string(), tree.dev().string()));
    }
    void play(SimulatedScope &scope, const ScopeDelivery &delivery = {})
    {
        player =
            std::thread([this, &scope, delivery] { ServeScope(device->master(), scope, delivery, stop); });
    }
    ~UsbBench()
    {
        stop = true;
        if (player.joinable())
            player.join();
    }
};

CaptureLimits QuickLimits()
{
    CaptureLimits limits;
    limits.stallMs = 400;
    return limits;
}

} // namespace

TEST(UsbCapture, ARigolThroughTheUsbtmcBackend)
{
    UsbBench bench("1ab1", "04ce", "DS1ZA0001");
    ASSERT_TRUE(bench.tree.made());
    ASSERT_TRUE(bench.device->made());
    // Every byte value, line feeds among them: a terminal ends a read at each.
    std::string data(5000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 256);
    SimulatedScope scope = SimulatedScope::Rigol(2, data, 0.02, -3, 127);
    ScopeDelivery delivery;
    delivery.pieceBytes = 333;
    bench.play(scope, delivery);
    CaptureControl control;
    const std::string resource = "USB0::0x1AB1::0x04CE::DS1ZA0001::INSTR";
    const CaptureResult r = CaptureOverVisa(*bench.visa, resource, 2, control, QuickLimits());
    ASSERT_FALSE(r.fault) << CaptureFaultMessage(r.fault, r.record.maker, resource, 400).toStdString();
    EXPECT_TRUE(scope.unexpected().empty());
    ASSERT_EQ(r.record.volts.size(), data.size());
    EXPECT_FLOAT_EQ(r.record.volts[10], static_cast<float>((10 + 3 - 127) * 0.02));
    EXPECT_FLOAT_EQ(r.record.volts[255], static_cast<float>((255 + 3 - 127) * 0.02));
    EXPECT_EQ(scope.commands().front(), "*IDN?");
}

TEST(UsbCapture, AStalledUsbReplyAndAMissingInstrument)
{
    UsbBench bench("0699", "0368", "C012345");
    ASSERT_TRUE(bench.device->made());
    SimulatedScope scope = SimulatedScope::Tektronix(1, std::string(2500, '\x10'));
    ScopeDelivery delivery;
    delivery.stallOn = "CURVe?";
    delivery.stallAfter = 100;
    bench.play(scope, delivery);
    CaptureControl control;
    const CaptureResult r =
        CaptureOverVisa(*bench.visa, "USB0::0x0699::0x0368::C012345::INSTR", 1, control, QuickLimits());
    EXPECT_EQ(r.fault.kind, CaptureFaultKind::Stalled);
    EXPECT_EQ(r.fault.command, "CURVe?");

    const CaptureResult missing =
        CaptureOverVisa(*bench.visa, "USB0::0x0699::0x0368::OTHER::INSTR", 1, control, QuickLimits());
    EXPECT_EQ(missing.fault.kind, CaptureFaultKind::OpenFailed);
    EXPECT_TRUE(CaptureFaultMessage(missing.fault, {}, "USB0::0x0699::0x0368::OTHER::INSTR", 400)
                    .startsWith(QStringLiteral("无法打开仪器 USB0::0x0699::0x0368::OTHER::INSTR")));
}
