#pragma once

#include <string>
#include <vector>

namespace arb::visa
{

// One instrument bound to the kernel's usbtmc driver.
struct UsbtmcDevice {
    // "USB0::0xVVVV::0xPPPP::SERIAL::INSTR"
    std::string resource;
    // The device file, e.g. "/dev/usbtmc0".
    std::string node;
};

// The usbtmc instruments listed under sysfsRoot (normally
// /sys/class/usbmisc), in the order of their numbers. Vendor and product
// come from usbtmcN/device/../idVendor and idProduct, the serial number
// from usbtmcN/device/../serial; the device file is devRoot/usbtmcN.
std::vector<UsbtmcDevice> ListUsbtmcDevices(const std::string &sysfsRoot, const std::string &devRoot);

} // namespace arb::visa
