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

std::vector<QByteArray> TraceReadCommandTexts(const QString &source)
{
    return {
        QByteArrayLiteral("HEADer OFF"),     QByteArrayLiteral("DATa:SOUrce ") + source.toLatin1(),
        QByteArrayLiteral("DATa:ENCdg RPB"), QByteArrayLiteral("DATa:WIDth 1"),
        QByteArrayLiteral("DATa:STARt 1"),   QByteArrayLiteral("DATa:STOP 2500"),
        QByteArrayLiteral("CURVe?"),
    };
}

std::vector<QByteArray> TraceReadCommands(const QString &source, int eol)
{
    std::vector<QByteArray> commands = TraceReadCommandTexts(source);
    for (QByteArray &c : commands)
        c = Command(c, eol);
    return commands;
}

float TracePointValue(unsigned char byte)
{
    return static_cast<float>((static_cast<double>(byte) - 127.0) / 128.0);
}

} // namespace arb
