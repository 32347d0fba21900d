#include "scope/QtSerialPortIo.h"

#include <QFileInfo>

namespace arb
{

namespace
{

QSerialPort::Parity ToQt(LineSettings::Parity p)
{
    switch (p) {
    case LineSettings::Parity::Odd: return QSerialPort::OddParity;
    case LineSettings::Parity::Even: return QSerialPort::EvenParity;
    case LineSettings::Parity::Mark: return QSerialPort::MarkParity;
    case LineSettings::Parity::Space: return QSerialPort::SpaceParity;
    case LineSettings::Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(LineSettings::StopBits s)
{
    switch (s) {
    case LineSettings::StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::Two: return QSerialPort::TwoStop;
    case LineSettings::StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl ToQt(Handshake h)
{
    switch (h) {
    case Handshake::XonXoff: return QSerialPort::SoftwareControl;
    // The port offers no combined mode; RTS/CTS is the one that keeps
    // binary data intact.
    case Handshake::RtsCts:
    case Handshake::RtsCtsXonXoff: return QSerialPort::HardwareControl;
    case Handshake::None: break;
    }
    return QSerialPort::NoFlowControl;
}

// A permission error is also what a port held by another program gives; the
// file's own access bits tell the two apart.
PortOpenResult PermissionOrBusy(const QString &device)
{
    const QFileInfo info(device);
    if (info.exists() && info.isReadable() && info.isWritable())
        return PortOpenResult::Busy;
    return PortOpenResult::NoPermission;
}

} // namespace

QtSerialPortIo::QtSerialPortIo(QObject *parent) : SerialPortIo(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPortIo::dataArrived);
}

QtSerialPortIo::~QtSerialPortIo() = default;

PortOpenResult QtSerialPortIo::open(const QString &device, const LineSettings &line, Handshake handshake,
                                    bool dtr, bool rts)
{
    if (port_.isOpen())
        port_.close();
    port_.clearError();
    port_.setPortName(device);
    const bool configured = port_.setBaudRate(line.baud) &&
                            port_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
                            port_.setParity(ToQt(line.parity)) && port_.setStopBits(ToQt(line.stopBits)) &&
                            port_.setFlowControl(ToQt(handshake));
    if (!configured)
        return PortOpenResult::BadSettings;

    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_.error();
        port_.clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError: return PortOpenResult::NotFound;
        case QSerialPort::PermissionError: return PermissionOrBusy(device);
        case QSerialPort::UnsupportedOperationError: return PortOpenResult::BadSettings;
        default: return PortOpenResult::Failed;
        }
    }

    // Modem lines: a port without them (a pseudo-terminal, some adapters)
    // refuses the request, which does no harm. Under RTS/CTS the driver owns
    // RTS.
    port_.setDataTerminalReady(dtr);
    if (port_.flowControl() != QSerialPort::HardwareControl)
        port_.setRequestToSend(rts);
    port_.clearError();
    return PortOpenResult::Opened;
}

void QtSerialPortIo::close()
{
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool QtSerialPortIo::isOpen() const
{
    return port_.isOpen();
}

QByteArray QtSerialPortIo::readAll()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

bool QtSerialPortIo::write(const QByteArray &bytes)
{
    if (!port_.isOpen())
        return false;
    return port_.write(bytes) == bytes.size();
}

} // namespace arb
