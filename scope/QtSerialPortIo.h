#pragma once

#include "scope/SerialPortIo.h"

#include <QSerialPort>

namespace arb
{

// SerialPortIo on a QSerialPort.
class QtSerialPortIo final : public SerialPortIo
{
    Q_OBJECT
  public:
    explicit QtSerialPortIo(QObject *parent = nullptr);
    ~QtSerialPortIo() override;

    PortOpenResult open(const QString &device, const LineSettings &line, Handshake handshake, bool dtr,
                        bool rts) override;
    void close() override;
    bool isOpen() const override;
    QByteArray readAll() override;
    bool write(const QByteArray &bytes) override;

  private:
    QSerialPort port_;
};

} // namespace arb
