// "vxarb list", "send" and "capture" end to end, as processes without a
// display: the generator and the USB oscilloscope are make-believe
// instruments behind a VISA library the program loads (ARB_VISA_LIBRARY),
// the serial oscilloscope a peer on a pseudo-terminal. What send writes is
// compared, byte for byte and in order with every session opened and
// flushed, with what the window sends for the same file.
#include "app/FormMain.h"
#include "app/GeneratorLink.h"
#include "app/StartFile.h"
#include "core/ArbStore.h"
#include "core/import/ExportWriter.h"
#include "link/generator/GeneratorMessages.h"
#include "scope/PortMessages.h"
#include "scope/TdsCommands.h"
#include "tests/cli/RunProgram.h"
#include "tests/scope/FakeTds.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowFixture.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

#ifndef ARB_INSTRUMENT_VISA_LIBRARY
#error "ARB_INSTRUMENT_VISA_LIBRARY is the make-believe instruments' VISA library"
#endif

using arb::test::FileBytes;
using arb::test::ProgramOptions;
using arb::test::ProgramRun;
using arb::test::RunProgram;
using arb::test::WriteBytes;

namespace
{

const QString kGenerator = QStringLiteral("USB0::0x5345::0x1234::VX0001::INSTR");
const QString kGeneratorIdn = QStringLiteral("VX,VX48250,VX0001,3.1");
const QByteArray kOldContents = "old contents\n";

// One line of a write as the make-believe library logs it.
QString LogText(const std::string &bytes)
{
    QString text;
    for (const unsigned char c : bytes) {
        if (c == '\n')
            text += QStringLiteral("\\n");
        else if (c == '\\')
            text += QStringLiteral("\\\\");
        else if (c < 0x20 || c == 0x7F)
            text += QStringLiteral("\\x") + QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += QLatin1Char(static_cast<char>(c));
    }
    return text;
}

// A waveform file of the editor's 2.0 form, with a name.
QByteArray OwnForm(const QByteArray &name, int count)
{
    QByteArray text =
        "Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:" + QByteArray::number(count) +
        "\r\nArb Name:" + name + "\r\n";
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(0.9 * std::sin(i * 0.01), 'f', 6) + "\r\n";
    return text;
}

class InstrumentCommands : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        arb::test::EnsureCoreApplication();
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString logPath() const { return path(QStringLiteral("visa.log")); }

    QString input(const QString &name, const QByteArray &bytes)
    {
        const QString p = path(name);
        EXPECT_TRUE(WriteBytes(p, bytes));
        return p;
    }

    // The program with the make-believe instruments: "NAME=IDN;..." found
    // in that order, and more of the library's settings.
    ProgramRun run(const QStringList &arguments, const QString &instruments = QString(),
                   const QStringList &more = {})
    {
        ProgramOptions o;
        o.environment = QStringList{QStringLiteral("ARB_VISA_LIBRARY=" ARB_INSTRUMENT_VISA_LIBRARY),
                                    QStringLiteral("FAKE_VISA_INSTRUMENTS=") + instruments,
                                    QStringLiteral("FAKE_VISA_LOG=") + logPath()} +
                        more;
        return RunProgram(arguments, o);
    }

    QString generator() const { return kGenerator + QLatin1Char('=') + kGeneratorIdn; }

    QStringList programLog() const
    {
        const QString text = QString::fromLatin1(FileBytes(logPath()));
        return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // What the window sends from its start with file read ("vxarb FILE"):
    // "连接", then "波形输出" with its timer run to the end; slot chosen
    // first. Every session opened, flush and write, in the library's log
    // form.
    QStringList windowLog(const QString &file, int slot = 0)
    {
        arb::test::WindowFixture w(QRect(0, 0, 1024, 768), [](arb::test::WindowFixture &f) {
            f.visa.resources = {kGenerator.toStdString()};
            f.visa.reply = kGeneratorIdn.toStdString() + "\n";
        });
        w.document.setSlot(slot);
        arb::OpenStartFile(*w.window, file);
        EXPECT_TRUE(w.user.messages.empty());
        w.visa.clearRecords();
        arb::GeneratorLink &link = w.window->generatorLink();
        w.window->controls().Command_DetectIO->click();
        link.timeLink_Timer();
        w.window->controls().Command_viPrintf->click();
        for (int guard = 0; link.Timer1()->isActive() && guard < 100; ++guard)
            link.Timer1_Timer();
        QStringList log;
        std::size_t written = 0;
        for (const std::string &call : w.visa.calls) {
            const QStringList parts = QString::fromStdString(call).split(QLatin1Char(' '));
            if (parts[0] == QLatin1String("viOpen"))
                log << QStringLiteral("open ") + parts.value(2);
            else if (parts[0] == QLatin1String("viFlush"))
                log << QStringLiteral("flush ") + parts.value(2);
            else if (parts[0] == QLatin1String("viVPrintf"))
                log << QStringLiteral("write ") + LogText(w.visa.written.at(written++));
        }
        return log;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(InstrumentCommands, ListShowsEveryInstrumentWithItsReply)
{
    const ProgramRun found =
        run({QStringLiteral("list")}, generator() + QStringLiteral(";USB0::0x0699::0x0363::C1::INSTR="));
    EXPECT_EQ(found.status, 0) << found.err.toStdString();
    EXPECT_EQ(found.out, kGenerator + QLatin1Char('\t') + kGeneratorIdn +
                             QStringLiteral("\nUSB0::0x0699::0x0363::C1::INSTR\t无应答\n"));

    const ProgramRun none = run({QStringLiteral("list")});
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.contains(QStringLiteral("未找到仪器"))) << none.err.toStdString();

    const ProgramRun extra = run({QStringLiteral("list"), QStringLiteral("x")}, generator());
    EXPECT_EQ(extra.status, 2);
}

TEST_F(InstrumentCommands, SendWritesWhatTheWindowWritesByteForByte)
{
    // Three chunks with the name of the file; a table imported with the
    // dialog's defaults, to slot 3 under its default name.
    const QString own = input(QStringLiteral("own.txt"), OwnForm("PULSE1", 2500));
    const QString table = input(QStringLiteral("table.csv"), "time,value\n0,0.5\n1,-0.25\n2,3\n3,0\n4,1\n");
    struct Case {
        QString file;
        int slot;
    };
    for (const Case &c : {Case{own, 0}, Case{table, 3}}) {
        SCOPED_TRACE(c.file.toStdString());
        QFile::remove(logPath());
        const ProgramRun sent = run(
            {QStringLiteral("send"), c.file, QStringLiteral("--slot"), QString::number(c.slot)}, generator());
        EXPECT_EQ(sent.status, 0) << sent.err.toStdString();
        // stderr is no terminal: no progress.
        EXPECT_TRUE(sent.err.isEmpty()) << sent.err.toStdString();
        const QStringList expected = windowLog(c.file, c.slot);
        ASSERT_GE(expected.size(), 6);
        EXPECT_EQ(programLog(), expected);
    }
    EXPECT_TRUE(programLog().last().contains(QStringLiteral("ArbNo3,5,")));

    // A name given replaces the file's, in the first chunk only.
    QFile::remove(logPath());
    const ProgramRun named = run({QStringLiteral("send"), own, QStringLiteral("--name"),
                                  QStringLiteral("Sq2"), QStringLiteral("--resource"), kGenerator},
                                 generator());
    EXPECT_EQ(named.status, 0) << named.err.toStdString();
    const QStringList log = programLog();
    ASSERT_EQ(log.size(), 12);
    EXPECT_TRUE(log[5].startsWith(QStringLiteral("write DATA:ARB:DAC Sq2,2500,")));
    EXPECT_TRUE(log[11].endsWith(QStringLiteral(" END\\n")));
}

TEST_F(InstrumentCommands, SendShowsItsProgressOnlyOnATerminal)
{
    const QString own = input(QStringLiteral("own.txt"), OwnForm("PULSE1", 2500));
    arb::test::PtyMaster terminal;
    ASSERT_TRUE(terminal.isValid());
    ProgramOptions o;
    o.environment = QStringList{QStringLiteral("ARB_VISA_LIBRARY=" ARB_INSTRUMENT_VISA_LIBRARY),
                                QStringLiteral("FAKE_VISA_INSTRUMENTS=") + generator()};
    const QByteArray slave = QFile::encodeName(terminal.slavePath());
    o.childSetup = [slave] {
        const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0)
            ::dup2(fd, 2);
    };
    const ProgramRun r = RunProgram({QStringLiteral("send"), own}, o);
    EXPECT_EQ(r.status, 0);
    // The terminal ends the line with CR LF.
    EXPECT_EQ(terminal.readAvailable(), QByteArray("\r33.33%\r66.67%\r100.00%\r\n"));
}

TEST_F(InstrumentCommands, SendRefusesBeforeAnythingIsSent)
{
    const QString own = input(QStringLiteral("own.txt"), OwnForm("PULSE1", 8));
    struct Case {
        QStringList arguments;
        int status;
        QString message;
    };
    const QString badTable = input(QStringLiteral("bad.csv"), "a,b\nx,y\n");
    const Case cases[] = {
        {{own, QStringLiteral("--name"), QStringLiteral("AB CD")}, 1, arb::BadNameMessage()},
        {{own, QStringLiteral("--name"), QStringLiteral("ABCDEFG")}, 1, arb::BadNameMessage()},
        {{own, QStringLiteral("--name"), QString()}, 1, arb::BadNameMessage()},
        {{badTable}, 1, QString()},
        {{path(QStringLiteral("missing.csv"))}, 1, QString()},
        {{own, QStringLiteral("--slot"), QStringLiteral("10")}, 2, QStringLiteral("--slot")},
        {{}, 2, QStringLiteral("send 缺少输入文件")},
        {{own, QStringLiteral("--points"), QStringLiteral("3")}, 2, QStringLiteral("--points")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        QFile::remove(logPath());
        const ProgramRun r = run(QStringList{QStringLiteral("send")} + c.arguments, generator());
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        // Not even a session was opened.
        EXPECT_FALSE(QFileInfo::exists(logPath()));
    }
}

TEST_F(InstrumentCommands, SendReportsInstrumentErrors)
{
    const QString own = input(QStringLiteral("own.txt"), OwnForm("PULSE1", 2500));
    const ProgramRun none = run({QStringLiteral("send"), own});
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(none.err.contains(QStringLiteral("未找到仪器"))) << none.err.toStdString();

    const ProgramRun other = run({QStringLiteral("send"), own, QStringLiteral("--resource"),
                                  QStringLiteral("USB0::1::2::OTHER::INSTR")},
                                 generator());
    EXPECT_EQ(other.status, 3);
    EXPECT_FALSE(QFileInfo::exists(logPath()));

    // Gone after "*IDN?" and the first chunk: the second chunk finds no
    // generator.
    const ProgramRun lost =
        run({QStringLiteral("send"), own}, generator(), {QStringLiteral("FAKE_VISA_VANISH_AFTER=2")});
    EXPECT_EQ(lost.status, 3);
    EXPECT_TRUE(lost.err.contains(arb::LinkLostMessage())) << lost.err.toStdString();
}

TEST_F(InstrumentCommands, CaptureOverTheSerialPortAsTheWindowReadsIt)
{
    arb::test::FakeTds tds;
    ASSERT_TRUE(tds.isValid());
    const QString out = path(QStringLiteral("trace.csv"));
    ASSERT_TRUE(WriteBytes(out, kOldContents));
    const ProgramRun r = run(
        {QStringLiteral("capture"), QStringLiteral("--port"), tds.slavePath(), QStringLiteral("-o"), out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    // The panel's commands: the identification, then the seven of a trace
    // read from CH1, each ended with LF.
    QList<QByteArray> expected{arb::IdentifyCommand(10)};
    for (const QByteArray &command : arb::TraceReadCommands(QStringLiteral("CH1"), 10))
        expected << command;
    EXPECT_EQ(tds.commands(), expected);

    arb::ArbStore trace;
    for (int i = 0; i < arb::kTracePoints; ++i)
        trace.ArbData[i] = arb::TracePointValue(static_cast<unsigned char>(tds.points[i]));
    trace.ArbLength = static_cast<float>(arb::kTracePoints);
    EXPECT_EQ(FileBytes(out), arb::CsvExportBytes(trace));
}

TEST_F(InstrumentCommands, CaptureFailuresLeaveOutAsItWas)
{
    const QString out = path(QStringLiteral("trace.arb"));
    ASSERT_TRUE(WriteBytes(out, kOldContents));
    {
        arb::test::FakeTds silent;
        silent.answerIdentify = false;
        const ProgramRun r = run({QStringLiteral("capture"), QStringLiteral("--port"), silent.slavePath(),
                                  QStringLiteral("-o"), out});
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(r.err.contains(arb::IdentifyFailedMessage())) << r.err.toStdString();
    }
    {
        arb::test::FakeTds shortTrace;
        shortTrace.curve = arb::test::FakeTds::CurveReply::None;
        const ProgramRun r = run({QStringLiteral("capture"), QStringLiteral("--port"), shortTrace.slavePath(),
                                  QStringLiteral("-o"), out});
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(r.err.contains(arb::TraceFailedMessage())) << r.err.toStdString();
    }
    const ProgramRun noPort = run({QStringLiteral("capture"), QStringLiteral("--port"),
                                   path(QStringLiteral("no-such-tty")), QStringLiteral("-o"), out});
    EXPECT_EQ(noPort.status, 3);
    const ProgramRun noScope =
        run({QStringLiteral("capture"), QStringLiteral("--resource"),
             QStringLiteral("USB0::0x0699::0x0363::C1::INSTR"), QStringLiteral("-o"), out},
            generator());
    EXPECT_EQ(noScope.status, 3);
    EXPECT_TRUE(noScope.err.contains(QStringLiteral("未找到仪器"))) << noScope.err.toStdString();
    const ProgramRun usage = run({QStringLiteral("capture"), QStringLiteral("--port"), QStringLiteral("LPT1"),
                                  QStringLiteral("-o"), out});
    EXPECT_EQ(usage.status, 2);
    const ProgramRun both = run({QStringLiteral("capture"), QStringLiteral("--port"), QStringLiteral("COM1"),
                                 QStringLiteral("--resource"), kGenerator, QStringLiteral("-o"), out});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(FileBytes(out), kOldContents);
}

TEST_F(InstrumentCommands, CaptureOverUsb)
{
    QByteArray points(arb::kTracePoints, '\0');
    for (int i = 0; i < points.size(); ++i)
        points[i] = static_cast<char>((i * 7) % 256);
    const QString curve = input(QStringLiteral("curve.bin"), points);
    const QString scope = QStringLiteral("USB0::0x0699::0x0363::C1::INSTR");
    const QString out = path(QStringLiteral("trace.arb"));
    const ProgramRun r =
        run({QStringLiteral("capture"), QStringLiteral("--resource"), scope, QStringLiteral("-o"), out},
            scope + QStringLiteral("=TEKTRONIX,TDS 2012,0,CF:91.1CT"),
            {QStringLiteral("FAKE_VISA_CURVE=") + curve});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    arb::ArbStore trace;
    for (int i = 0; i < arb::kTracePoints; ++i)
        trace.ArbData[i] = arb::TracePointValue(static_cast<unsigned char>(points[i]));
    trace.ArbLength = static_cast<float>(arb::kTracePoints);
    EXPECT_EQ(FileBytes(out), arb::HeaderExportBytes(trace));
}

TEST_F(InstrumentCommands, TheWindowReadsItsStartFileAsConvertDoes)
{
    // The editor's own form through "打开", a table through "导入波形" with
    // the dialog's first choices: the window then holds what convert writes.
    const QString own = input(QStringLiteral("own.txt"), OwnForm("PULSE1", 300));
    const QString table = input(QStringLiteral("table.csv"), "time,value\n0,0.5\n1,-0.25\n2,3\n3,0\n4,1\n");
    for (const QString &file : {own, table}) {
        SCOPED_TRACE(file.toStdString());
        const QString out = path(QStringLiteral("out.csv"));
        const ProgramRun converted = run({QStringLiteral("convert"), file, QStringLiteral("-o"), out});
        ASSERT_EQ(converted.status, 0) << converted.err.toStdString();
        arb::test::WindowFixture w;
        arb::OpenStartFile(*w.window, file);
        EXPECT_TRUE(w.user.messages.empty());
        EXPECT_TRUE(w.user.dialogs.empty());
        EXPECT_EQ(arb::CsvExportBytes(w.document.store()), FileBytes(out));
    }
    arb::test::WindowFixture w;
    arb::OpenStartFile(*w.window, own);
    EXPECT_EQ(w.document.name(), QStringLiteral("PULSE1"));

    // A file refused is told as "导入波形" tells it.
    arb::test::WindowFixture refused;
    const arb::ArbStore before = refused.document.store();
    arb::OpenStartFile(*refused.window, input(QStringLiteral("bad.csv"), "a,b\nx,y\n"));
    ASSERT_EQ(refused.user.messages.size(), 1u);
    EXPECT_EQ(arb::CsvExportBytes(refused.document.store()), arb::CsvExportBytes(before));
}
