#include "scope/ScopeComm.h"

#include <utility>

namespace arb
{

ScopeComm::ScopeComm(SerialPortIo &io, PortNameResolver resolver) : io_(io), resolver_(std::move(resolver))
{
    if (!resolver_)
        resolver_ = [](int n) { return ResolveComPort(n); };
}

PortOpenResult ScopeComm::open()
{
    if (io_.isOpen())
        return PortOpenResult::Opened;
    const std::optional<LineSettings> line = ParseLineSettings(settings_);
    if (!line)
        return PortOpenResult::BadSettings;
    return io_.open(deviceName(), *line, HandshakeFromCode(handshaking_), dtr_, rts_);
}

void ScopeComm::close()
{
    io_.close();
}

bool ScopeComm::isOpen() const
{
    return io_.isOpen();
}

QString ScopeComm::portLabel() const
{
    return ComPortLabel(commPort_);
}

QString ScopeComm::deviceName() const
{
    return resolver_(commPort_);
}

QByteArray ScopeComm::input()
{
    return io_.readAll();
}

bool ScopeComm::output(const QByteArray &bytes)
{
    return io_.write(bytes);
}

} // namespace arb
