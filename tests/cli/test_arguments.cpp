// The command line's reading of its arguments, and the choice between the
// command line and the window.
#include "cli/Arguments.h"
#include "cli/CommandLine.h"
#include "cli/WindowLauncher.h"

#include <gtest/gtest.h>

using namespace arb::cli;

namespace
{

const std::vector<OptionSpec> kSpecs = {{QStringLiteral("output"), true, QLatin1Char('o')},
                                        {QStringLiteral("points")},
                                        {QStringLiteral("quiet"), false}};

ArgumentsResult Parse(const QStringList &arguments)
{
    return ParseArguments(arguments, kSpecs);
}

} // namespace

TEST(ParseArguments, ValuesInEveryFormAndPositionalsAnywhere)
{
    const ArgumentsResult r =
        Parse({"in.csv", "--points", "100", "-o", "a.csv", "--quiet", "second", "--points=200", "-ob.csv"});
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.arguments.positional, (QStringList{"in.csv", "second"}));
    // The last of an option given twice counts.
    EXPECT_EQ(r.arguments.value("points"), "200");
    EXPECT_EQ(r.arguments.value("output"), "b.csv");
    EXPECT_TRUE(r.arguments.has("quiet"));
    EXPECT_FALSE(r.arguments.help);

    // A value may begin with a dash; "--" ends the options; "-" is a name.
    const ArgumentsResult dashes = Parse({"--points", "-5", "-", "--", "--quiet", "-o"});
    ASSERT_TRUE(dashes.ok());
    EXPECT_EQ(dashes.arguments.value("points"), "-5");
    EXPECT_EQ(dashes.arguments.positional, (QStringList{"-", "--quiet", "-o"}));
    EXPECT_FALSE(dashes.arguments.has("quiet"));

    EXPECT_TRUE(Parse({"-h"}).arguments.help);
    EXPECT_TRUE(Parse({"x", "--help"}).arguments.help);
}

TEST(ParseArguments, MistakesAreNamed)
{
    EXPECT_EQ(Parse({"--colour", "red"}).error, QStringLiteral("未知的选项 --colour"));
    EXPECT_EQ(Parse({"--colour=red"}).error, QStringLiteral("未知的选项 --colour"));
    EXPECT_EQ(Parse({"-x"}).error, QStringLiteral("未知的选项 -x"));
    EXPECT_EQ(Parse({"in", "--points"}).error, QStringLiteral("选项 --points 缺少值"));
    EXPECT_EQ(Parse({"-o"}).error, QStringLiteral("选项 --output 缺少值"));
    EXPECT_EQ(Parse({"--quiet=yes"}).error, QStringLiteral("选项 --quiet 不带值"));
}

TEST(BoundedInteger, WholeDecimalNumbersWithinTheRangeOnly)
{
    EXPECT_EQ(BoundedInteger("4", 4, 16384), 4);
    EXPECT_EQ(BoundedInteger("16384", 4, 16384), 16384);
    EXPECT_EQ(BoundedInteger("-3", -5, 5), -3);
    for (const char *bad :
         {"3", "16385", "", " 5", "5 ", "+5", "5.0", "1e3", "0x10", "٥", "-", "99999999999999999999"})
        EXPECT_FALSE(BoundedInteger(QString::fromUtf8(bad), 4, 16384)) << bad;
}

TEST(WantsCommandLine, SubCommandsAndTheirOptionsWithoutTheWindow)
{
    EXPECT_FALSE(WantsCommandLine({}));
    EXPECT_FALSE(WantsCommandLine({"wave.arb"}));
    for (const char *first :
         {"convert", "list", "send", "capture", "--help", "-h", "-?", "--version", "-v", "--no-such-option"})
        EXPECT_TRUE(WantsCommandLine({QString::fromLatin1(first)})) << first;
    // Qt's own options of a GUI program have one dash and go to the window.
    EXPECT_FALSE(WantsCommandLine({"-platform", "offscreen"}));
    EXPECT_FALSE(WantsCommandLine({"-"}));
}

TEST(CheckWindowArguments, QtOptionsPassAndOneFileIsRead)
{
    WindowArguments w =
        CheckWindowArguments({"-platform", "offscreen", "-style=fusion", "-reverse", "w.csv"});
    EXPECT_TRUE(w.error.isEmpty()) << w.error.toStdString();
    EXPECT_EQ(w.file, "w.csv");
    // The value after an option of Qt's is not the file.
    w = CheckWindowArguments({"-platform", "offscreen"});
    EXPECT_TRUE(w.error.isEmpty());
    EXPECT_TRUE(w.file.isEmpty());
    w = CheckWindowArguments({"--geometry", "800x600", "-"});
    EXPECT_EQ(w.file, "-");

    EXPECT_EQ(CheckWindowArguments({"a.csv", "b.csv"}).error, QStringLiteral("窗口一次只能读入一个文件"));
    EXPECT_EQ(CheckWindowArguments({"-frobnicate", "a.csv"}).error, QStringLiteral("未知的选项 -frobnicate"));
    // A flag of Qt's takes no value.
    EXPECT_EQ(CheckWindowArguments({"-reverse=1"}).error, QStringLiteral("未知的选项 -reverse"));
}

TEST(WindowLibraryCandidates, BesideTheProgramThenTheInstalledFolder)
{
    const QStringList c = WindowLibraryCandidates(QStringLiteral("/opt/x/bin"));
    ASSERT_EQ(c.size(), 2);
    EXPECT_TRUE(c[0].startsWith(QStringLiteral("/opt/x/bin/vxarb-window"))) << c[0].toStdString();
    EXPECT_TRUE(c[1].startsWith(QStringLiteral("/opt/x/lib"))) << c[1].toStdString();
    EXPECT_TRUE(c[1].contains(QStringLiteral("/vxarb/vxarb-window"))) << c[1].toStdString();
}
