#include "scope/LineSettings.h"
#include "scope/PortNames.h"
#include "scope/ScopeSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace arb;

namespace
{

// The settings as the start-up leaves them: values, then the default entries.
ScopeSettings AfterStartUp()
{
    ScopeSettings s;
    s.SetStartUpValues();
    EXPECT_TRUE(s.SelectPort(PortEntries().at(0)));
    EXPECT_TRUE(s.SelectBaud(BaudEntries().at(4)));
    EXPECT_TRUE(s.SelectParity(ParityEntries().at(0)));
    EXPECT_TRUE(s.SelectFlow(FlowEntries().at(0)));
    EXPECT_TRUE(s.SelectEol(EolEntries().at(0)));
    EXPECT_TRUE(s.SelectSource(SourceEntries().at(0)));
    return s;
}

} // namespace

TEST(ScopeSettings, StartUpGivesNineSixHundredN81HardwareLfChannelOne)
{
    ScopeSettings s;
    s.SetStartUpValues();
    // Before the entries are selected the values are the raw start-up ones.
    EXPECT_EQ(s.ScopeParity, QStringLiteral("n"));
    EXPECT_EQ(s.ScopeHandshake, 0);

    s = AfterStartUp();
    EXPECT_EQ(s.PortSettingsString(), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(s.ScopePort, 1);
    EXPECT_EQ(s.ScopeHandshake, 2);
    EXPECT_EQ(s.ScopeEol, 10);
    EXPECT_EQ(s.ScopeSource, QStringLiteral("CH1"));
}

TEST(ScopeSettings, EveryEntryStoresItsValue)
{
    ScopeSettings s = AfterStartUp();
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(s.SelectPort(QStringLiteral("COM%1").arg(i + 1)));
        EXPECT_EQ(s.ScopePort, i + 1);
    }
    for (const char *baud : {"600", "1200", "2400", "4800", "9600"}) {
        ASSERT_TRUE(s.SelectBaud(QString::fromLatin1(baud)));
        EXPECT_EQ(s.ScopeBaud, QString::fromLatin1(baud));
    }
    const int flows[] = {2, 1, 0};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(s.SelectFlow(FlowEntries().at(i)));
        EXPECT_EQ(s.ScopeHandshake, flows[i]);
    }
    // Of LF/CR and CR/LF only the first character counts.
    const int eols[] = {10, 10, 13};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(s.SelectEol(EolEntries().at(i)));
        EXPECT_EQ(s.ScopeEol, eols[i]);
    }
    const char *sources[] = {"CH1", "CH2", "REFA", "REFB"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(s.SelectSource(SourceEntries().at(i)));
        EXPECT_EQ(s.ScopeSource, QString::fromLatin1(sources[i]));
    }
}

TEST(ScopeSettings, ParityKeepsEightDataBitsForTheBinaryTrace)
{
    ScopeSettings s = AfterStartUp();
    ASSERT_TRUE(s.SelectParity(QStringLiteral("奇校验   7位")));
    EXPECT_EQ(s.PortSettingsString(), QStringLiteral("9600,O,8,1"));
    EXPECT_EQ(s.ParityEntryBits, QStringLiteral("7"));
    ASSERT_TRUE(s.SelectParity(QStringLiteral("偶校验   7位")));
    EXPECT_EQ(s.PortSettingsString(), QStringLiteral("9600,E,8,1"));
    ASSERT_TRUE(s.SelectParity(QStringLiteral("无校验   8位")));
    EXPECT_EQ(s.PortSettingsString(), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(s.ParityEntryBits, QStringLiteral("8"));
}

TEST(ScopeSettings, TextThatIsNoEntryChangesNothing)
{
    ScopeSettings s = AfterStartUp();
    const QString before = s.PortSettingsString();
    EXPECT_FALSE(s.SelectPort(QStringLiteral("com2")));
    EXPECT_FALSE(s.SelectPort(QStringLiteral("COM6")));
    EXPECT_FALSE(s.SelectPort(QStringLiteral("cobSetComm")));
    EXPECT_FALSE(s.SelectBaud(QStringLiteral("19200")));
    EXPECT_FALSE(s.SelectParity(QStringLiteral("奇校验 7位")));
    EXPECT_FALSE(s.SelectFlow(QStringLiteral("none")));
    EXPECT_FALSE(s.SelectEol(QStringLiteral("CR")));
    EXPECT_FALSE(s.SelectSource(QStringLiteral("REFA")));
    EXPECT_EQ(s.ScopePort, 1);
    EXPECT_EQ(s.PortSettingsString(), before);
    EXPECT_EQ(s.ScopeHandshake, 2);
    EXPECT_EQ(s.ScopeEol, 10);
    EXPECT_EQ(s.ScopeSource, QStringLiteral("CH1"));
}

TEST(LineSettings, ParsesTheSettingsString)
{
    const auto s = ParseLineSettings(QStringLiteral("9600,N,8,1"));
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->baud, 9600);
    EXPECT_EQ(s->parity, LineSettings::Parity::None);
    EXPECT_EQ(s->dataBits, 8);
    EXPECT_EQ(s->stopBits, LineSettings::StopBits::One);

    // The start-up's lower-case "n" is accepted.
    const auto lower = ParseLineSettings(QStringLiteral("600,n,8,1"));
    ASSERT_TRUE(lower.has_value());
    EXPECT_EQ(lower->parity, LineSettings::Parity::None);

    const auto odd = ParseLineSettings(QStringLiteral("1200,O,7,2"));
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->parity, LineSettings::Parity::Odd);
    EXPECT_EQ(odd->dataBits, 7);
    EXPECT_EQ(odd->stopBits, LineSettings::StopBits::Two);
    EXPECT_EQ(ParseLineSettings(QStringLiteral("2400,e,8,1.5"))->stopBits,
              LineSettings::StopBits::OneAndHalf);
}

TEST(LineSettings, RejectsMalformedStrings)
{
    for (const char *bad : {"", "9600", "9600,N,8", "9600,N,8,1,1", "fast,N,8,1", "0,N,8,1", "-9600,N,8,1",
                            "9600,X,8,1", "9600,N,9,1", "9600,N,4,1", "9600,N,8,3", "9600,NO,8,1"})
        EXPECT_FALSE(ParseLineSettings(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(LineSettings, HandshakeCodes)
{
    EXPECT_EQ(HandshakeFromCode(2), Handshake::RtsCts);
    EXPECT_EQ(HandshakeFromCode(1), Handshake::XonXoff);
    EXPECT_EQ(HandshakeFromCode(0), Handshake::None);
    EXPECT_EQ(HandshakeFromCode(3), Handshake::RtsCtsXonXoff);
    EXPECT_EQ(HandshakeFromCode(7), Handshake::None);
}

TEST(PortNames, UsbAdapterFirstThenBuiltInPort)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile usb0(dir.filePath(QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(usb0.open(QIODevice::WriteOnly));
    usb0.close();

    SerialDeviceRoots roots;
    roots.usbRoot = dir.filePath(QStringLiteral("ttyUSB"));
    roots.serialRoot = dir.filePath(QStringLiteral("ttyS"));
    EXPECT_EQ(ResolveComPort(1, roots), dir.filePath(QStringLiteral("ttyUSB0")));
    // No ttyUSB1: COM2 is the built-in ttyS1, whether or not it exists.
    EXPECT_EQ(ResolveComPort(2, roots), dir.filePath(QStringLiteral("ttyS1")));
    EXPECT_EQ(ResolveComPort(5, roots), dir.filePath(QStringLiteral("ttyS4")));
}

TEST(PortNames, WindowsKeepsTheComNames)
{
    SerialDeviceRoots roots;
    roots.windowsNames = true;
    EXPECT_EQ(ResolveComPort(3, roots), QStringLiteral("COM3"));
    EXPECT_EQ(ComPortLabel(1), QStringLiteral("COM1"));
#ifndef Q_OS_WIN
    EXPECT_FALSE(SerialDeviceRoots::platform().windowsNames);
    EXPECT_EQ(SerialDeviceRoots::platform().usbRoot, QStringLiteral("/dev/ttyUSB"));
    EXPECT_EQ(SerialDeviceRoots::platform().serialRoot, QStringLiteral("/dev/ttyS"));
#endif
}
