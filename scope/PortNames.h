#pragma once

#include <QString>
#include <functional>

namespace arb
{

// Where the numbered ports COM1..COMn are found. On Windows they keep their
// names. Elsewhere COMn is the USB-serial adapter <usbRoot>(n-1) when that
// device exists, otherwise the built-in port <serialRoot>(n-1).
struct SerialDeviceRoots {
    bool windowsNames = false;
    QString usbRoot = QStringLiteral("/dev/ttyUSB");
    QString serialRoot = QStringLiteral("/dev/ttyS");

    // The roots of the platform the program runs on.
    static SerialDeviceRoots platform();
};

// "COM1" for 1.
QString ComPortLabel(int portNumber);

// The device name that opens port number n.
QString ResolveComPort(int portNumber, const SerialDeviceRoots &roots = SerialDeviceRoots::platform());

// Gives the device name for a port number.
using PortNameResolver = std::function<QString(int)>;

} // namespace arb
