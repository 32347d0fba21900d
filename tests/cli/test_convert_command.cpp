// "vxarb convert" end to end, as a process without a display: every form it
// writes, the import dialog's choices, refused inputs and usage errors with
// their exit status, and an OUT that is never touched unless the whole
// command succeeds.
#include "tests/cli/RunProgram.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using arb::test::FileBytes;
using arb::test::ProgramOptions;
using arb::test::ProgramRun;
using arb::test::RunProgram;
using arb::test::WriteBytes;

namespace
{

const QByteArray kTable = "time,value\n0,0.5\n1,-0.25\n2,0.1\n3,0\n";
const QByteArray kOldContents = "old contents\n";

class ConvertCommand : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString &name) const { return dir.filePath(name); }

    QString input(const QString &name, const QByteArray &bytes)
    {
        const QString p = path(name);
        EXPECT_TRUE(WriteBytes(p, bytes));
        return p;
    }

    // Runs convert and returns what it wrote to out ("<none>" when nothing).
    QByteArray convert(const QStringList &arguments, const QString &out, int status = 0)
    {
        last = RunProgram(QStringList{QStringLiteral("convert")} + arguments + QStringList{"-o", out});
        EXPECT_EQ(last.status, status) << last.err.toStdString();
        return QFileInfo::exists(out) ? FileBytes(out) : QByteArray("<none>");
    }

    QTemporaryDir dir;
    ProgramRun last;
};

} // namespace

TEST_F(ConvertCommand, EachFormAsTheWindowWritesIt)
{
    const QString in = input("tv.csv", kTable);
    // "导出波形" as CSV: six decimals, LF.
    EXPECT_EQ(convert({in}, path("w.csv")), QByteArray("0.500000\n-0.250000\n0.100000\n0.000000\n"));
    // Its header form: codes round-half-even(v x 32767).
    EXPECT_EQ(
        convert({in}, path("w.arb")),
        QByteArray("File Format:1.10\r\nChannel Count:1\r\nSample Rate:4\r\nHigh Level:1\r\nLow Level:-1\r\n"
                   "Data Type:\"short\"\r\nFilter:\"OFF\"\r\nData Points:4\r\nData:\r\n"
                   "16384\r\n-8192\r\n3277\r\n0\r\n"));
    // "保存": the default name, the length, and the peak 0.5 brought to full scale.
    EXPECT_EQ(convert({in}, path("w.txt")),
              QByteArray("ArbNo0\r\n4\r\n 1.000\r\n-0.500\r\n 0.200\r\n 0.000\r\n"));
    // The ending in any case; --format before the ending.
    EXPECT_EQ(convert({in}, path("W.CSV")), FileBytes(path("w.csv")));
    EXPECT_EQ(convert({in, "--format", "txt"}, path("w.dat")), FileBytes(path("w.txt")));
    EXPECT_EQ(convert({in, "--format=arb"}, path("x.csv")), FileBytes(path("w.arb")));
    EXPECT_TRUE(last.out.isEmpty());
    EXPECT_TRUE(last.err.isEmpty());
}

TEST_F(ConvertCommand, TheEditorsOwnFormsKeepTheirName)
{
    const QString in =
        input("w.arb", "Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\n"
                       "Arb Name:SINE1\r\n0.25\r\n-0.125\r\n0\r\n0.125\r\n");
    EXPECT_EQ(convert({in}, path("o.txt")),
              QByteArray("SINE1\r\n4\r\n 1.000\r\n-0.500\r\n 0.000\r\n 0.500\r\n"));
    // As the name field takes it: letters and digits, six at most.
    const QString longName = input("l.arb", "Copyright: Korvane Technologies\r\nFile Format:2.0\r\n"
                                            "Data Points:4\r\nArb Name: Wave_Long7\r\n1\r\n-1\r\n0\r\n0\r\n");
    EXPECT_TRUE(convert({longName}, path("l.txt")).startsWith("WaveLo\r\n4\r\n 1.000\r\n"));
    // The plain form: no name of its own.
    const QString plain = input("p.txt", "4\r\n1\r\n-1\r\n0.5\r\n0\r\n");
    EXPECT_EQ(convert({plain}, path("p.csv")), QByteArray("1.000000\n-1.000000\n0.500000\n0.000000\n"));
    EXPECT_TRUE(convert({plain}, path("p2.txt")).startsWith("ArbNo0\r\n4\r\n"));
}

TEST_F(ConvertCommand, TheImportDialogsChoices)
{
    const QString in = input("tv.csv", kTable);
    // The time column 0..3 lies beyond ±1: its default scaling is full scale.
    EXPECT_EQ(convert({in, "--column", "1"}, path("c1.csv")),
              QByteArray("-1.000000\n-0.333333\n0.333333\n1.000000\n"));
    // Kept as it is, it is held to ±1.
    EXPECT_EQ(convert({in, "--column", "1", "--scale", "keep"}, path("k.csv")),
              QByteArray("0.000000\n1.000000\n1.000000\n1.000000\n"));
    EXPECT_EQ(convert({in, "--scale", "peak"}, path("p.csv")),
              QByteArray("1.000000\n-0.500000\n0.200000\n0.000000\n"));
    EXPECT_EQ(convert({in, "--scale", "full"}, path("f.csv")),
              QByteArray("1.000000\n-1.000000\n-0.066667\n-0.333333\n"));
    // Resampled linearly to the points asked, the bounds included.
    EXPECT_EQ(convert({in, "--points", "7"}, path("r.csv")),
              QByteArray("0.500000\n0.125000\n-0.250000\n-0.075000\n0.100000\n0.050000\n0.000000\n"));
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += i % 2 ? "0.5\n" : "-0.5\n";
    const QString big = input("many.txt", many);
    EXPECT_EQ(convert({big, "--points", "16384"}, path("max.arb")).count("\r\n"), 9 + 16384);
    // By default a source of more rows than 16384 comes in as 16384 points.
    EXPECT_EQ(convert({big}, path("default.csv")).count('\n'), 16384);
    EXPECT_EQ(
        convert({input("four.txt", "0.1\n0.2\n0.3\n0.4\n"), "--points", "4"}, path("4.csv")).count('\n'), 4);
}

TEST_F(ConvertCommand, RefusedInputsLeaveOutAsItWas)
{
    struct Case {
        QByteArray bytes;
        QStringList options;
        QString message;
    };
    const std::vector<Case> cases = {
        {"0.1\n0.2\nabc\n0.4\n0.5\n", {}, QStringLiteral("第 3 行不是数值，波形未导入！")},
        {"", {}, QStringLiteral("文件是空的，波形未导入！")},
        {"0.1\n0.2\n0.3\n", {}, QStringLiteral("文件中只有 3 个数值，至少需要 4 个，波形未导入！")},
        {"1,2\n3,4\n5\n6,7\n", {}, QStringLiteral("第 3 行的列数不对（应为 2 列），波形未导入！")},
        {kTable, {"--column", "3"}, QStringLiteral("第 3 列不存在（文件只有 2 列），波形未导入！")},
    };
    const QString existing = path("existing.csv");
    for (const Case &c : cases) {
        const QString in = input("in.csv", c.bytes);
        ASSERT_TRUE(WriteBytes(existing, kOldContents));
        EXPECT_EQ(convert(QStringList{in} + c.options, existing, 1), kOldContents);
        EXPECT_EQ(last.err, QStringLiteral("vxarb: ") + in + QStringLiteral(": ") + c.message + "\n");
        EXPECT_EQ(convert(QStringList{in} + c.options, path("new.csv"), 1), QByteArray("<none>"));
    }
    // A file that cannot be opened: the message of "导入波形".
    EXPECT_EQ(convert({path("missing.csv")}, existing, 1), kOldContents);
    EXPECT_EQ(last.err, QStringLiteral("vxarb: %1: 文件无法打开，数据未读入！\n").arg(path("missing.csv")));
}

TEST_F(ConvertCommand, UsageErrorsNameTheMistakeAndPointToHelp)
{
    const QString in = input("tv.csv", kTable);
    const QString out = path("out.csv");
    struct Case {
        QStringList arguments;
        QString message;
    };
    const std::vector<Case> cases = {
        {{in, "-o", out, "--points", "3"}, "--points 应为 4 到 16384 之间的整数：3"},
        {{in, "-o", out, "--points", "16385"}, "--points 应为 4 到 16384 之间的整数：16385"},
        {{in, "-o", out, "--column", "0"}, "--column 应为从 1 数起的列号：0"},
        {{in, "-o", out, "--column", "two"}, "--column 应为从 1 数起的列号：two"},
        {{in, "-o", out, "--scale", "loud"}, "--scale 应为 keep、peak 或 full：loud"},
        {{in, "-o", out, "--format", "doc"}, "--format 应为 csv、arb 或 txt：doc"},
        {{in, "-o", path("out.dat")},
         "无法从文件名 " + path("out.dat") + " 判断输出格式，请用 --format csv|arb|txt 指定"},
        {{in}, "convert 缺少输出文件：-o OUT"},
        {{"-o", out}, "convert 缺少输入文件 IN"},
        {{in, in, "-o", out}, "convert 只读一个输入文件"},
        {{in, "-o", out, "--slot", "1"}, "未知的选项 --slot"},
        {{in, "-o"}, "选项 --output 缺少值"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(WriteBytes(out, kOldContents));
        const ProgramRun r = RunProgram(QStringList{"convert"} + c.arguments);
        EXPECT_EQ(r.status, 2) << c.message.toStdString();
        EXPECT_EQ(r.err, "vxarb: " + c.message + "\n用法请见 vxarb --help\n");
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(FileBytes(out), kOldContents);
        EXPECT_FALSE(QFileInfo::exists(path("out.dat")));
    }
}

TEST_F(ConvertCommand, AnOutThatCannotBeWrittenIsReportedAndKept)
{
    const QString in = input("tv.csv", kTable);
    EXPECT_EQ(convert({in}, path("no/such/folder/out.csv"), 1), QByteArray("<none>"));
    EXPECT_EQ(last.err, "vxarb: " + path("no/such/folder/out.csv") + ": 文件无法创建，波形未保存！\n");

    // A folder we may not create files in, holding an OUT we may write: the
    // window's "保存" would rewrite it in place; the command line leaves it.
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString out = folder + "/out.csv";
    ASSERT_TRUE(WriteBytes(out, kOldContents));
    ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ProgramOptions asNobody;
    if (::geteuid() == 0)
        asNobody.childSetup = [] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(100);
        };
    const ProgramRun r = RunProgram({"convert", in, "-o", out}, asNobody);
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_EQ(r.err, "vxarb: " + out + ": 文件无法创建，波形未保存！\n");
    EXPECT_EQ(FileBytes(out), kOldContents);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST(CommandLine, HelpAndVersionAnswerAtOnce)
{
    for (const char *option : {"--version", "-v"}) {
        const ProgramRun r = RunProgram({QString::fromLatin1(option)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, QStringLiteral("vxarb " ARB_VERSION "\n"));
        EXPECT_TRUE(r.err.isEmpty());
    }
    const ProgramRun help = RunProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *text : {"用法：vxarb [文件]", "vxarb convert IN -o OUT", "vxarb list", "vxarb send IN",
                             "vxarb capture [--resource R | --port COMn] -o OUT", "--column K", "--points N",
                             "--scale keep|peak|full", "--format csv|arb|txt", "--slot N", "--name NAME",
                             "退出状态", "3  仪器错误"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(RunProgram({"-h"}).out, help.out);

    const ProgramRun convertHelp = RunProgram({"convert", "--help"});
    EXPECT_EQ(convertHelp.status, 0);
    EXPECT_TRUE(convertHelp.out.startsWith("vxarb convert IN -o OUT"));
    EXPECT_FALSE(convertHelp.out.contains("vxarb send"));

    const ProgramRun unknown = RunProgram({"--frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "vxarb: 未知的选项 --frobnicate\n用法请见 vxarb --help\n");
}
