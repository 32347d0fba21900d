#include "scope/QtSerialPortIo.h"
#include "scope/ScopeClock.h"
#include "scope/ScopeSettings.h"
#include "scope/SerialTds.h"
#include "scope/TdsCommands.h"
#include "scope/UsbTds.h"
#include "tests/scope/FakeTds.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/StrictSkip.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace arb;
using arb::test::FakeTds;

namespace
{

class ManualClock final : public ScopeClock
{
  public:
    qint64 nowMs() const override { return now; }
    qint64 now = 1000000;
};

const char *const kMissingDevice = "/dev/ttyNoSuchScopePort";
const QString kUsbScope = QStringLiteral("USB0::0x0699::0x0368::C012345::INSTR");

// The serial transport on a real port, the fake oscilloscope on COM1, a COM3
// that does not exist, and a clock the test moves.
struct SerialRig {
    SerialRig()
        : transport(
              settings, port,
              [this](int n) { return n == 1 ? tds.slavePath() : QString::fromLatin1(kMissingDevice); }, clock)
    {
        transport.startUp();
    }
    // The deadline check, as a tick of Timer_TDS does once the time has come.
    void tick(qint64 ms)
    {
        clock.now += ms;
        if (transport.timer()->isActive())
            transport.judge();
    }

    ScopeSettings settings;
    ManualClock clock;
    QtSerialPortIo port;
    FakeTds tds;
    SerialTds transport;
};

// "#" d, the length, the points 0, 1, 2 ... (cycled) and a line feed.
std::string Block(int length)
{
    const std::string digits = std::to_string(length);
    std::string block = "#" + std::to_string(digits.size()) + digits;
    for (int i = 0; i < length; ++i)
        block += static_cast<char>(i % 256);
    return block + "\n";
}

} // namespace

class TestTdsTransports : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        FakeTds probe;
        if (!probe.isValid())
            ARB_QSKIP_UNLESS_STRICT("no pseudo-terminals here");
    }

    void serialGivesTheTraceBytesAsTheyCame()
    {
        SerialRig rig;
        QSignalSpy identified(&rig.transport, &ScopeTransport::identified);
        QSignalSpy read(&rig.transport, &ScopeTransport::traceRead);
        QSignalSpy progress(&rig.transport, &ScopeTransport::traceProgress);
        QCOMPARE(rig.transport.identify(), QString());
        QVERIFY(rig.transport.pending());
        QTRY_COMPARE(identified.count(), 1);
        QVERIFY(rig.transport.connected());
        QVERIFY(!rig.transport.pending());

        for (int i = 0; i < kTracePoints; ++i)
            rig.tds.points[i] = static_cast<char>((i * 11 + 5) % 256);
        rig.tds.beforeCurve = "\n"; // a late line end shifts nothing
        rig.tds.pieceSize = 300;
        QCOMPARE(rig.transport.readTrace(QStringLiteral("REFB")), QString());
        QTRY_COMPARE(read.count(), 1);
        QCOMPARE(read.at(0).at(0).toByteArray(), rig.tds.points);
        QCOMPARE(rig.tds.commands().at(2), QByteArray("DATa:SOUrce REFB\n"));
        QVERIFY(progress.count() > 1);
        QCOMPARE(progress.last().at(0).toInt(), kTracePoints);
        QVERIFY(progress.last().at(1).toString().endsWith(QLatin1Char('%')));
        QVERIFY(!rig.transport.pending());
    }

    void serialVerdictsComeAtTheDeadline()
    {
        SerialRig rig;
        QSignalSpy failed(&rig.transport, &ScopeTransport::identifyFailed);
        QSignalSpy identified(&rig.transport, &ScopeTransport::identified);
        rig.tds.answerIdentify = false;
        rig.transport.identify();
        QTRY_COMPARE(rig.tds.received, QByteArray("*IDN?\n"));
        rig.tick(999);
        QCOMPARE(failed.count(), 0);
        rig.tick(1);
        QCOMPARE(failed.count(), 1);
        QVERIFY(!rig.transport.connected());
        QVERIFY(!rig.transport.pending());

        rig.tds.answerIdentify = true;
        rig.transport.identify();
        QTRY_COMPARE(identified.count(), 1);
        QSignalSpy read(&rig.transport, &ScopeTransport::traceRead);
        QSignalSpy traceFailed(&rig.transport, &ScopeTransport::traceFailed);
        rig.tds.curve = FakeTds::CurveReply::NoLineEnd;
        rig.transport.readTrace(QStringLiteral("CH1"));
        QTRY_COMPARE(rig.transport.state().ScopeByteCount, 2506);
        rig.tick(6999);
        QCOMPARE(traceFailed.count(), 0);
        rig.tick(1);
        QCOMPARE(traceFailed.count(), 1);
        QCOMPARE(read.count(), 0);
        // Its line end, coming late, still completes it.
        rig.tds.writeRaw("\n");
        QTRY_COMPARE(read.count(), 1);
        QCOMPARE(read.at(0).at(0).toByteArray(), rig.tds.points);
    }

    void serialPortFailuresAreToldAndCloseEndsARequest()
    {
        SerialRig rig;
        rig.settings.ScopePort = 3;
        const QString failure = rig.transport.identify();
        QVERIFY(failure.contains(QStringLiteral("COM3")));
        QVERIFY(failure.contains(QString::fromLatin1(kMissingDevice)));
        QVERIFY(!rig.transport.pending());
        QVERIFY(!rig.transport.comm().isOpen());
        // While closed, another port is only noted.
        rig.settings.ScopePort = 1;
        QCOMPARE(rig.transport.followPort(), QString());
        QCOMPARE(rig.transport.comm().commPort(), 1);

        QSignalSpy identified(&rig.transport, &ScopeTransport::identified);
        QVERIFY(rig.transport.identify().isEmpty());
        QTRY_VERIFY(rig.transport.connected());
        // Open, a port that does not exist cannot be followed.
        rig.settings.ScopePort = 3;
        QVERIFY(rig.transport.followPort().contains(QStringLiteral("COM3")));
        QVERIFY(!rig.transport.comm().isOpen());

        rig.settings.ScopePort = 1;
        QVERIFY(rig.transport.identify().isEmpty());
        QTRY_COMPARE(identified.count(), 2);
        // Closed while a trace comes: no deadline is judged any more, and
        // the rest of the reply has no port to arrive at.
        rig.tds.bytesPerSecond = 2000;
        rig.transport.readTrace(QStringLiteral("CH1"));
        QTRY_VERIFY(rig.transport.state().ScopeByteCount > 6);
        QVERIFY(rig.transport.pending());
        rig.transport.close();
        QVERIFY(!rig.transport.pending());
        QVERIFY(!rig.transport.timer()->isActive());
        QVERIFY(!rig.transport.connected());
        QVERIFY(!rig.transport.comm().isOpen());
    }

    void usbAsksOnTheChosenInstrumentAndGivesThePoints()
    {
        test::RecordingVisa visa;
        ScopeSettings settings;
        settings.ScopeResource = kUsbScope;
        UsbTds transport(settings, visa);
        QSignalSpy waiting(&transport, &ScopeTransport::waiting);
        QSignalSpy counting(&transport, &ScopeTransport::counting);
        QSignalSpy identified(&transport, &ScopeTransport::identified);
        QSignalSpy progress(&transport, &ScopeTransport::traceProgress);
        QSignalSpy read(&transport, &ScopeTransport::traceRead);
        QSignalSpy failed(&transport, &ScopeTransport::traceFailed);

        visa.messages = {"TEKTRONIX,TDS 2012B,C012345\n"};
        QCOMPARE(transport.identify(), QString());
        QCOMPARE(waiting.count(), 1);
        QTRY_COMPARE(identified.count(), 1);
        QCOMPARE(counting.last().at(0).toInt(), 1);
        QVERIFY(transport.connected());
        QVERIFY(visa.calls.size() > 2);
        QCOMPARE(QString::fromStdString(visa.calls[1]).section(QLatin1Char(' '), 2, 2), kUsbScope);

        visa.messages = {Block(2500)};
        QCOMPARE(transport.readTrace(QStringLiteral("CH2")), QString());
        QCOMPARE(waiting.count(), 2);
        QTRY_COMPARE(read.count(), 1);
        const QByteArray points = read.at(0).at(0).toByteArray();
        QCOMPARE(points.size(), kTracePoints);
        QCOMPARE(points, QByteArray::fromStdString(Block(2500).substr(6, 2500)));
        QCOMPARE(progress.size(), 5);
        QCOMPARE(progress.last().at(0).toInt(), kTracePoints);
        QCOMPARE(progress.last().at(1).toString(), QStringLiteral("100.00%"));
        QCOMPARE(progress.first().at(1).toString(), QStringLiteral("20.00%"));
        QCOMPARE(counting.last().at(0).toInt(), kTracePoints);
        QVERIFY(visa.open.empty());

        // A short block is a failure, and no points.
        visa.messages = {Block(2499)};
        transport.readTrace(QStringLiteral("CH1"));
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(read.count(), 1);
    }

    void usbCloseDropsTheAnswerUnderWay()
    {
        test::RecordingVisa visa;
        ScopeSettings settings;
        settings.ScopeResource = kUsbScope;
        UsbTds transport(settings, visa);
        QSignalSpy read(&transport, &ScopeTransport::traceRead);
        QSignalSpy failed(&transport, &ScopeTransport::traceFailed);
        visa.messages = {Block(2500)};
        transport.readTrace(QStringLiteral("CH1"));
        QVERIFY(transport.pending());
        transport.close();
        QTRY_VERIFY(!transport.busy());
        QCOMPARE(read.count() + failed.count(), 0);

        // The next request is answered again.
        visa.messages = {Block(2500)};
        transport.readTrace(QStringLiteral("CH1"));
        QTRY_COMPARE(read.count(), 1);
    }
};

QTEST_MAIN(TestTdsTransports)
#include "tst_tds_transports.moc"
