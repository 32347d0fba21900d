#pragma once

#include "scope/PortNames.h"
#include "scope/SerialPortIo.h"

#include <QByteArray>
#include <QString>

namespace arb
{

// The oscilloscope's serial port as the commands see it: a port number, a
// settings string, a handshaking code and the two modem lines, kept between
// openings, so that reopening on another number keeps the rest.
class ScopeComm
{
  public:
    ScopeComm(SerialPortIo &io, PortNameResolver resolver);

    void setCommPort(int portNumber) { commPort_ = portNumber; }
    int commPort() const { return commPort_; }
    void setSettings(const QString &settings) { settings_ = settings; }
    const QString &settings() const { return settings_; }
    void setHandshaking(int code) { handshaking_ = code; }
    int handshaking() const { return handshaking_; }
    void setDtrEnable(bool on) { dtr_ = on; }
    void setRtsEnable(bool on) { rts_ = on; }

    // Opens the port with the current properties. An open port stays as it
    // is and counts as opened.
    PortOpenResult open();
    void close();
    bool isOpen() const;

    // "COM1" and the device it resolves to, for messages.
    QString portLabel() const;
    QString deviceName() const;

    QByteArray input();
    bool output(const QByteArray &bytes);

    SerialPortIo &io() { return io_; }

  private:
    SerialPortIo &io_;
    PortNameResolver resolver_;
    int commPort_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    int handshaking_ = 0;
    bool dtr_ = false;
    bool rts_ = false;
};

} // namespace arb
