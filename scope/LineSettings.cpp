#include "scope/LineSettings.h"

#include <QStringList>

namespace arb
{

std::optional<LineSettings> ParseLineSettings(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;

    LineSettings s;
    bool ok = false;
    s.baud = fields[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return std::nullopt;

    const QString parity = fields[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        s.parity = LineSettings::Parity::None;
    else if (parity == QLatin1String("O"))
        s.parity = LineSettings::Parity::Odd;
    else if (parity == QLatin1String("E"))
        s.parity = LineSettings::Parity::Even;
    else if (parity == QLatin1String("M"))
        s.parity = LineSettings::Parity::Mark;
    else if (parity == QLatin1String("S"))
        s.parity = LineSettings::Parity::Space;
    else
        return std::nullopt;

    s.dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return std::nullopt;

    const QString stop = fields[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = LineSettings::StopBits::One;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = LineSettings::StopBits::OneAndHalf;
    else if (stop == QLatin1String("2"))
        s.stopBits = LineSettings::StopBits::Two;
    else
        return std::nullopt;
    return s;
}

Handshake HandshakeFromCode(int code)
{
    switch (code) {
    case 1: return Handshake::XonXoff;
    case 2: return Handshake::RtsCts;
    case 3: return Handshake::RtsCtsXonXoff;
    default: return Handshake::None;
    }
}

} // namespace arb
