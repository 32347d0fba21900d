// "导入波形" and "导出波形" as the user runs them, on scripted dialogs.
#include "app/FileCommands.h"
#include "app/ImportExportCommands.h"
#include "core/ArbStore.h"
#include "tests/support/FakeHost.h"
#include "tests/support/ScriptedImportUi.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace arb;
using arb::test::FakeHost;
using arb::test::ScriptedImportUi;

namespace
{

class ImportExportTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::vector<float> start(201, 0.125f);
        host.doc.setPoints(0, start.data(), 201);
        before = host.arb;
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(arb::test::WriteBytes(path, bytes));
        return path;
    }

    void import(const QString &path)
    {
        host.user.pushFile(path);
        commands.menuFileImport_Click();
    }

    // Nothing of the waveform or the fields changed, and nothing redrew.
    void expectUnchanged()
    {
        EXPECT_EQ(host.arb.ArbData, before.ArbData);
        EXPECT_EQ(host.arb.ArbLength, before.ArbLength);
        EXPECT_EQ(host.length, QStringLiteral("201"));
        EXPECT_EQ(host.redraws, 0);
    }

    void expectMessage(const QString &text)
    {
        ASSERT_EQ(host.user.messages.size(), 1u);
        EXPECT_EQ(host.user.messages[0].text, text);
        EXPECT_EQ(host.user.messages[0].title, QStringLiteral("任意波处理"));
        EXPECT_EQ(host.user.messages[0].icon, MessageIcon::Exclamation);
    }

    QTemporaryDir dir;
    FakeHost host;
    ScriptedImportUi ui;
    ImportExportCommands commands{host, ui};
    ArbStore before;
};

TEST_F(ImportExportTest, ImportReplacesTheWaveformAtOnce)
{
    ui.acceptImportDefaults();
    import(write(QStringLiteral("tv.csv"), "time,value\n0,0.5\n1,-0.25\n2,1\n3,-1\n4,0\n"));
    ASSERT_EQ(host.user.dialogs.size(), 1u);
    EXPECT_EQ(host.user.dialogs[0].filter,
              QStringLiteral(
                  "波形数据 (*.csv *.txt *.dat *.arb *.tsv)|*.csv *.txt *.dat *.arb *.tsv|所有文件 (*)|*"));
    EXPECT_EQ(ui.shownFiles, (std::vector<QString>{QStringLiteral("tv.csv")}));
    EXPECT_EQ(host.arb.ArbLength, 5.0f);
    EXPECT_EQ(host.length, QStringLiteral("5"));
    EXPECT_EQ(host.redraws, 1);
    EXPECT_EQ(host.arb.ArbData[1], -0.25f);
    EXPECT_EQ(host.arb.ArbData[4], 0.0f);
    EXPECT_EQ(host.arb.ArbData[5], 0.125f); // beyond the new length: as it was
    EXPECT_TRUE(host.user.messages.empty());
}

TEST_F(ImportExportTest, ChoicesOfColumnScalingAndPoints)
{
    ui.pushImport([](ImportChoices &c) {
        c.column = 0;
        c.scaling = ImportScaling::FullScale;
        c.points = 9;
    });
    import(write(QStringLiteral("t.csv"), "0,9\n1,9\n2,9\n3,9\n4,9\n"));
    EXPECT_EQ(host.arb.ArbLength, 9.0f);
    EXPECT_EQ(host.arb.ArbData[0], -1.0f);
    EXPECT_EQ(host.arb.ArbData[1], -0.75f);
    EXPECT_EQ(host.arb.ArbData[8], 1.0f);
    // More than 16384 rows come in as 16384 points by default.
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += QByteArray::number(i % 2) + "\n";
    ui.acceptImportDefaults();
    import(write(QStringLiteral("big.txt"), big));
    EXPECT_EQ(host.arb.ArbLength, 16384.0f);
    // Points asked beyond the range are held to it.
    ui.pushImport([](ImportChoices &c) { c.points = 2; });
    import(write(QStringLiteral("four.txt"), "0.1\n0.2\n0.3\n0.4\n"));
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
}

TEST_F(ImportExportTest, OwnFormsAsOpenReadsThemNameIncluded)
{
    ui.acceptImportDefaults();
    import(write(QStringLiteral("w.arb"),
                 "Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\nArb Name:SINE1\r\n"
                 "0.5\r\n-0.5\r\n1\r\n-1\r\n"));
    EXPECT_EQ(host.name, QStringLiteral("SINE1"));
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_EQ(host.arb.ArbData[1], -0.5f);
}

TEST_F(ImportExportTest, CancelChangesNothing)
{
    // Cancel in the file dialog, in the import dialog, during reading.
    commands.menuFileImport_Click();
    import(write(QStringLiteral("ok.txt"), "0.1\n0.2\n0.3\n0.4\n"));
    ASSERT_EQ(ui.shownTables.size(), 1u);
    QByteArray big;
    for (int i = 0; i < 300000; ++i)
        big += "0.25,-0.5\n";
    ImportReadOptions o;
    o.blockBytes = 64 * 1024;
    commands.setReadOptions(o);
    ui.cancelAfter = 2;
    ui.acceptImportDefaults();
    import(write(QStringLiteral("big.csv"), big));
    EXPECT_EQ(ui.progressUpdates, 2);
    EXPECT_EQ(ui.shownTables.size(), 1u);
    EXPECT_TRUE(host.user.messages.empty());
    expectUnchanged();
}

TEST_F(ImportExportTest, BadInputIsReportedAndChangesNothing)
{
    const struct {
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"", QStringLiteral("文件是空的，波形未导入！")},
        {"abc\n", QStringLiteral("文件中没有数值，波形未导入！")},
        {"0.1\n0.2\n0.3\n", QStringLiteral("文件中只有 3 个数值，至少需要 4 个，波形未导入！")},
        {"0.1\n0.2\nx\n0.4\n", QStringLiteral("第 3 行不是数值，波形未导入！")},
        {"0.1\n0.2\n0.3\ninf\n", QStringLiteral("第 4 行的数值不是有限数，波形未导入！")},
        {"0.1\n-1e39\n0.3\n0.4\n", QStringLiteral("第 2 行的数值超出单精度范围，波形未导入！")},
        {"1,2\n3\n", QStringLiteral("第 2 行的列数不对（应为 2 列），波形未导入！")},
        {QByteArray("0.5\n\0\0\0\n", 9), QStringLiteral("文件含有二进制数据，不是文本文件，波形未导入！")},
        {QByteArray(2 << 20, '5'), QStringLiteral("第 1 行太长（一行最多 1024 KB），波形未导入！")},
    };
    for (const auto &c : cases) {
        host.user.messages.clear();
        ui.acceptImportDefaults();
        import(write(QStringLiteral("bad.txt"), c.bytes));
        expectMessage(c.message);
        expectUnchanged();
    }
    EXPECT_TRUE(ui.shownTables.empty());

    // The value limit, lowered here, is named in the message.
    ImportReadOptions o;
    o.maxValues = 50000;
    commands.setReadOptions(o);
    host.user.messages.clear();
    QByteArray many;
    for (int i = 0; i < 25001; ++i)
        many += "5,6\n";
    import(write(QStringLiteral("many.csv"), many));
    expectMessage(QStringLiteral("文件中的数值超过上限 5 万个，波形未导入！"));
}

TEST_F(ImportExportTest, MessagesOfWideShortAndUnreadableSources)
{
    QByteArray wide;
    for (int i = 0; i <= kImportMaxColumns; ++i)
        wide += "1,";
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {write(QStringLiteral("wide.csv"), wide + "\n" + wide + "\n"),
         QStringLiteral("第 1 行的列数超过 256 列，波形未导入！")},
        {write(QStringLiteral("short.arb"),
               "File Format:1.10\r\nData Points:10\r\nData:\r\n1\r\n2\r\n3\r\n4\r\n"),
         QStringLiteral("文件头写明 10 个点，文件中只有 4 个，波形未导入！")},
        // Opens, but every read fails (nothing is mapped at address 0).
        {QStringLiteral("/proc/self/mem"), QStringLiteral("文件读取出错，波形未导入！")},
    };
    for (const auto &c : cases) {
        host.user.messages.clear();
        ui.acceptImportDefaults();
        import(c.path);
        expectMessage(c.message);
        expectUnchanged();
    }
    EXPECT_TRUE(ui.shownTables.empty());
}

TEST_F(ImportExportTest, TheDecimalMarkInDoubtIsChosenInTheDialog)
{
    // The first choice: "0,25" a quarter.
    const QString wave = write(QStringLiteral("wave.csv"), "0,25\n-0,5\n-1\n0,75\n");
    ui.acceptImportDefaults();
    import(wave);
    ASSERT_EQ(ui.shownOtherMarks.size(), 1u);
    EXPECT_TRUE(ui.shownOtherMarks[0]);
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_EQ(host.arb.ArbData[0], 0.25f);
    EXPECT_EQ(host.arb.ArbData[2], -1.0f);

    // The point instead: the reading that fails is reported, nothing changes.
    before = host.arb;
    host.redraws = 0;
    host.length = QStringLiteral("201");
    ui.pushImport([](ImportChoices &c) { c.decimalMark = DecimalMark::Point; });
    import(wave);
    expectMessage(QStringLiteral("第 3 行的列数不对（应为 2 列），波形未导入！"));
    EXPECT_EQ(host.arb.ArbData, before.ArbData);
    EXPECT_EQ(host.redraws, 0);

    // Integer pairs: two columns first, the comma on request.
    const QString pairs = write(QStringLiteral("pairs.csv"), "0,100\n1,200\n2,300\n3,400\n");
    ui.pushImport([](ImportChoices &c) {
        EXPECT_EQ(c.decimalMark, DecimalMark::Point);
        EXPECT_EQ(c.column, 1);
        c.decimalMark = DecimalMark::Comma;
        c.column = 0;
        c.scaling = ImportScaling::PeakNormalise;
    });
    import(pairs);
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_FLOAT_EQ(host.arb.ArbData[0], 0.1f / 3.4f);
    EXPECT_EQ(host.arb.ArbData[3], 1.0f);

    // UTF-16 with its byte-order mark comes in as any text does.
    const QString text = QStringLiteral("0.5\r\n-0.5\r\n0.25\r\n1\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    ui.acceptImportDefaults();
    import(write(QStringLiteral("unicode.txt"), utf16));
    EXPECT_EQ(host.arb.ArbData[1], -0.5f);
    EXPECT_EQ(host.arb.ArbData[3], 1.0f);
}

TEST_F(ImportExportTest, MissingColumnIsReported)
{
    ui.pushImport([](ImportChoices &c) { c.column = 2; });
    import(write(QStringLiteral("two.csv"), "1,2\n3,4\n5,6\n7,8\n"));
    expectMessage(QStringLiteral("第 3 列不存在（文件只有 2 列），波形未导入！"));
    expectUnchanged();
}

TEST_F(ImportExportTest, ExportWritesWithoutChangingTheWaveform)
{
    host.doc.setLength(4);
    host.doc.setPoint(0, 0.5f);
    host.doc.setPoint(1, -0.25f);
    const ArbStore kept = host.arb;
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    ui.pushExportForm(ExportForm::Csv);
    host.user.pushFile(csv);
    commands.menuFileExport_Click();
    EXPECT_EQ(host.user.dialogs.back().filter, QStringLiteral("CSV 数值表 (*.csv)|*.csv|所有文件 (*)|*"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("0.500000\n-0.250000\n0.125000\n0.125000\n"));
    EXPECT_EQ(host.arb.ArbData, kept.ArbData);
    EXPECT_EQ(host.redraws, 0);

    // Cancel at either question writes nothing.
    commands.menuFileExport_Click();
    ui.pushExportForm(ExportForm::HeaderShort);
    commands.menuFileExport_Click();
    EXPECT_EQ(ui.formQuestions, 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // A file that cannot be created is reported as "保存" reports it.
    ui.pushExportForm(ExportForm::HeaderShort);
    host.user.pushFile(dir.filePath(QStringLiteral("no/such/folder/w.arb")));
    commands.menuFileExport_Click();
    expectMessage(FileCreateFailedMessage());
}

} // namespace
