#include "scope/PortNames.h"

#include <QFileInfo>

namespace arb
{

SerialDeviceRoots SerialDeviceRoots::platform()
{
    SerialDeviceRoots roots;
#ifdef Q_OS_WIN
    roots.windowsNames = true;
#endif
    return roots;
}

QString ComPortLabel(int portNumber)
{
    return QStringLiteral("COM%1").arg(portNumber);
}

QString ResolveComPort(int portNumber, const SerialDeviceRoots &roots)
{
    if (roots.windowsNames)
        return ComPortLabel(portNumber);
    const QString index = QString::number(portNumber - 1);
    const QString usb = roots.usbRoot + index;
    if (QFileInfo::exists(usb))
        return usb;
    return roots.serialRoot + index;
}

} // namespace arb
