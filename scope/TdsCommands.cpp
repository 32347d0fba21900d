#include "scope/TdsCommands.h"

namespace arb
{

namespace
{

QByteArray Command(const QByteArray &text, int eol)
{
    QByteArray bytes = text;
    bytes.append(static_cast<char>(eol));
    return bytes;
}

} // namespace

QByteArray IdentifyCommand(int eol)
{
    return Command(QByteArrayLiteral("*IDN?"), eol);
}

std::vector<QByteArray> TraceReadCommands(const QString &source, int eol)
{
    return {
        Command(QByteArrayLiteral("HEADer OFF"), eol),
        Command(QByteArrayLiteral("DATa:SOUrce ") + source.toLatin1(), eol),
        Command(QByteArrayLiteral("DATa:ENCdg RPB"), eol),
        Command(QByteArrayLiteral("DATa:WIDth 1"), eol),
        Command(QByteArrayLiteral("DATa:STARt 1"), eol),
        Command(QByteArrayLiteral("DATa:STOP 2500"), eol),
        Command(QByteArrayLiteral("CURVe?"), eol),
    };
}

float TracePointValue(unsigned char byte)
{
    return static_cast<float>((static_cast<double>(byte) - 127.0) / 128.0);
}

} // namespace arb
