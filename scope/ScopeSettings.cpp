#include "scope/ScopeSettings.h"

namespace arb
{

QStringList PortEntries()
{
    return {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"),
            QStringLiteral("COM5")};
}

QStringList BaudEntries()
{
    return {QStringLiteral("600"), QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
            QStringLiteral("9600")};
}

QStringList ParityEntries()
{
    return {QStringLiteral("无校验   8位"), QStringLiteral("奇校验   7位"), QStringLiteral("偶校验   7位")};
}

QStringList FlowEntries()
{
    return {QStringLiteral("Hard Flagging"), QStringLiteral("Soft Flagging"), QStringLiteral("None")};
}

QStringList EolEntries()
{
    return {QStringLiteral("LF"), QStringLiteral("LF/CR"), QStringLiteral("CR/LF")};
}

QStringList SourceEntries()
{
    return {QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("REF A"), QStringLiteral("REF B")};
}

QString ScopeSettings::PortSettingsString() const
{
    return ScopeBaud + QLatin1Char(',') + ScopeParity + QLatin1Char(',') + ScopeDataBits + QLatin1Char(',') +
           ScopeStopBits;
}

void ScopeSettings::SetStartUpValues()
{
    ScopePort = 1;
    ScopeDataBits = QStringLiteral("8");
    ScopeSource = QStringLiteral("CH1");
    ScopeHandshake = 2;
    ScopeEol = 10;
    ScopeBaud = QStringLiteral("9600");
    ScopeStopBits = QStringLiteral("1");
    ScopeParity = QStringLiteral("n");
    ScopeHandshake = 0;
    ScopeResource.clear();
}

bool ScopeSettings::SelectPort(const QString &text, const QStringList &usbEntries)
{
    const int i = PortEntries().indexOf(text);
    if (i >= 0) {
        ScopePort = i + 1;
        ScopeResource.clear();
        return true;
    }
    if (text.isEmpty() || !usbEntries.contains(text))
        return false;
    ScopeResource = text;
    return true;
}

bool ScopeSettings::SelectBaud(const QString &text)
{
    if (!BaudEntries().contains(text))
        return false;
    ScopeBaud = text;
    return true;
}

bool ScopeSettings::SelectParity(const QString &text)
{
    static const char *const letters[] = {"N", "O", "E"};
    static const char *const digits[] = {"8", "7", "7"};
    const int i = ParityEntries().indexOf(text);
    if (i < 0)
        return false;
    ScopeParity = QString::fromLatin1(letters[i]);
    ParityEntryBits = QString::fromLatin1(digits[i]);
    return true;
}

bool ScopeSettings::SelectFlow(const QString &text)
{
    static const int codes[] = {2, 1, 0};
    const int i = FlowEntries().indexOf(text);
    if (i < 0)
        return false;
    ScopeHandshake = codes[i];
    return true;
}

bool ScopeSettings::SelectEol(const QString &text)
{
    // Of the two-character choices only the first character is sent.
    static const int codes[] = {10, 10, 13};
    const int i = EolEntries().indexOf(text);
    if (i < 0)
        return false;
    ScopeEol = codes[i];
    return true;
}

bool ScopeSettings::SelectSource(const QString &text)
{
    const int i = SourceEntries().indexOf(text);
    if (i < 0)
        return false;
    QString source = SourceEntries().at(i);
    ScopeSource = source.remove(QLatin1Char(' '));
    return true;
}

} // namespace arb
