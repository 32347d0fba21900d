#include "scope/QtSerialPortIo.h"
#include "scope/ScopeComm.h"
#include "tests/scope/FakeTds.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <termios.h>

using namespace arb;
using arb::test::PtyMaster;

class TestSerialPort : public QObject
{
    Q_OBJECT

  private:
    static termios SlaveTermios(const PtyMaster &pty)
    {
        termios t{};
        tcgetattr(pty.fd(), &t); // on the master it reports the slave's modes
        return t;
    }

  private slots:
    void settingsStringAndHandshakeReachTheLine()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        QtSerialPortIo io;
        ScopeComm comm(io, [&](int) { return pty.slavePath(); });
        comm.setSettings(QStringLiteral("600,E,7,2"));
        comm.setHandshaking(2);
        comm.setDtrEnable(true);
        comm.setRtsEnable(true);
        QCOMPARE(comm.open(), PortOpenResult::Opened);
        termios t = SlaveTermios(pty);
        QCOMPARE(cfgetospeed(&t), speed_t(B600));
        // A pseudo-terminal forces eight bits without parity enable, so of
        // the parity only the odd/even choice can be seen here.
        QVERIFY(!(t.c_cflag & PARODD));
        QVERIFY(t.c_cflag & CSTOPB);
        QVERIFY(t.c_cflag & CRTSCTS);
        QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
        comm.close();
        QVERIFY(!comm.isOpen());

        comm.setSettings(QStringLiteral("9600,O,8,1"));
        comm.setHandshaking(1);
        QCOMPARE(comm.open(), PortOpenResult::Opened);
        t = SlaveTermios(pty);
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QVERIFY(t.c_cflag & PARODD);
        QVERIFY(!(t.c_cflag & CSTOPB));
        QVERIFY(!(t.c_cflag & CRTSCTS));
        QVERIFY(t.c_iflag & IXON);
        comm.close();

        comm.setSettings(QStringLiteral("9600,N,8,1"));
        comm.setHandshaking(0);
        QCOMPARE(comm.open(), PortOpenResult::Opened);
        t = SlaveTermios(pty);
        QVERIFY(!(t.c_cflag & (PARODD | CRTSCTS)));
        QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
        // Raw line: no echo, no line editing, no output rewriting.
        QVERIFY(!(t.c_lflag & (ECHO | ICANON)));
        QVERIFY(!(t.c_oflag & OPOST));
    }

    void bytesPassUnchangedBothWays()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        QtSerialPortIo io;
        ScopeComm comm(io, [&](int) { return pty.slavePath(); });
        comm.setSettings(QStringLiteral("9600,N,8,1"));
        QCOMPARE(comm.open(), PortOpenResult::Opened);

        const QByteArray out("*IDN?\n\r\x00\xff", 9);
        QVERIFY(comm.output(out));
        QByteArray seen;
        QTRY_COMPARE((seen += pty.readAvailable()), out);

        QSignalSpy arrived(&io, &SerialPortIo::dataArrived);
        const QByteArray in("\x00\x7f\x80\xff\x11\x13\r\n", 8);
        QVERIFY(pty.writeAll(in));
        QByteArray got;
        QTRY_VERIFY((got += comm.input()).size() >= in.size());
        QCOMPARE(got, in);
        QVERIFY(arrived.count() >= 1);
    }

    void portsThatCannotOpen()
    {
        QtSerialPortIo io;
        const LineSettings line;
        QCOMPARE(io.open(QStringLiteral("/dev/ttyNoSuchPort9"), line, Handshake::None, true, true),
                 PortOpenResult::NotFound);
        QVERIFY(!io.isOpen());
        QVERIFY(!io.write("x"));
        QVERIFY(io.readAll().isEmpty());

        // A port already held by another program.
        PtyMaster pty;
        QVERIFY(pty.isValid());
        QtSerialPortIo first;
        QCOMPARE(first.open(pty.slavePath(), line, Handshake::None, true, true), PortOpenResult::Opened);
        QtSerialPortIo second;
        QCOMPARE(second.open(pty.slavePath(), line, Handshake::None, true, true), PortOpenResult::Busy);

        // A device the user may not open.
        if (geteuid() == 0)
            QSKIP("root may open any file");
        QTemporaryDir dir;
        const QString locked = dir.filePath(QStringLiteral("ttyS0"));
        QFile f(locked);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner));
        QCOMPARE(io.open(locked, line, Handshake::None, true, true), PortOpenResult::NoPermission);
    }

    void badSettingsStringDoesNotOpen()
    {
        PtyMaster pty;
        QtSerialPortIo io;
        ScopeComm comm(io, [&](int) { return pty.slavePath(); });
        comm.setSettings(QStringLiteral("9600,N,9,1"));
        QCOMPARE(comm.open(), PortOpenResult::BadSettings);
        QVERIFY(!comm.isOpen());
    }
};

QTEST_MAIN(TestSerialPort)
#include "tst_serial_port.moc"
