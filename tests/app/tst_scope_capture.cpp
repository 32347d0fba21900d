#include "app/MainControls.h"
#include "app/ScopeCapture.h"
#include "link/visa/UsbtmcVisa.h"
#include "scope/QtSerialPortIo.h"
#include "scope/ScopeClock.h"
#include "scope/SerialPortIo.h"
#include "scope/TdsCommands.h"
#include "scope/UsbScopeWorker.h"
#include "tests/scope/FakeTds.h"
#include "tests/support/FakeHost.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/StrictSkip.h"
#include "tests/support/WindowFixture.h"
#include "view/PopupComboBox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

using namespace arb;
using arb::test::FakeHost;
using arb::test::FakeTds;

namespace
{

class ManualClock final : public ScopeClock
{
  public:
    qint64 nowMs() const override { return now; }
    void advance(qint64 ms) { now += ms; }
    qint64 now = 1000000;
};

// A port that opens anything and can be made to fail, for what a real port
// will not do on request.
class ScriptedPort final : public SerialPortIo
{
  public:
    PortOpenResult open(const QString &, const LineSettings &, Handshake, bool, bool) override
    {
        open_ = true;
        return PortOpenResult::Opened;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QByteArray readAll() override { return std::exchange(in, QByteArray()); }
    bool write(const QByteArray &bytes) override
    {
        if (!acceptWrites)
            return false;
        written += bytes;
        return true;
    }
    void vanish() { open_ = false; }

    QByteArray in;
    QByteArray written;
    bool acceptWrites = true;

  private:
    bool open_ = false;
};

// The real serial port, with a record of every byte the link has read from
// it, so that a test can wait until a reply has been taken in before it
// checks what the reply did not do.
class TappedPort final : public SerialPortIo
{
  public:
    TappedPort() { connect(&port_, &SerialPortIo::dataArrived, this, &SerialPortIo::dataArrived); }
    PortOpenResult open(const QString &device, const LineSettings &line, Handshake handshake, bool dtr,
                        bool rts) override
    {
        return port_.open(device, line, handshake, dtr, rts);
    }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    QByteArray readAll() override
    {
        const QByteArray bytes = port_.readAll();
        taken += bytes;
        return bytes;
    }
    bool write(const QByteArray &bytes) override { return port_.write(bytes); }

    QByteArray taken;

  private:
    QtSerialPortIo port_;
};

const char *const kMissingDevice = "/dev/ttyNoSuchScopePort";

// The oscilloscope frame's controls as the window makes them, two fake
// oscilloscopes on COM1 and COM2, and a COM3 that does not exist.
struct Rig {
    explicit Rig(bool startUp = true, SerialPortIo *port = nullptr, visa::VisaApi *visa = nullptr)
    {
        auto *layout = new QVBoxLayout(&window);
        for (const char *name :
             {"cobSetComm", "cobBaud", "cobParity", "cobFlowHardSoft", "cobOscilEOLString", "cobChannel"}) {
            QComboBox *box = qstrcmp(name, "cobSetComm") == 0 ? new PopupComboBox : new QComboBox;
            box->setObjectName(QString::fromLatin1(name));
            box->setEditable(true);
            box->setEditText(QString::fromLatin1(name));
            layout->addWidget(box);
        }
        link = new QPushButton(QStringLiteral("连接泰克示波器"));
        link->setObjectName(QStringLiteral("cmdLink"));
        read = new QPushButton(QStringLiteral("读取数据"));
        read->setObjectName(QStringLiteral("cmdReadValue"));
        read->setEnabled(false);
        bar = new QProgressBar;
        bar->setObjectName(QStringLiteral("PbrSend"));
        bar->setVisible(false);
        percent = new QLabel;
        percent->setObjectName(QStringLiteral("Label_TDS_percent"));
        for (QWidget *w : {static_cast<QWidget *>(link), static_cast<QWidget *>(read),
                           static_cast<QWidget *>(bar), static_cast<QWidget *>(percent)})
            layout->addWidget(w);

        ScopeCaptureServices services;
        services.port = port ? port : &tapped;
        services.clock = &clock;
        services.visa = visa;
        services.portName = [this](int n) {
            if (n == 1)
                return tds.slavePath();
            if (n == 2)
                return tds2.slavePath();
            return QString::fromLatin1(kMissingDevice);
        };
        MainControls c;
        c.cobSetComm = combo("cobSetComm");
        c.cobBaud = combo("cobBaud");
        c.cobParity = combo("cobParity");
        c.cobFlowHardSoft = combo("cobFlowHardSoft");
        c.cobOscilEOLString = combo("cobOscilEOLString");
        c.cobChannel = combo("cobChannel");
        c.cmdLink = link;
        c.cmdReadValue = read;
        c.PbrSend = bar;
        c.Label_TDS_percent = percent;
        scope = std::make_unique<ScopeCapture>(c, host, services);
        if (startUp)
            scope->startUp();
    }
    ~Rig() { scope.reset(); }

    QComboBox *combo(const char *name) { return window.findChild<QComboBox *>(QString::fromLatin1(name)); }

    // Picks an entry as the user does.
    void choose(const char *name, const QString &text)
    {
        QComboBox *box = combo(name);
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        box->setCurrentIndex(i);
        emit box->activated(i);
    }

    void tick(qint64 advanceMs)
    {
        clock.advance(advanceMs);
        // As Timer_TDS would: a stopped timer does not tick.
        if (scope->timer()->isActive())
            scope->Timer_TDS_Timer();
    }

    bool connectScope()
    {
        link->click();
        if (!QTest::qWaitFor([&] { return scope->state().ScopeReplyDone; }))
            return false;
        tick(1000);
        return link->text() == QStringLiteral("断开TEK示波器") && read->isEnabled();
    }

    // Requests a trace and waits until the reply is counted in full.
    bool readTrace(FakeTds &peer)
    {
        const qsizetype before = peer.commands().size();
        read->click();
        return QTest::qWaitFor([&] { return peer.commands().size() == before + 7; }) &&
               QTest::qWaitFor([&] { return scope->state().ScopeReplyDone; });
    }

    QWidget window;
    FakeHost host;
    ManualClock clock;
    FakeTds tds;
    FakeTds tds2;
    // The port, unless the test gives one.
    TappedPort tapped;
    QPushButton *link = nullptr;
    QPushButton *read = nullptr;
    QProgressBar *bar = nullptr;
    QLabel *percent = nullptr;
    std::unique_ptr<ScopeCapture> scope;
};

QByteArray TraceCommandBytes(const char *source, char eol)
{
    QByteArray all;
    for (const char *c :
         {"HEADer OFF", "", "DATa:ENCdg RPB", "DATa:WIDth 1", "DATa:STARt 1", "DATa:STOP 2500", "CURVe?"}) {
        all += *c ? QByteArray(c) : QByteArray("DATa:SOUrce ") + source;
        all += eol;
    }
    return all;
}

const std::string kUsbScope = "USB0::0x0699::0x0368::C012345::INSTR";

// Calls of the double that contain piece.
int Calls(const arb::test::RecordingVisa &visa, const std::string &piece)
{
    int n = 0;
    for (const std::string &call : visa.calls)
        n += call.find(piece) != std::string::npos ? 1 : 0;
    return n;
}

// "#" d, the length, the points 0, 1, 2 ... (cycled) and a line feed.
std::string Block(int length, bool lineEnd = true)
{
    const std::string digits = std::to_string(length);
    std::string block = "#" + std::to_string(digits.size()) + digits;
    for (int i = 0; i < length; ++i)
        block += static_cast<char>(i % 256);
    return lineEnd ? block + "\n" : block;
}

// A USB oscilloscope as the built-in usbtmc backend finds it: its sysfs
// entry, and a device file that is the raw slave side of the fake's
// pseudo-terminal.
struct UsbtmcScope {
    UsbtmcScope()
    {
        const QString base = dir.path();
        QDir().mkpath(base + "/devices/1-1/iface");
        QDir().mkpath(base + "/usbmisc/usbtmc0");
        QDir().mkpath(base + "/dev");
        const auto write = [](const QString &path, const char *text) {
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(text) > 0;
        };
        valid = tds.isValid() && write(base + "/devices/1-1/idVendor", "0699\n") &&
                write(base + "/devices/1-1/idProduct", "0368\n") &&
                write(base + "/devices/1-1/serial", "C012345\n") &&
                QFile::link(base + "/devices/1-1/iface", base + "/usbmisc/usbtmc0/device") &&
                QFile::link(tds.slavePath(), base + "/dev/usbtmc0");
        slave = ::open(tds.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios t{};
        valid = valid && slave >= 0 && tcgetattr(slave, &t) == 0;
        cfmakeraw(&t);
        valid = valid && tcsetattr(slave, TCSANOW, &t) == 0;
        visa = std::make_unique<visa::UsbtmcVisa>((base + "/usbmisc").toStdString(),
                                                  (base + "/dev").toStdString());
    }
    ~UsbtmcScope()
    {
        if (slave >= 0)
            ::close(slave);
    }

    QTemporaryDir dir;
    FakeTds tds;
    int slave = -1;
    bool valid = false;
    std::unique_ptr<visa::UsbtmcVisa> visa;
};
} // namespace

class TestScopeCapture : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        FakeTds probe;
        if (!probe.isValid())
            ARB_QSKIP_UNLESS_STRICT("no pseudo-terminals here");
    }

    void startUpFillsTheFrameWithItsDefaults()
    {
        Rig rig(false);
        // Until start-up selects an entry every box shows its own name.
        QCOMPARE(rig.combo("cobBaud")->currentText(), QStringLiteral("cobBaud"));
        QCOMPARE(rig.combo("cobParity")->count(), 3);
        QCOMPARE(rig.combo("cobChannel")->itemText(2), QStringLiteral("REF A"));
        QCOMPARE(rig.combo("cobParity")->itemText(1), QStringLiteral("奇校验   7位"));

        rig.scope->startUp();
        QCOMPARE(rig.combo("cobSetComm")->currentText(), QStringLiteral("COM1"));
        QCOMPARE(rig.combo("cobBaud")->currentText(), QStringLiteral("9600"));
        QCOMPARE(rig.combo("cobParity")->currentText(), QStringLiteral("无校验   8位"));
        QCOMPARE(rig.combo("cobFlowHardSoft")->currentText(), QStringLiteral("Hard Flagging"));
        QCOMPARE(rig.combo("cobOscilEOLString")->currentText(), QStringLiteral("LF"));
        QCOMPARE(rig.combo("cobChannel")->currentText(), QStringLiteral("CH1"));
        QCOMPARE(rig.scope->settings().PortSettingsString(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(rig.scope->settings().ScopeHandshake, 2);
        QCOMPARE(rig.scope->settings().ScopeEol, 10);
        QCOMPARE(rig.scope->settings().ScopeSource, QStringLiteral("CH1"));
        QCOMPARE(rig.scope->comm().commPort(), 1);
        QVERIFY(!rig.scope->comm().isOpen());
        QCOMPARE(rig.scope->timer()->objectName(), QStringLiteral("Timer_TDS"));
        QCOMPARE(rig.scope->timer()->interval(), 500);
        QVERIFY(!rig.scope->timer()->isActive());

        // Typing into a box stores nothing.
        rig.combo("cobBaud")->setEditText(QStringLiteral("600"));
        QCOMPARE(rig.scope->settings().ScopeBaud, QStringLiteral("9600"));
    }

    void typedTextChangesNoSetting()
    {
        Rig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QComboBox *port = rig.combo("cobSetComm");
        QComboBox *baud = rig.combo("cobBaud");
        QComboBox *channel = rig.combo("cobChannel");
        const auto typeInto = [](QComboBox *box, const char *text) {
            box->setFocus();
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(text));
        };

        // An entry's text typed and Enter: nothing chosen, the text returns.
        typeInto(port, "COM3");
        QTest::keyClick(port, Qt::Key_Return);
        QCOMPARE(rig.scope->settings().ScopePort, 1);
        QCOMPARE(rig.scope->comm().commPort(), 1);
        QCOMPARE(port->currentText(), QStringLiteral("COM1"));

        // Typed, then the field is left with Tab.
        typeInto(baud, "1200");
        QCOMPARE(baud->currentText(), QStringLiteral("1200"));
        QTest::keyClick(baud, Qt::Key_Tab);
        QVERIFY(!baud->hasFocus());
        QCOMPARE(rig.scope->settings().ScopeBaud, QStringLiteral("9600"));
        QCOMPARE(baud->currentText(), QStringLiteral("9600"));

        // A prefix is not completed to the entry it starts.
        typeInto(channel, "REF");
        QTest::keyClick(channel, Qt::Key_Enter);
        QCOMPARE(rig.scope->settings().ScopeSource, QStringLiteral("CH1"));
        QCOMPARE(channel->currentText(), QStringLiteral("CH1"));

        // The arrow keys choose an entry, and its rule runs.
        channel->setFocus();
        QTest::keyClick(channel, Qt::Key_Down);
        QCOMPARE(channel->currentText(), QStringLiteral("CH2"));
        QCOMPARE(rig.scope->settings().ScopeSource, QStringLiteral("CH2"));
        QTest::keyClick(baud, Qt::Key_Up);
        QCOMPARE(rig.scope->settings().ScopeBaud, QStringLiteral("4800"));
    }

    void connectIdentifiesAsSoonAsTheLineEndArrives()
    {
        Rig rig;
        rig.host.length = QStringLiteral("77");
        rig.tds.answerIdentify = false;
        rig.link->click();
        QVERIFY(!rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());
        QVERIFY(rig.scope->timer()->isActive());
        QTRY_COMPARE(rig.tds.received, QByteArray("*IDN?\n"));

        // The line end settles the request well before its deadline.
        rig.tick(400);
        QVERIFY(rig.scope->timer()->isActive());
        rig.tds.writeRaw("TEKTRONIX,TDS 210\n");
        QTRY_VERIFY(rig.scope->state().ScopeReplyDone);
        QCOMPARE(rig.bar->value(), rig.bar->maximum());
        QCOMPARE(rig.link->text(), QStringLiteral("断开TEK示波器"));
        QVERIFY(rig.read->isEnabled());
        QVERIFY(rig.bar->isHidden());
        QVERIFY(!rig.scope->timer()->isActive());
        // The length field is set back from the waveform's length.
        QCOMPARE(rig.host.length, QStringLiteral("201"));
        QVERIFY(rig.host.user.messages.empty());

        // Stray line ends afterwards change nothing, once they are read.
        rig.host.length = QStringLiteral("88");
        const QByteArray taken = rig.tapped.taken;
        rig.tds.writeRaw("\n\n");
        QTRY_COMPARE(rig.tapped.taken, taken + "\n\n");
        rig.tick(2000);
        QCOMPARE(rig.host.length, QStringLiteral("88"));
        QVERIFY(rig.host.user.messages.empty());

        rig.link->click();
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(!rig.read->isEnabled());
        QVERIFY(!rig.scope->comm().isOpen());
        rig.tds.answerIdentify = true;
        QVERIFY(rig.connectScope());
    }

    void traceCommandsEndInTheChosenCharacter()
    {
        Rig rig;
        QVERIFY(rig.connectScope());
        QVERIFY(rig.readTrace(rig.tds));
        QCOMPARE(rig.tds.received, QByteArray("*IDN?\n") + TraceCommandBytes("CH1", '\n'));

        Rig cr;
        cr.choose("cobOscilEOLString", QStringLiteral("CR/LF"));
        cr.tds.lineEnd = '\r';
        QVERIFY(cr.connectScope());
        QVERIFY(cr.readTrace(cr.tds));
        QCOMPARE(cr.tds.received, QByteArray("*IDN?\r") + TraceCommandBytes("CH1", '\r'));

        // "LF/CR" sends a single LF.
        Rig lfcr;
        lfcr.choose("cobOscilEOLString", QStringLiteral("LF/CR"));
        QVERIFY(lfcr.connectScope());
        QCOMPARE(lfcr.tds.received, QByteArray("*IDN?\n"));
    }

    void eachSourceIsNamedInTheSecondCommand()
    {
        Rig rig;
        QVERIFY(rig.connectScope());
        const struct {
            QString entry;
            QByteArray sent;
        } cases[] = {{QStringLiteral("CH2"), "DATa:SOUrce CH2\n"},
                     {QStringLiteral("REF A"), "DATa:SOUrce REFA\n"},
                     {QStringLiteral("REF B"), "DATa:SOUrce REFB\n"},
                     {QStringLiteral("CH1"), "DATa:SOUrce CH1\n"}};
        for (const auto &c : cases) {
            rig.choose("cobChannel", c.entry);
            QVERIFY(rig.readTrace(rig.tds));
            const QList<QByteArray> commands = rig.tds.commands();
            QCOMPARE(commands.at(commands.size() - 6), c.sent);
        }
    }

    void traceBecomesTheWaveform()
    {
        Rig rig;
        rig.tds.points[0] = '\x00';
        rig.tds.points[1] = '\x7f';
        rig.tds.points[2] = '\x80';
        rig.tds.points[2499] = '\xff';
        rig.host.doc.setPoint(2500, 0.75f);
        rig.host.doc.setPoint(16384, -0.25f);
        QVERIFY(rig.connectScope());
        rig.read->click();
        QCOMPARE(rig.percent->text(), QStringLiteral("0.00%"));
        QVERIFY(!rig.percent->isHidden());
        QVERIFY(!rig.bar->isHidden());
        QCOMPARE(rig.bar->maximum(), 2500);
        const int redraws = rig.host.redraws;
        // Taken on the byte after the points, with no wait for the deadline.
        QTRY_VERIFY(rig.scope->state().ScopeReplyDone);
        QCOMPARE(rig.bar->value(), 2500);
        QVERIFY(!rig.scope->timer()->isActive());
        QCOMPARE(rig.host.arb.ArbLength, 2500.0f);
        QCOMPARE(rig.host.length, QStringLiteral("2500"));
        QCOMPARE(rig.host.redraws, redraws + 1);
        rig.tick(7000);
        QCOMPARE(rig.host.redraws, redraws + 1);
        QCOMPARE(rig.host.arb.ArbData[0], -0.9921875f);
        QCOMPARE(rig.host.arb.ArbData[1], 0.0f);
        QCOMPARE(rig.host.arb.ArbData[2], 0.0078125f);
        QCOMPARE(rig.host.arb.ArbData[2499], 1.0f);
        QCOMPARE(rig.host.arb.ArbData[2500], 0.75f);
        QCOMPARE(rig.host.arb.ArbData[16384], -0.25f);
        QVERIFY(rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());
        QCOMPARE(rig.percent->text(), QString());
        QVERIFY(rig.host.user.messages.empty());
        QCOMPARE(rig.link->text(), QStringLiteral("断开TEK示波器"));
    }

    void replyInManySmallPiecesLosesNoByte()
    {
        Rig rig;
        rig.tds.pieceSize = 13;
        for (int i = 0; i < 2500; ++i)
            rig.tds.points[i] = static_cast<char>((i * 7 + 3) % 256);
        QVERIFY(rig.connectScope());
        rig.read->click();
        // Past the header the label shows the share received.
        QTRY_VERIFY_WITH_TIMEOUT(rig.percent->text().endsWith(QLatin1Char('%')) &&
                                     rig.percent->text() != QStringLiteral("0.00%"),
                                 20000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.scope->state().ScopeReplyDone, 20000);
        QCOMPARE(rig.scope->state().ScopeByteCount, 2506);
        QCOMPARE(rig.host.arb.ArbLength, 2500.0f);
        for (int i = 0; i < 2500; ++i)
            QCOMPARE(rig.host.arb.ArbData[i], TracePointValue(static_cast<unsigned char>(rig.tds.points[i])));
    }

    void replyWithoutLineEndIsReportedAtTheDeadline()
    {
        Rig rig;
        rig.tds.curve = FakeTds::CurveReply::NoLineEnd;
        rig.tds.points.fill('\xff');
        QVERIFY(rig.connectScope());
        rig.read->click();
        QTRY_COMPARE(rig.scope->state().ScopeByteCount, 2506);
        QTRY_VERIFY(rig.tapped.taken.endsWith(rig.tds.curveReply()));
        QVERIFY(!rig.scope->state().ScopeReplyDone);
        rig.tick(7000);
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].text, QStringLiteral("从示波器读取数据出错！"));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败1"));
        QCOMPARE(rig.host.user.messages[0].icon, MessageIcon::Critical);
        // The points came, but the waveform, its length and the view stay.
        QCOMPARE(rig.host.arb.ArbData[0], 0.0f);
        QCOMPARE(rig.host.arb.ArbData[2499], 0.0f);
        QCOMPARE(rig.host.arb.ArbLength, 201.0f);
        QCOMPARE(rig.host.length, QStringLiteral("201"));
        QVERIFY(rig.bar->isHidden());
        QCOMPARE(rig.percent->text(), QString());
    }

    void replyThatNeverComes()
    {
        Rig rig;
        rig.tds.curve = FakeTds::CurveReply::None;
        rig.choose("cobBaud", QStringLiteral("600"));
        QVERIFY(rig.connectScope());
        const int redraws = rig.host.redraws;
        rig.read->click();
        QTRY_COMPARE(rig.tds.commands().size(), 8);
        rig.tick(45999);
        QVERIFY(rig.host.user.messages.empty());
        rig.tick(1);
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败1"));
        QCOMPARE(rig.host.redraws, redraws);
        QVERIFY(!rig.scope->timer()->isActive());
    }

    void identificationThatNeverEnds()
    {
        // With CR chosen an identification ending in LF does not count.
        Rig rig;
        rig.choose("cobOscilEOLString", QStringLiteral("CR/LF"));
        rig.link->click();
        QTRY_COMPARE(rig.tds.received, QByteArray("*IDN?\r"));
        // The reply has been read, and its LF did not count.
        QTRY_COMPARE(rig.tapped.taken, rig.tds.identity + "\n");
        QVERIFY(rig.scope->timer()->isActive());
        rig.tick(1000);
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].text, QStringLiteral("与示波器连接失败！"));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败!"));
        QCOMPARE(rig.host.user.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(rig.link->text(), QStringLiteral("连接泰克示波器"));
        QVERIFY(!rig.read->isEnabled());
        QVERIFY(rig.bar->isHidden());
        // Pressing again repeats the connection.
        rig.choose("cobOscilEOLString", QStringLiteral("LF"));
        QVERIFY(rig.connectScope());
    }

    void serialDisconnectAbandonsTheTraceUnderWay()
    {
        Rig rig;
        rig.tds.curve = FakeTds::CurveReply::None;
        QVERIFY(rig.connectScope());
        rig.read->click();
        QTRY_COMPARE(rig.tds.commands().count("CURVe?\n"), 1);
        rig.link->click();
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());
        QVERIFY(!rig.scope->timer()->isActive());
        rig.tick(10000);
        QVERIFY(rig.host.user.messages.empty());
        QCOMPARE(rig.host.arb.ArbLength, 201.0f);
    }

    void portThatDoesNotExist()
    {
        Rig rig;
        rig.choose("cobSetComm", QStringLiteral("COM3"));
        QCOMPARE(rig.scope->comm().commPort(), 3);
        rig.link->click();
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败!"));
        QCOMPARE(rig.host.user.messages[0].icon, MessageIcon::Critical);
        QVERIFY(rig.host.user.messages[0].text.contains(QStringLiteral("COM3")));
        QVERIFY(rig.host.user.messages[0].text.contains(QString::fromLatin1(kMissingDevice)));
        QVERIFY(!rig.scope->comm().isOpen());
        QVERIFY(!rig.scope->timer()->isActive());
        QVERIFY(rig.bar->isHidden());
        QCOMPARE(rig.link->text(), QStringLiteral("连接泰克示波器"));
        QVERIFY(!rig.read->isEnabled());
    }

    void portChangeWhileConnectedReopensAtOnce()
    {
        Rig rig;
        QVERIFY(rig.connectScope());
        // Baud chosen while connected waits for the next connect.
        rig.choose("cobBaud", QStringLiteral("1200"));
        rig.choose("cobSetComm", QStringLiteral("COM2"));
        QVERIFY(rig.scope->comm().isOpen());
        QCOMPARE(rig.scope->comm().deviceName(), rig.tds2.slavePath());
        QCOMPARE(rig.scope->comm().settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(rig.link->text(), QStringLiteral("断开TEK示波器"));

        QVERIFY(rig.readTrace(rig.tds2));
        QCOMPARE(rig.tds2.received, TraceCommandBytes("CH1", '\n'));
        QCOMPARE(rig.tds.received, QByteArray("*IDN?\n"));
        rig.tick(25000);
        QCOMPARE(rig.host.arb.ArbLength, 2500.0f);

        // A port that cannot be opened ends the link, with a message.
        rig.choose("cobSetComm", QStringLiteral("COM3"));
        QVERIFY(!rig.scope->comm().isOpen());
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QVERIFY(rig.host.user.messages[0].text.contains(QStringLiteral("COM3")));
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(!rig.read->isEnabled());

        // While closed, a port change only sets the number.
        rig.choose("cobSetComm", QStringLiteral("COM1"));
        QVERIFY(!rig.scope->comm().isOpen());
        QVERIFY(rig.connectScope());
        QCOMPARE(rig.scope->comm().settings(), QStringLiteral("1200,N,8,1"));
    }

    void writingToAClosedPortIsReported()
    {
        ScriptedPort port;
        Rig rig(true, &port);
        rig.link->click();
        QCOMPARE(port.written, QByteArray("*IDN?\n"));
        port.in = "TDS\n";
        emit port.dataArrived();
        rig.tick(1000);
        QVERIFY(rig.read->isEnabled());

        // The adapter is pulled out: nothing is written, the user is told.
        port.vanish();
        rig.read->click();
        QCOMPARE(port.written, QByteArray("*IDN?\n"));
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].text, QStringLiteral("串口COM1没有打开，命令未发送！"));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败!"));
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(!rig.read->isEnabled());
        QVERIFY(!rig.scope->timer()->isActive());
        QVERIFY(rig.bar->isHidden());

        // A port that refuses the bytes is closed and reported.
        port.acceptWrites = false;
        rig.link->click();
        QCOMPARE(rig.host.user.messages.size(), size_t(2));
        QCOMPARE(rig.host.user.messages[1].text, QStringLiteral("向串口COM1发送命令失败！"));
        QVERIFY(!port.isOpen());
        QVERIFY(!rig.scope->timer()->isActive());
    }

    void connectThatCannotOpenCancelsTheRequestUnderWay()
    {
        Rig rig;
        rig.tds.curve = FakeTds::CurveReply::None;
        QVERIFY(rig.connectScope());
        rig.read->click();
        rig.link->click(); // disconnect while the trace is awaited
        rig.choose("cobSetComm", QStringLiteral("COM3"));
        QVERIFY(rig.host.user.messages.empty());
        rig.link->click();
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
        QVERIFY(!rig.scope->timer()->isActive());
        QVERIFY(rig.bar->isHidden());
        rig.tick(10000);
        // No read failure on top of the port's message.
        QCOMPARE(rig.host.user.messages.size(), size_t(1));
    }

    void usbScopeIsListedConnectedAndRead()
    {
        arb::test::RecordingVisa visa;
        visa.resources = {"ASRL1::INSTR", kUsbScope};
        Rig rig(true, nullptr, &visa);
        QComboBox *port = rig.combo("cobSetComm");
        QCOMPARE(port->count(), 6);
        QCOMPARE(port->itemText(5), QString::fromStdString(kUsbScope));
        QCOMPARE(port->currentText(), QStringLiteral("COM1"));
        QVERIFY(visa.open.empty());

        rig.choose("cobSetComm", QString::fromStdString(kUsbScope));
        for (const char *serialOnly : {"cobBaud", "cobParity", "cobFlowHardSoft", "cobOscilEOLString"})
            QVERIFY(!rig.combo(serialOnly)->isEnabled());
        QVERIFY(rig.combo("cobChannel")->isEnabled());
        visa.messages = {"TEKTRONIX,TDS 2012B,C012345,CF:91.1CT FV:v22.01\n"};
        visa.clearRecords();
        rig.link->click();
        QVERIFY(!rig.bar->isHidden());
        QTRY_COMPARE(rig.link->text(), QStringLiteral("断开TEK示波器"));
        QVERIFY(rig.read->isEnabled());
        QVERIFY(rig.bar->isHidden());
        QCOMPARE(visa.written, std::vector<std::string>({"*IDN?\n"}));
        QCOMPARE(Calls(visa, " " + kUsbScope + " 0 0"), 1);
        QCOMPARE(Calls(visa, " 0x3FFF001A 1000"), 1);
        QVERIFY(visa.open.empty());
        QVERIFY(!rig.scope->comm().isOpen());

        // A longer record announces five digits; its first 2500 bytes count.
        rig.choose("cobChannel", QStringLiteral("REF B"));
        visa.messages = {Block(10000)};
        visa.clearRecords();
        const int redraws = rig.host.redraws;
        rig.read->click();
        QTRY_COMPARE(rig.host.arb.ArbLength, 2500.0f);
        QCOMPARE(rig.host.redraws, redraws + 1);
        QCOMPARE(rig.host.length, QStringLiteral("2500"));
        QCOMPARE(rig.host.arb.ArbData[0], TracePointValue(0));
        QCOMPARE(rig.host.arb.ArbData[255], TracePointValue(255));
        QCOMPARE(rig.host.arb.ArbData[2499], TracePointValue(2499 % 256));
        std::vector<std::string> commands;
        for (const QByteArray &c : TraceCommandBytes("REFB", '\n').split('\n'))
            if (!c.isEmpty())
                commands.push_back(c.toStdString() + "\n");
        QCOMPARE(visa.written, commands);
        QCOMPARE(Calls(visa, " 0x3FFF001A 5000"), 1);
        // Header, length, five pieces of points, the rest, the line end.
        QCOMPARE(Calls(visa, "viRead "), 2 + 5 + 1 + 1);
        QVERIFY(visa.messages.empty());
        QVERIFY(visa.open.empty());
        QVERIFY(rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());
        QVERIFY(rig.host.user.messages.empty());

        // Back to a COM port: the serial fields again, with their values.
        rig.choose("cobSetComm", QStringLiteral("COM2"));
        QVERIFY(rig.combo("cobBaud")->isEnabled());
        QCOMPARE(rig.combo("cobBaud")->currentText(), QStringLiteral("9600"));
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(!rig.read->isEnabled());
        QCOMPARE(rig.scope->comm().commPort(), 2);
    }

    void usbBlocksThatAreNotWholeLeaveTheWaveform()
    {
        arb::test::RecordingVisa visa;
        visa.resources = {kUsbScope};
        Rig rig(true, nullptr, &visa);
        rig.choose("cobSetComm", QString::fromStdString(kUsbScope));
        visa.messages = {"TEK\n"};
        rig.link->click();
        QTRY_VERIFY(rig.read->isEnabled());

        const struct {
            const char *what;
            std::deque<std::string> messages;
        } cases[] = {
            {"short", {Block(2499)}},
            {"ends before its line end", {Block(2500, false)}},
            {"indefinite length", {"#0" + Block(2500).substr(6)}},
            {"not a block", {"1,2,3,4\n"}},
            {"digits that are not", {"#4x500" + Block(2500).substr(6)}},
            {"another byte in place of the line end", {Block(2500, false) + "X"}},
            {"CR LF", {Block(2500, false) + "\r\n"}},
            {"bytes after the line end", {Block(2500) + "EXTRA"}},
            {"no reply", {}},
        };
        for (const auto &c : cases) {
            rig.host.doc.setPoint(0, 0.5f);
            visa.messages = c.messages;
            rig.read->click();
            QTRY_VERIFY2(!rig.host.user.messages.empty(), c.what);
            QCOMPARE(rig.host.user.messages.back().text, QStringLiteral("从示波器读取数据出错！"));
            QCOMPARE(rig.host.user.messages.back().title, QStringLiteral("失败1"));
            QCOMPARE(rig.host.user.messages.back().icon, MessageIcon::Critical);
            rig.host.user.messages.clear();
            QCOMPARE(rig.host.arb.ArbLength, 201.0f);
            QCOMPARE(rig.host.arb.ArbData[0], 0.5f);
            QVERIFY(rig.bar->isHidden());
            QVERIFY(visa.open.empty());
        }
    }

    void usbScopeThatVanishedBeforeConnect()
    {
        arb::test::RecordingVisa visa;
        visa.resources = {kUsbScope};
        Rig rig(true, nullptr, &visa);
        rig.choose("cobSetComm", QString::fromStdString(kUsbScope));
        visa.resources.clear();
        visa.openStatus = visa::VI_ERROR_RSRC_NFOUND;
        rig.link->click();
        QTRY_COMPARE(rig.host.user.messages.size(), size_t(1));
        QCOMPARE(rig.host.user.messages[0].text, QStringLiteral("与示波器连接失败！"));
        QCOMPARE(rig.host.user.messages[0].title, QStringLiteral("失败!"));
        QCOMPARE(rig.link->text(), QStringLiteral("连接泰克示波器"));
        QVERIFY(!rig.read->isEnabled());
        QVERIFY(rig.bar->isHidden());
        QVERIFY(visa.written.empty());
        QVERIFY(visa.open.empty());

        // The chosen instrument stays listed while it is chosen.
        static_cast<PopupComboBox *>(rig.combo("cobSetComm"))->showPopup();
        QCOMPARE(rig.combo("cobSetComm")->count(), 6);
        QCOMPARE(rig.combo("cobSetComm")->currentText(), QString::fromStdString(kUsbScope));
        rig.combo("cobSetComm")->hidePopup();
    }

    void usbtmcDeviceFileAnswersInPieces()
    {
        UsbtmcScope usb;
        if (!usb.valid)
            ARB_QSKIP_UNLESS_STRICT("no pseudo-terminal device file here");
        usb.tds.pieceSize = 97;
        for (int i = 0; i < 2500; ++i)
            usb.tds.points[i] = static_cast<char>((i * 13 + 10) % 256);
        Rig rig(true, nullptr, usb.visa.get());
        // Listed at start-up from the device tree.
        QCOMPARE(rig.combo("cobSetComm")->itemText(5), QString::fromStdString(kUsbScope));
        rig.choose("cobSetComm", QString::fromStdString(kUsbScope));
        rig.link->click();
        QTRY_VERIFY(rig.read->isEnabled());
        QCOMPARE(usb.tds.received, QByteArray("*IDN?\n"));
        rig.read->click();
        QTRY_COMPARE(rig.host.arb.ArbLength, 2500.0f);
        QCOMPARE(usb.tds.received, QByteArray("*IDN?\n") + TraceCommandBytes("CH1", '\n'));
        for (int i = 0; i < 2500; ++i)
            QCOMPARE(rig.host.arb.ArbData[i], TracePointValue(static_cast<unsigned char>(usb.tds.points[i])));
        QVERIFY(rig.host.user.messages.empty());
    }

    void usbConversationUnderWayWhenTheLinkChanges()
    {
        UsbtmcScope usb;
        if (!usb.valid)
            ARB_QSKIP_UNLESS_STRICT("no pseudo-terminal device file here");
        usb.tds.bytesPerSecond = 8000;
        Rig rig(true, nullptr, usb.visa.get());
        rig.choose("cobSetComm", QString::fromStdString(kUsbScope));
        rig.link->click();
        QTRY_VERIFY(rig.read->isEnabled());

        // A second request waits for the first; both are read in turn, and
        // each becomes the waveform.
        int redraws = rig.host.redraws;
        rig.read->click();
        rig.read->click();
        QTRY_COMPARE_WITH_TIMEOUT(usb.tds.commands().count("CURVe?\n"), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.scope->usb()->busy(), 5000);
        QCOMPARE(rig.host.arb.ArbLength, 2500.0f);
        QCOMPARE(rig.host.redraws, redraws + 2);
        QVERIFY(rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());

        // Connect pressed during a trace: the first press disconnects and
        // abandons the trace, the second connects once the conversation
        // under way has ended. The trace is dropped, the identification taken.
        rig.host.doc.setLength(201.0f);
        redraws = rig.host.redraws;
        rig.read->click();
        QTRY_COMPARE_WITH_TIMEOUT(usb.tds.commands().count("CURVe?\n"), 3, 5000);
        rig.link->click();
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        rig.link->click();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.scope->usb()->busy(), 5000);
        QCOMPARE(usb.tds.commands().last(), QByteArray("*IDN?\n"));
        QCOMPARE(rig.link->text(), QStringLiteral("断开TEK示波器"));
        QVERIFY(rig.read->isEnabled());
        QVERIFY(rig.bar->isHidden());
        QVERIFY(rig.percent->isHidden());
        QCOMPARE(rig.host.arb.ArbLength, 201.0f);
        QCOMPARE(rig.host.redraws, redraws);
        QVERIFY(rig.host.user.messages.empty());

        // Choosing a COM port drops the trace under way, without a word.
        rig.read->click();
        rig.choose("cobSetComm", QStringLiteral("COM1"));
        QVERIFY(rig.bar->isHidden());
        QCOMPARE(rig.link->text(), QStringLiteral("连接TEK示波器"));
        // The conversation went on to its end, and its answer was dropped.
        QTRY_COMPARE_WITH_TIMEOUT(usb.tds.commands().count("CURVe?\n"), 4, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.scope->usb()->busy(), 5000);
        QCOMPARE(rig.host.arb.ArbLength, 201.0f);
        QCOMPARE(rig.host.redraws, redraws);
        QVERIFY(rig.host.user.messages.empty());
    }

    void usbDisconnectAbandonsTheTraceUnderWay()
    {
        // The main window, with the oscilloscope on the usbtmc backend and
        // listed by the generator's discovery.
        UsbtmcScope usb;
        if (!usb.valid)
            ARB_QSKIP_UNLESS_STRICT("no pseudo-terminal device file here");
        usb.tds.bytesPerSecond = 4000;
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [&](arb::test::WindowFixture &fx) {
            fx.visa.resources = {kUsbScope};
            fx.scope.visa = usb.visa.get();
        });
        auto *port = f.window->findChild<QComboBox *>(QStringLiteral("cobSetComm"));
        auto *link = f.window->findChild<QPushButton *>(QStringLiteral("cmdLink"));
        auto *read = f.window->findChild<QPushButton *>(QStringLiteral("cmdReadValue"));
        auto *bar = f.window->findChild<QProgressBar *>(QStringLiteral("PbrSend"));
        auto *undo = f.window->findChild<QAction *>(QStringLiteral("mnuArbUndo"));
        QVERIFY(port && link && read && bar && undo);
        const int usbEntry = port->findText(QString::fromStdString(kUsbScope));
        QVERIFY(usbEntry >= 0);
        port->setCurrentIndex(usbEntry);
        emit port->activated(usbEntry);
        link->click();
        QTRY_VERIFY(read->isEnabled());
        QVERIFY(!undo->isEnabled());

        const std::array<float, arb::kArbBufferSize> before = f.store.ArbData;
        read->click();
        // The oscilloscope has the request and is answering, slowly.
        QTRY_COMPARE_WITH_TIMEOUT(usb.tds.commands().count("CURVe?\n"), 1, 5000);
        const qint64 asked = usb.tds.nowNs();
        QVERIFY(f.window->scopeCapture().usb()->busy());
        link->click();
        QCOMPARE(link->text(), QStringLiteral("连接TEK示波器"));
        QVERIFY(!read->isEnabled());
        QVERIFY(bar->isHidden());
        // The worker read the whole trace; its answer changes nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!f.window->scopeCapture().usb()->busy(), 5000);
        QVERIFY(usb.tds.lastByteNs > asked);
        QCOMPARE(f.store.ArbLength, 201.0f);
        QVERIFY(f.store.ArbData == before);
        QVERIFY(bar->isHidden());
        QVERIFY(f.user.messages.empty());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->statusTip(), QStringLiteral("没有可撤销的操作"));
    }

    void serialTraceThatFailsLeavesNoTraceInTheWaveform()
    {
        // A late line end of the previous reply shifts no point; a trace
        // judged failed puts back what it overwrote, and leaves no undo step.
        ManualClock clock;
        FakeTds tds;
        tds.beforeCurve = "\n";
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [&](arb::test::WindowFixture &fx) {
            fx.scope.clock = &clock;
            fx.scope.portName = [&tds](int) { return tds.slavePath(); };
        });
        auto *link = f.window->findChild<QPushButton *>(QStringLiteral("cmdLink"));
        auto *read = f.window->findChild<QPushButton *>(QStringLiteral("cmdReadValue"));
        auto *undo = f.window->findChild<QAction *>(QStringLiteral("mnuArbUndo"));
        QVERIFY(link && read && undo);
        ScopeCapture &scope = f.window->scopeCapture();
        link->click();
        QTRY_VERIFY(read->isEnabled());

        for (int i = 0; i < 2500; ++i)
            tds.points[i] = static_cast<char>((i * 5 + 1) % 256);
        read->click();
        QTRY_COMPARE(f.store.ArbLength, 2500.0f);
        for (int i : {0, 1, 2, 1000, 2499})
            QCOMPARE(f.store.ArbData[i], TracePointValue(static_cast<unsigned char>(tds.points[i])));
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->statusTip(), QStringLiteral("撤销：读取数据"));
        undo->trigger();
        QCOMPARE(f.store.ArbLength, 201.0f);
        QVERIFY(!undo->isEnabled());

        // Only 1000 points come.
        tds.beforeCurve.clear();
        tds.curve = FakeTds::CurveReply::None;
        read->click();
        QTRY_COMPARE(tds.commands().count("CURVe?\n"), 2);
        tds.writeRaw(QByteArrayLiteral("#42500") + QByteArray(1000, '\xff'));
        QTRY_COMPARE(scope.state().ScopeByteCount, 1006);
        clock.now += 7000;
        scope.Timer_TDS_Timer();
        QCOMPARE(f.user.messages.size(), size_t(1));
        QCOMPARE(f.user.messages[0].text, QStringLiteral("从示波器读取数据出错！"));
        QCOMPARE(f.user.messages[0].title, QStringLiteral("失败1"));
        for (int i : {0, 999, 1000, 2499})
            QCOMPARE(f.store.ArbData[i], 0.0f);
        QCOMPARE(f.store.ArbLength, 201.0f);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->statusTip(), QStringLiteral("没有可撤销的操作"));
    }

    void theMainWindowHasTheFrameControls()
    {
        arb::test::WindowFixture f;
        for (const char *name :
             {"cobSetComm", "cobBaud", "cobParity", "cobFlowHardSoft", "cobOscilEOLString", "cobChannel"}) {
            QComboBox *box = f.window->findChild<QComboBox *>(QString::fromLatin1(name));
            QVERIFY2(box, name);
            QVERIFY(box->isEditable());
        }
        // Start-up selected the default entries.
        const QStringList defaults = {"COM1", "9600", "无校验   8位", "Hard Flagging", "LF", "CH1"};
        const QStringList names = {"cobSetComm",      "cobBaud",           "cobParity",
                                   "cobFlowHardSoft", "cobOscilEOLString", "cobChannel"};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(f.window->findChild<QComboBox *>(names[i])->currentText(), defaults[i]);
        QCOMPARE(f.window->scopeCapture().settings().PortSettingsString(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(f.window->findChild<QPushButton *>(QStringLiteral("cmdLink"))->text(),
                 QStringLiteral("连接泰克示波器"));
        QVERIFY(!f.window->findChild<QPushButton *>(QStringLiteral("cmdReadValue"))->isEnabled());
        QVERIFY(f.window->findChild<QProgressBar *>(QStringLiteral("PbrSend")));
        QVERIFY(f.window->findChild<QLabel *>(QStringLiteral("Label_TDS_percent")));
    }

    void shutDownClosesThePort()
    {
        Rig rig;
        QVERIFY(rig.connectScope());
        rig.scope->shutDown();
        QVERIFY(!rig.scope->comm().isOpen());
        rig.scope->shutDown();
    }
};

QTEST_MAIN(TestScopeCapture)
#include "tst_scope_capture.moc"
