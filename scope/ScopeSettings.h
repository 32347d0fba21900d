#pragma once

#include <QString>
#include <QStringList>

namespace arb
{

// The oscilloscope link's settings. Each combo box of the link frame stores
// one of them when an entry is chosen; the values after start-up give the
// settings string "9600,N,8,1", RTS/CTS handshaking, LF and channel 1.
struct ScopeSettings {
    int ScopePort = 1;
    QString ScopeBaud = QStringLiteral("9600");
    QString ScopeParity = QStringLiteral("N");
    // The data bits of the port. They stay "8" whatever the parity: the trace
    // arrives as binary bytes 0..255, which seven data bits would cut.
    QString ScopeDataBits = QStringLiteral("8");
    QString ScopeStopBits = QStringLiteral("1");
    int ScopeHandshake = 2;
    int ScopeEol = 10;
    QString ScopeSource = QStringLiteral("CH1");
    // The digit the parity entry names ("8" or "7"). Kept for display only.
    QString ParityEntryBits = QStringLiteral("8");
    // The USB instrument chosen in place of a COM port, by its VISA resource
    // name; empty while a COM port is chosen.
    QString ScopeResource;

    bool UsesUsb() const { return !ScopeResource.isEmpty(); }

    // Baud, parity, data bits and stop bits joined by commas.
    QString PortSettingsString() const;

    // The values the start-up sets before it selects the default entries.
    void SetStartUpValues();

    // Selection rules. Each compares the chosen text exactly with its entries
    // and stores the value of the matching one; any other text changes
    // nothing and gives false.
    // The port takes a COM port or one of the USB instruments listed.
    bool SelectPort(const QString &text, const QStringList &usbEntries = {});
    bool SelectBaud(const QString &text);
    bool SelectParity(const QString &text);
    bool SelectFlow(const QString &text);
    bool SelectEol(const QString &text);
    bool SelectSource(const QString &text);
};

// The entries of the combo boxes, in order.
QStringList PortEntries();
QStringList BaudEntries();
QStringList ParityEntries();
QStringList FlowEntries();
QStringList EolEntries();
QStringList SourceEntries();

} // namespace arb
