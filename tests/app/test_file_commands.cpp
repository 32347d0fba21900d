#include "app/FileCommands.h"
#include "app/FormMain.h"
#include "app/MainMenus.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/files/WaveNumber.h"
#include "tests/support/FakeHost.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowFixture.h"
#include "view/WaveView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

using namespace arb;
using arb::test::FakeHost;
using arb::test::ScriptedPrompt;

namespace
{

const QByteArray kMaker = "Copyright: Korvane Technologies\r\nFile Format:2.0\r\n";

class FileCommandsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ArbStore start = host.arb;
        for (int i = 0; i < 201; ++i)
            start.ArbData[static_cast<std::size_t>(i)] = 0.125f;
        start.ArbData[201] = -0.125f;
        host.doc.assign(start);
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(arb::test::WriteBytes(path, bytes));
        return path;
    }

    QByteArray read(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }

    void open(const QString &path)
    {
        host.user.pushFile(path);
        commands.menuFileOpen_Click();
    }

    // The one message shown, with the file commands' title and icon.
    QString onlyMessage()
    {
        EXPECT_EQ(host.user.messages.size(), 1u);
        if (host.user.messages.empty())
            return QString();
        EXPECT_EQ(host.user.messages[0].title, QStringLiteral("任意波处理"));
        EXPECT_EQ(host.user.messages[0].icon, MessageIcon::Exclamation);
        return host.user.messages[0].text;
    }

    void setPoints(std::vector<float> values)
    {
        host.doc.setLength(static_cast<float>(values.size()));
        host.length = QString::number(values.size());
        host.doc.setPoints(0, values.data(), static_cast<int>(values.size()));
    }

    std::vector<float> points(int n)
    {
        return std::vector<float>(host.arb.ArbData.begin(), host.arb.ArbData.begin() + n);
    }

    // Nothing of the waveform, the fields or the view changed.
    void expectUntouched()
    {
        EXPECT_EQ(host.arb.ArbLength, 201.0f);
        EXPECT_EQ(host.length, QStringLiteral("201"));
        EXPECT_EQ(host.name, QStringLiteral("ArbNo0"));
        EXPECT_EQ(host.arb.ArbData[0], 0.125f);
        EXPECT_EQ(host.arb.ArbData[201], -0.125f);
        EXPECT_EQ(host.redraws, 0);
    }

    QTemporaryDir dir;
    FakeHost host;
    FileCommands commands{host};
};

} // namespace

TEST_F(FileCommandsTest, OpenPlainFile)
{
    open(write("a.txt", "4\r\n0.5\r\n-0.5\r\n1\r\n-1\r\n"));
    EXPECT_TRUE(host.user.messages.empty());
    ASSERT_EQ(host.user.dialogs.size(), 1u);
    EXPECT_FALSE(host.user.dialogs[0].save);
    EXPECT_EQ(host.user.dialogs[0].filter,
              QStringLiteral("波形数据文件(*.txt)|*.txt|波形数据文件(*.arb)|*.arb"));
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_EQ(host.length, QStringLiteral("4"));
    EXPECT_EQ(points(5), (std::vector<float>{0.5f, -0.5f, 1.0f, -1.0f, 0.125f}));
    EXPECT_EQ(host.redraws, 1);
    EXPECT_EQ(host.name, QStringLiteral("ArbNo0"));
    EXPECT_EQ(host.lengthCommits, 0);

    // Upper-case .TXT and the maker's .arb, LF-only lines, a count with blanks.
    host.user.clear();
    open(write("b.TXT", " 6 \n0\n0\n0\n0\n0\n0.25\n"));
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(host.length, QStringLiteral("6"));
    EXPECT_EQ(host.arb.ArbData[5], 0.25f);
    EXPECT_EQ(host.redraws, 2);
}

TEST_F(FileCommandsTest, OpenMakerFileSetsTheNameAfterTheRedraw)
{
    // The redraw puts the default name back; the file's name must win.
    struct OrderHost final : WaveformHost {
        WaveDocument doc;
        const ArbStore &arb = doc.store();
        ScriptedPrompt user;
        std::vector<std::string> events;
        WaveDocument &document() override { return doc; }
        UserPrompt &prompt() override { return user; }
        QString lengthText() const override { return QString(); }
        void showLengthText(const QString &) override {}
        void commitLength() override {}
    } order;
    order.doc.setName(QStringLiteral("Custom"));
    QObject::connect(&order.doc, &WaveDocument::lengthChanged, [&order](float length) {
        order.events.push_back("length " + FormatWaveCount(length) + " first point " +
                               std::to_string(order.arb.ArbData[0]));
    });
    QObject::connect(&order.doc, &WaveDocument::replaced, [&order] { order.events.push_back("redraw"); });
    // The default name the redraw puts back is part of the redraw.
    QObject::connect(&order.doc, &WaveDocument::nameTextChanged, [&order] {
        if (order.doc.nameText() != order.doc.defaultName())
            order.events.push_back("name [" + order.doc.nameText().toStdString() + "]");
    });
    FileCommands c(order);
    order.user.pushFile(
        write("w.arb", kMaker + "Data Points:4\r\nArb Name: SINE1\r\n0.5\r\n0\r\n0\r\n0\r\n"));
    c.menuFileOpen_Click();
    EXPECT_TRUE(order.user.messages.empty());
    EXPECT_EQ(order.events,
              (std::vector<std::string>{"length 4 first point 0.000000", "redraw", "name [ SINE1]"}));
    EXPECT_EQ(order.arb.ArbData[0], 0.5f);
}

TEST_F(FileCommandsTest, OpenAgilentFileKeepsTheName)
{
    open(write("g.txt", "Copyright: Agilent Technologies 2004\r\nFile Format:1.0\r\n\r\n\r\n"
                        "Data Points: 4\r\nData:\r\n16384\r\n-32768\r\n32767\r\n0\r\n"));
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, -1.0f, 0.999969482421875f, 0.0f}));
    EXPECT_EQ(host.name, QStringLiteral("ArbNo0"));
    EXPECT_EQ(host.redraws, 1);
}

TEST_F(FileCommandsTest, OpenRefusesBadHeadersBeforeAnyChange)
{
    const QByteArray bad[] = {
        "3\r\n0.5\r\n-0.5\r\n1\r\n",   // fewer than 4 points
        "3.9\r\n0\r\n0\r\n0\r\n0\r\n", // 3.9 is not a length
        "16385\r\n0.5\r\n",            // beyond the buffer
        "1e39\r\n0.5\r\n",             // no count at all
        "ArbNo0\r\n4\r\n 1.000\r\n",   // the saved form
        kMaker.left(kMaker.size() - 5) + "1.0\r\nData Points:4\r\nArb Name:X\r\n",
        "Copyright: Korvane technologies\r\nFile Format:2.0\r\nData Points:4\r\nArb Name:X\r\n",
    };
    for (const QByteArray &bytes : bad) {
        host.user.clear();
        open(write("bad.txt", bytes));
        EXPECT_EQ(onlyMessage(), QStringLiteral("文件格式有误！")) << bytes.toStdString();
        expectUntouched();
    }
}

TEST_F(FileCommandsTest, OpenWrongEndingIsRefusedUnopened)
{
    for (const char *name : {"w.ARB", "w.Txt", "w.dat", "txt", "w.txt.bak"}) {
        host.user.clear();
        open(write(QString::fromLatin1(name), "4\r\n0\r\n0\r\n0\r\n0\r\n"));
        EXPECT_EQ(onlyMessage(), QStringLiteral("你没有选择数据文件,数据未读入\n请重新打开文件读取数据"))
            << name;
        expectUntouched();
    }
    // Cancelling says nothing.
    host.user.clear();
    host.user.pushFile(std::nullopt);
    commands.menuFileOpen_Click();
    EXPECT_TRUE(host.user.messages.empty());
    expectUntouched();
}

TEST_F(FileCommandsTest, OpenUnreadableFileIsReported)
{
    open(dir.filePath("missing.txt"));
    EXPECT_EQ(onlyMessage(), FileOpenFailedMessage());
    expectUntouched();
    host.user.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    open(dir.filePath("folder.txt"));
    EXPECT_EQ(onlyMessage(), FileOpenFailedMessage());
    expectUntouched();
}

TEST_F(FileCommandsTest, OpenValueErrorsLeaveThePartialState)
{
    open(write("v.txt", "6\r\n0.5\r\n1.0001\r\n0.25\r\n0\r\n0\r\n0\r\n"));
    EXPECT_EQ(onlyMessage(), QStringLiteral("文件格式有误！"));
    EXPECT_EQ(host.arb.ArbLength, 6.0f);
    EXPECT_EQ(host.length, QStringLiteral("6"));
    EXPECT_EQ(points(3), (std::vector<float>{0.5f, 1.0001f, 0.125f}));
    EXPECT_EQ(host.redraws, 0);

    // An overflow is refused and not stored.
    host.user.clear();
    open(write("o.txt", "5\r\n-0.5\r\n1e39\r\n"));
    EXPECT_EQ(onlyMessage(), QStringLiteral("文件格式有误！"));
    EXPECT_EQ(points(3), (std::vector<float>{-0.5f, 1.0001f, 0.125f}));
    EXPECT_EQ(host.length, QStringLiteral("5"));
    EXPECT_EQ(host.redraws, 0);

    // A 2.0 file with a "Data:" line: the name is not taken.
    host.user.clear();
    open(write("d.arb", kMaker + "Data Points:4\r\nArb Name:NEW\r\nData:\r\n0\r\n"));
    EXPECT_EQ(onlyMessage(), QStringLiteral("文件格式有误！"));
    EXPECT_EQ(host.name, QStringLiteral("ArbNo0"));
    EXPECT_EQ(host.redraws, 0);
}

TEST_F(FileCommandsTest, OpenShortFileEndsSilently)
{
    QByteArray bytes = "100\r\n";
    for (int i = 0; i < 60; ++i)
        bytes += "0.5\r\n";
    open(write("short.txt", bytes));
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(host.arb.ArbLength, 100.0f);
    EXPECT_EQ(host.length, QStringLiteral("100"));
    EXPECT_EQ(host.arb.ArbData[59], 0.5f);
    EXPECT_EQ(host.arb.ArbData[60], 0.125f);
    EXPECT_EQ(host.redraws, 0);

    // A half count is kept as it is; round(1000.5) = 1000 values.
    host.user.clear();
    QByteArray half = "1000.5\r\n";
    for (int i = 0; i < 1001; ++i)
        half += i < 1000 ? "0.25\r\n" : "-0.75\r\n";
    open(write("half.txt", half));
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(host.arb.ArbLength, 1000.5f);
    EXPECT_EQ(host.length, QStringLiteral("1000.5"));
    EXPECT_EQ(host.arb.ArbData[999], 0.25f);
    EXPECT_EQ(host.arb.ArbData[1000], 0.0f);
    EXPECT_EQ(host.redraws, 1);
}

TEST_F(FileCommandsTest, ChineseFileNames)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("波形")));
    const QString path = write(QStringLiteral("波形/正弦波.txt"), "4\r\n0.5\r\n0.25\r\n0\r\n-0.25\r\n");
    open(path);
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, 0.25f, 0.0f, -0.25f}));

    const QString saved = dir.filePath(QStringLiteral("波形/保存.arb"));
    host.user.pushFile(saved);
    commands.menuFileSave_Click();
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(read(saved), QByteArray("ArbNo0\r\n4\r\n 1.000\r\n 0.500\r\n 0.000\r\n-0.500\r\n"));
}

TEST_F(FileCommandsTest, SaveScalesAndWritesTheFieldsAsTheyStand)
{
    setPoints({0.5f, -0.25f, 0.1f, 0.0f});
    host.doc.setName(QStringLiteral("SINE1"));
    host.length = QStringLiteral("1000"); // typed, not yet taken over
    const QString path = dir.filePath("out.arb");
    host.user.pushFile(path);
    commands.menuFileSave_Click();
    EXPECT_TRUE(host.user.messages.empty());
    ASSERT_EQ(host.user.dialogs.size(), 1u);
    EXPECT_TRUE(host.user.dialogs[0].save);
    EXPECT_EQ(host.user.dialogs[0].filter, QStringLiteral("波形数据文件(*.arb)|*.arb"));
    EXPECT_EQ(read(path), QByteArray("SINE1\r\n1000\r\n 1.000\r\n-0.500\r\n 0.200\r\n 0.000\r\n"));
    EXPECT_EQ(points(4), (std::vector<float>{1.0f, -0.5f, 0.2f, 0.0f}));
    EXPECT_EQ(host.arb.ArbScale, 2.0);
    EXPECT_EQ(host.arb.ArbMaxValue, 0.5f);
    EXPECT_EQ(host.arb.ArbMinValue, -0.25f);
    EXPECT_EQ(host.redraws, 0);
    EXPECT_EQ(host.name, QStringLiteral("SINE1"));
    EXPECT_EQ(host.length, QStringLiteral("1000"));

    // A name typed without an ending is written as typed, replacing the file.
    const QString bare = write("bare", "old contents");
    host.user.pushFile(bare);
    commands.menuFileSave_Click();
    EXPECT_EQ(read(bare).left(13), QByteArray("SINE1\r\n1000\r\n"));
    EXPECT_FALSE(QFile::exists(bare + ".arb"));
}

TEST_F(FileCommandsTest, SaveFailuresAreReportedAndChangeNothing)
{
    setPoints({0.5f, -0.25f, 0.1f, 0.0f});
    for (const QString &path : {dir.filePath("no/such/dir/w.arb"), dir.path()}) {
        host.user.clear();
        host.user.pushFile(path);
        commands.menuFileSave_Click();
        EXPECT_EQ(onlyMessage(), FileCreateFailedMessage()) << path.toStdString();
        EXPECT_EQ(points(4), (std::vector<float>{0.5f, -0.25f, 0.1f, 0.0f}));
    }
    EXPECT_FALSE(FileCreateFailedMessage().isEmpty());
    EXPECT_TRUE(FileWriteFailedMessage().contains(QStringLiteral("未保存")));

    host.user.clear();
    host.user.pushFile(std::nullopt);
    commands.menuFileSave_Click();
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, -0.25f, 0.1f, 0.0f}));
}

TEST_F(FileCommandsTest, SaveOntoAFullDiskKeepsTheOldFileAndSaysSo)
{
    // Texts that fit the device's buffer (201, 1500 points) and one that does
    // not (16384), over an old file and under a new name; the last one fits.
    // A disk with n pages left is a file size limit of n pages.
    const QByteArray old = "ArbNo0\r\n4\r\n 0.000\r\n 1.000\r\n 0.000\r\n-1.000\r\n";
    for (const auto &[points, freePages, existing] :
         std::vector<std::tuple<int, int, bool>>{{201, 0, true},
                                                 {201, 0, false},
                                                 {1500, 1, true},
                                                 {1500, 1, false},
                                                 {16384, 1, true},
                                                 {201, 2, true}}) {
        SCOPED_TRACE(testing::Message() << points << " points, " << freePages << " pages free, " << existing);
        QTemporaryDir disk;
        ASSERT_TRUE(disk.isValid());
        const QString path = disk.filePath(QStringLiteral("wave.arb"));
        if (existing) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        }
        host.user.clear();
        setPoints(std::vector<float>(static_cast<std::size_t>(points), 0.25f));
        host.user.pushFile(path);
        {
            const test::FileSizeLimit full(static_cast<rlim_t>(freePages) * 4096);
            ASSERT_TRUE(full.set());
            commands.menuFileSave_Click();
        }
        if (freePages == 2) {
            EXPECT_TRUE(host.user.messages.empty());
            EXPECT_EQ(read(path), "ArbNo0\r\n201\r\n" + QByteArray(" 1.000\r\n").repeated(201));
            continue;
        }
        EXPECT_EQ(onlyMessage(), FileWriteFailedMessage());
        if (existing) {
            EXPECT_EQ(read(path), old);
        }
        // No cut-off file and no temporary file is left behind.
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                  existing ? QStringList{QStringLiteral("wave.arb")} : QStringList{});
    }
}

TEST_F(FileCommandsTest, SavedFileIsRefusedButReadsBackAsPlain)
{
    host.doc.setLength(300);
    host.length = QStringLiteral("300");
    ArbStore wave = host.arb;
    for (int i = 0; i < 300; ++i)
        wave.ArbData[i] = static_cast<float>(i % 17 - 8) / 11.0f;
    host.doc.assign(wave);
    const QString path = dir.filePath("round.arb");
    host.user.pushFile(path);
    commands.menuFileSave_Click();
    const std::vector<float> saved = points(300);

    open(path);
    EXPECT_EQ(onlyMessage(), QStringLiteral("文件格式有误！"));

    QByteArray bytes = read(path);
    bytes = "300\r\n" + bytes.mid(bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2);
    const std::vector<float> zeros(300, 0.0f);
    host.doc.setPoints(0, zeros.data(), 300);
    host.user.clear();
    open(write("round.txt", bytes));
    EXPECT_TRUE(host.user.messages.empty());
    for (int i = 0; i < 300; ++i)
        EXPECT_NEAR(host.arb.ArbData[i], saved[static_cast<std::size_t>(i)], 0.0005 + 1e-6) << i;
}

TEST_F(FileCommandsTest, AddAndSubtract)
{
    const QString file = write("c.txt", "3\r\n0.5\r\n-0.5\r\n1\r\n");
    setPoints({0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushFile(file);
    commands.mnuWaveAdd_Click();
    EXPECT_TRUE(host.user.messages.empty());
    ASSERT_EQ(host.user.dialogs.size(), 1u);
    EXPECT_FALSE(host.user.dialogs[0].save);
    EXPECT_EQ(host.user.dialogs[0].filter, QStringLiteral("波形数据文件(*.txt)|*.txt"));
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, 0.0f, 0.75f, 0.25f}));
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_EQ(host.length, QStringLiteral("4"));
    EXPECT_EQ(host.redraws, 1);

    setPoints({0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushFile(file);
    commands.mnuWaveDec_Click();
    EXPECT_EQ(points(4), (std::vector<float>{0.0f, 0.5f, -0.25f, 0.25f}));

    // A longer file lengthens the waveform; the buffer's old values take part.
    setPoints({0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    host.doc.setPoint(5, 0.25f);
    host.user.pushFile(write("long.TXT", "8\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0.25\r\n1\r\n-1\r\n"));
    commands.mnuWaveAdd_Click();
    EXPECT_EQ(host.arb.ArbLength, 8.0f);
    EXPECT_EQ(host.length, QStringLiteral("8"));
    EXPECT_EQ(host.arb.ArbData[5], 0.25f);
    EXPECT_EQ(host.arb.ArbData[6], 0.5625f);
    EXPECT_EQ(host.arb.ArbData[7], -0.4375f);

    // The file's own points, subtracted, give zeros; a 2.0 name is not taken.
    setPoints({0.5f, -0.25f, 0.125f, 1.0f});
    host.user.pushFile(
        write("same.txt", kMaker + "Data Points:4\r\nArb Name:XYZ\r\n0.5\r\n-0.25\r\n0.125\r\n1\r\n"));
    commands.mnuWaveDec_Click();
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(points(4), (std::vector<float>(4, 0.0f)));
    EXPECT_EQ(host.name, QStringLiteral("ArbNo0"));
}

TEST_F(FileCommandsTest, AddRefusals)
{
    // Not .arb, and nothing beyond 16384 points.
    for (const auto &[name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"w.arb", "4\r\n0\r\n0\r\n0\r\n0\r\n"}, {"w.Txt", "4\r\n0\r\n"}}) {
        host.user.clear();
        host.user.pushFile(write(name, bytes));
        commands.mnuWaveAdd_Click();
        EXPECT_EQ(onlyMessage(), WrongEndingMessage());
        expectUntouched();
    }
    for (const QByteArray &bytes : {QByteArray("16385\r\n0\r\n"), QByteArray("16384.6\r\n0\r\n"),
                                    QByteArray("1e39\r\n"), QByteArray("ArbNo0\r\n4\r\n")}) {
        host.user.clear();
        host.user.pushFile(write("big.txt", bytes));
        commands.mnuWaveDec_Click();
        EXPECT_EQ(onlyMessage(), FileFormatMessage()) << bytes.toStdString();
        expectUntouched();
    }
    host.user.clear();
    host.user.pushFile(dir.filePath("missing.txt"));
    commands.mnuWaveAdd_Click();
    EXPECT_EQ(onlyMessage(), FileOpenFailedMessage());
    expectUntouched();
}

TEST_F(FileCommandsTest, AddPartialStates)
{
    setPoints({0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushFile(write("bad.txt", "6\r\n0.5\r\n1.5\r\n0.5\r\n"));
    commands.mnuWaveAdd_Click();
    EXPECT_EQ(onlyMessage(), FileFormatMessage());
    EXPECT_EQ(host.arb.ArbLength, 6.0f);
    EXPECT_EQ(host.length, QStringLiteral("6"));
    EXPECT_EQ(points(3), (std::vector<float>{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(host.redraws, 0);

    host.user.clear();
    setPoints({0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushFile(write("short.txt", "4\r\n-0.5\r\n"));
    commands.mnuWaveDec_Click();
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(host.redraws, 0);

    // The largest file length is taken.
    host.user.clear();
    QByteArray full = "16384\r\n";
    for (int i = 0; i < 16384; ++i)
        full += "1\r\n";
    host.user.pushFile(write("full.txt", full));
    commands.mnuWaveAdd_Click();
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(host.arb.ArbLength, 16384.0f);
    EXPECT_EQ(host.length, QStringLiteral("16384"));
    EXPECT_EQ(host.arb.ArbData[1], 0.75f);     // (0.5 + 1) / 2
    EXPECT_EQ(host.arb.ArbData[4], 0.5625f);   // the buffer's old 0.125
    EXPECT_EQ(host.arb.ArbData[201], 0.4375f); // and -0.125
    EXPECT_EQ(host.arb.ArbData[16383], 0.5f);
    EXPECT_EQ(host.arb.ArbData[16384], 0.0f); // never touched
}

namespace
{

QApplication *theApp = nullptr;

// The widget tests share one application, made when first needed and ended
// with the test program, so that it frees what it holds.
class AppEnvironment final : public ::testing::Environment
{
  public:
    void TearDown() override
    {
        delete theApp;
        theApp = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment *const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

QApplication &App()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    if (!theApp && !QCoreApplication::instance())
        theApp = new QApplication(argc, argv);
    return *qobject_cast<QApplication *>(QCoreApplication::instance());
}

} // namespace

TEST_F(FileCommandsTest, ConnectMenuReachesTheCommands)
{
    App();
    QWidget window;
    MainMenus menus;
    auto *open = menus.menuFileOpen = new QAction(&window);
    auto *save = menus.menuFileSave = new QAction(&window);
    auto *add = menus.mnuWaveAdd = new QAction(&window);
    auto *dec = menus.mnuWaveDec = new QAction(&window);
    auto *button = new QPushButton(QStringLiteral("存储波形"), &window);
    commands.connectMenu(menus, button);

    open->trigger();
    save->trigger();
    button->click();
    setPoints({0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushFile(write("a.txt", "4\r\n0.5\r\n-0.5\r\n0\r\n0\r\n"));
    add->trigger();
    host.user.pushFile(write("b.txt", "4\r\n0.5\r\n-0.5\r\n0\r\n0\r\n"));
    dec->trigger();
    ASSERT_EQ(host.user.dialogs.size(), 5u);
    EXPECT_FALSE(host.user.dialogs[0].save);
    EXPECT_TRUE(host.user.dialogs[1].save);
    EXPECT_TRUE(host.user.dialogs[2].save);
    EXPECT_EQ(host.user.dialogs[3].filter, FileCommands::CombineFilter());
    // Added, then subtracted: (0.5 + 0.5) / 2 - 0.5 and (0.5 - 0.5) / 2 + 0.5, halved.
    EXPECT_EQ(points(2), (std::vector<float>{0.0f, 0.25f}));
}

// The commands on the real main window: its length field, name field and view.
class FileCommandsWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        App();
        ASSERT_TRUE(dir.isValid());
        fixture = std::make_unique<arb::test::WindowFixture>();
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(arb::test::WriteBytes(path, bytes));
        return path;
    }

    QTemporaryDir dir;
    std::unique_ptr<arb::test::WindowFixture> fixture;
};

TEST_F(FileCommandsWindowTest, OpenMakerFileShowsLengthViewAndName)
{
    arb::test::WindowFixture &f = *fixture;
    FormMain &w = *f.window;
    f.user.pushFile(write(QStringLiteral("正弦.arb"),
                          kMaker + "Data Points:5\r\nArb Name:SINE1\r\n0\r\n0.5\r\n1\r\n0.5\r\n0\r\n"));
    w.findChild<QAction *>(QStringLiteral("menuFileOpen"))->trigger();
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_EQ(f.store.ArbLength, 5.0f);
    EXPECT_EQ(w.controls().Text_Arb_Length->text(), QStringLiteral("5"));
    EXPECT_EQ(w.controls().txtName->text(), QStringLiteral("SINE1"));
    EXPECT_EQ(w.view().ViewCount(), 5);
    EXPECT_EQ(f.store.ArbData[2], 1.0f);
}

TEST_F(FileCommandsWindowTest, ShortFileLeavesTheViewAsItWas)
{
    arb::test::WindowFixture &f = *fixture;
    FormMain &w = *f.window;
    const int viewBefore = w.view().ViewCount();
    QByteArray bytes = "100\r\n";
    for (int i = 0; i < 60; ++i)
        bytes += "0.5\r\n";
    f.user.pushFile(write("short.txt", bytes));
    w.Toolbar1_ButtonClick(QStringLiteral("FileOpen"));
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_EQ(w.controls().Text_Arb_Length->text(), QStringLiteral("100"));
    EXPECT_EQ(f.store.ArbLength, 100.0f);
    EXPECT_EQ(w.view().ViewCount(), viewBefore); // no redraw
    EXPECT_EQ(w.controls().txtName->text(), QStringLiteral("ArbNo0"));
}

TEST_F(FileCommandsWindowTest, SaveButtonWritesTheFieldsAndAddCombines)
{
    arb::test::WindowFixture &f = *fixture;
    FormMain &w = *f.window;
    f.user.pushFile(write("four.txt", "4\r\n0.25\r\n-0.125\r\n0\r\n0.125\r\n"));
    w.Toolbar1_ButtonClick(QStringLiteral("FileOpen"));
    const QString saved = dir.filePath("s.arb");
    f.user.pushFile(saved);
    w.controls().Command_ArbWaveSave->click();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("ArbNo0\r\n4\r\n 1.000\r\n-0.500\r\n 0.000\r\n 0.500\r\n"));

    f.user.pushFile(write("add.txt", "4\r\n1\r\n0.5\r\n0\r\n-0.5\r\n"));
    w.findChild<QAction *>(QStringLiteral("mnuWaveAdd"))->trigger();
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_EQ(f.store.ArbData[0], 1.0f);
    EXPECT_EQ(f.store.ArbData[1], 0.0f);
    EXPECT_EQ(f.store.ArbData[3], 0.0f);
}
