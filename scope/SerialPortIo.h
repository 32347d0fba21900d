#pragma once

#include "scope/LineSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace arb
{

// Why a port did not open.
enum class PortOpenResult { Opened, NotFound, Busy, NoPermission, BadSettings, Failed };

// What the oscilloscope link needs of a serial port: open a device with line
// settings, handshaking and the two modem lines, read whatever has arrived as
// raw bytes, write bytes, and tell when bytes have arrived. The program uses
// QtSerialPortIo; tests may put a double in its place.
class SerialPortIo : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialPortIo() override = default;

    // Opens the device (a path such as "/dev/ttyUSB0", or "COM1" on Windows).
    // DTR and RTS are raised when asked and the port allows it; a port that
    // does not drive modem lines still opens.
    virtual PortOpenResult open(const QString &device, const LineSettings &line, Handshake handshake,
                                bool dtr, bool rts) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Every byte received and not yet read, in arrival order.
    virtual QByteArray readAll() = 0;

    // Queues the bytes for sending; false when the port is closed or refuses
    // them.
    virtual bool write(const QByteArray &bytes) = 0;

  signals:
    // Bytes are waiting to be read.
    void dataArrived();
};

} // namespace arb
