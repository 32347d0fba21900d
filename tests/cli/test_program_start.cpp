// What the program loads: the command line never Qt's widgets, GUI or a
// display plugin; the window loads them from its own library, found beside
// the program.
#include "tests/cli/RunProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using arb::test::ProgramOptions;
using arb::test::ProgramRun;
using arb::test::RunProgram;

namespace
{

// The libraries the dynamic loader reports loading (LD_DEBUG=files).
QStringList LoadedLibraries(const QString &loaderLog)
{
    QStringList loaded;
    for (const QString &line : loaderLog.split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(QLatin1String("file="));
        if (at >= 0 && line.contains(QLatin1String("generating link map")))
            loaded << line.mid(at + 5).section(QLatin1Char(' '), 0, 0);
    }
    return loaded;
}

bool AnyOf(const QStringList &libraries, const char *part)
{
    for (const QString &l : libraries)
        if (l.contains(QLatin1String(part)))
            return true;
    return false;
}

} // namespace

TEST(ProgramStart, TheCommandLineLoadsNoWidgetsGuiOrDisplayPlugin)
{
    QTemporaryDir dir;
    const QString in = dir.filePath("in.csv");
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("0.1\n0.2\n0.3\n0.4\n");
    f.close();
    ProgramOptions traced;
    // The instrument commands with make-believe instruments; capture on a
    // port that does not exist.
    traced.environment = {"LD_DEBUG=files", "ARB_VISA_LIBRARY=" ARB_INSTRUMENT_VISA_LIBRARY,
                          "FAKE_VISA_INSTRUMENTS=USB0::1::2::G::INSTR=VX,VX48250"};
    struct Run {
        QStringList arguments;
        int status;
    };
    const Run runs[] = {
        {{"--version"}, 0},
        {{"--help"}, 0},
        {{"convert", in, "-o", dir.filePath("o.csv")}, 0},
        {{"list"}, 0},
        {{"send", in}, 0},
        {{"capture", "--port", dir.filePath("no-tty"), "-o", dir.filePath("t.csv")}, 3},
    };
    for (const auto &[arguments, status] : runs) {
        const ProgramRun r = RunProgram(arguments, traced);
        EXPECT_EQ(r.status, status) << arguments.join(' ').toStdString();
        const QStringList loaded = LoadedLibraries(r.err);
        ASSERT_TRUE(AnyOf(loaded, "libQt6Core")) << "no loader trace: " << r.err.left(500).toStdString();
        for (const char *unwanted :
             {"libQt6Gui", "libQt6Widgets", "vxarb-window", "platforms/", "libxcb", "libGL"})
            EXPECT_FALSE(AnyOf(loaded, unwanted))
                << arguments.join(' ').toStdString() << " loaded " << unwanted;
    }
}

TEST(ProgramStart, TheWindowComesFromItsLibraryBesideTheProgram)
{
    // Started offscreen, the program loads the window's library and Qt's
    // widgets, and keeps running with the window open.
    arb::test::EnsureCoreApplication();
    QProcess p;
    QProcessEnvironment env = arb::test::EnvironmentWithoutDisplay({"LD_DEBUG=files"});
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ARB_VXARB_PROGRAM), {"-platform", "offscreen"});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray log;
    QElapsedTimer clock;
    clock.start();
    while (!log.contains("vxarb-window") || !log.contains("libQt6Widgets") ||
           !log.contains("libqoffscreen")) {
        if (p.state() == QProcess::NotRunning || clock.elapsed() > 60000)
            break;
        p.waitForReadyRead(200);
        log += p.readAllStandardError();
    }
    EXPECT_EQ(p.state(), QProcess::Running) << log.right(2000).toStdString();
    EXPECT_TRUE(log.contains("vxarb-window"));
    EXPECT_TRUE(log.contains("libQt6Widgets"));
    EXPECT_TRUE(log.contains("libqoffscreen"));
    p.kill();
    p.waitForFinished();
}

TEST(ProgramStart, AProgramWithoutItsWindowLibrarySaysSo)
{
    // The program copied alone into a folder: the command line still works,
    // the window is reported missing.
    QTemporaryDir dir;
    const QString alone = dir.filePath("vxarb");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARB_VXARB_PROGRAM), alone));
    ProgramOptions options;
    options.program = alone;
    const ProgramRun version = RunProgram({"--version"}, options);
    EXPECT_EQ(version.status, 0);
    const ProgramRun window = RunProgram({}, options);
    EXPECT_EQ(window.status, 1);
    EXPECT_TRUE(
        window.err.startsWith(QStringLiteral("vxarb: 无法加载窗口程序库 ") + dir.path() + "/vxarb-window"))
        << window.err.toStdString();
}

TEST(ProgramStart, WindowArgumentsAreCheckedBeforeAnyDisplayIsNeeded)
{
    ProgramRun r = RunProgram({"a.csv", "b.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QStringLiteral("vxarb: 窗口一次只能读入一个文件\n用法请见 vxarb --help\n"));
    r = RunProgram({"-frobnicate"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QStringLiteral("vxarb: 未知的选项 -frobnicate\n用法请见 vxarb --help\n"));
    // A file (or a mistyped command) with no display to open the window on.
    r = RunProgram({"covert"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QStringLiteral("vxarb: 没有显示器，无法打开窗口读入 covert（不打开窗口的命令见下）\n"
                                    "用法请见 vxarb --help\n"));
}
