#include "scope/QtSerialPortIo.h"
#include "scope/ScopeComm.h"
#include "tests/scope/FakeTds.h"
#include "tests/support/StrictSkip.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace arb;
using arb::test::PtyMaster;

namespace
{

const int kUnprivilegedId = 65534; // "nobody"
const int kCannotDrop = 77;

// Runs check in a child process that has given up root for the user and
// group "nobody", and returns its result (0..76), kCannotDrop when the
// child could not give up root, or -1 when it did not end normally.
template <typename Check> int AsNobody(Check check)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 || setuid(kUnprivilegedId) != 0 ||
            geteuid() == 0)
            _exit(kCannotDrop);
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

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

        // A device the user may not open: only its owner may read it. Root
        // may open any file, so as root the attempt is made by a child that
        // has become the unprivileged user "nobody".
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
        const QString locked = dir.filePath(QStringLiteral("ttyS0"));
        QFile f(locked);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner));
        if (geteuid() != 0) {
            QCOMPARE(io.open(locked, line, Handshake::None, true, true), PortOpenResult::NoPermission);
            return;
        }
        const int outcome = AsNobody([&] {
            QtSerialPortIo unprivileged;
            return unprivileged.open(locked, line, Handshake::None, true, true) ==
                           PortOpenResult::NoPermission
                       ? 0
                       : 1;
        });
        if (outcome == kCannotDrop)
            ARB_QSKIP_UNLESS_STRICT("root here cannot become an unprivileged user");
        QCOMPARE(outcome, 0);
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
