// "从示波器导入" as the user runs it: scripted dialogs, the built-in
// backend's sockets and a simulated scope on 127.0.0.1.
#include "app/CaptureCommand.h"
#include "app/CaptureDialog.h"
#include "app/QtCaptureUi.h"
#include "app/UndoCommands.h"
#include "core/UndoHistory.h"
#include "link/visa/SocketVisa.h"
#include "scope/CaptureMessages.h"
#include "tests/support/FakeHost.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/ScriptedCaptureUi.h"
#include "tests/support/ScriptedImportUi.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/peers/ScopeServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace arb;
using namespace arb::test;

namespace
{

QApplication *captureApp = nullptr;

class CaptureAppEnvironment final : public ::testing::Environment
{
  public:
    void TearDown() override
    {
        delete captureApp;
        captureApp = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment *const kCaptureAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new CaptureAppEnvironment);

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        captureApp = new QApplication(argc, argv);
}

std::string Ramp(std::size_t n)
{
    std::string data(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<char>(i * 7 % 256);
    return data;
}

CaptureLimits QuickLimits()
{
    CaptureLimits limits;
    limits.connectMs = 1000;
    limits.stallMs = 400;
    limits.sliceMs = 20;
    return limits;
}

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

class CaptureCommandTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::vector<float> start(201, 0.125f);
        host.doc.setPoints(0, start.data(), 201);
        before = host.arb;
        command.setLimits(QuickLimits());
    }

    void expectUnchanged()
    {
        EXPECT_EQ(host.arb.ArbData, before.ArbData);
        EXPECT_EQ(host.arb.ArbLength, before.ArbLength);
        EXPECT_EQ(host.redraws, 0);
    }

    FakeHost host;
    ArbStore before;
    ScriptedImportUi importUi;
    ScriptedCaptureUi ui;
    RecordingVisa *usb = new RecordingVisa;
    visa::SocketVisa visa{std::unique_ptr<visa::VisaApi>(usb)};
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("vxarb.conf")), QSettings::IniFormat};
    CaptureCommand command{host, importUi, ui, visa, settings};
};

TEST_F(CaptureCommandTest, ReadsTheChannelIntoTheImportDialogAndTheWaveform)
{
    ScopeServer server(SimulatedScope::Keysight(2, Ramp(3000)));
    ASSERT_TRUE(server.listening());
    ui.presses = {{Q(server.resource()), 2}};
    importUi.pushImport([](ImportChoices &c) { c.points = 1000; });
    command.menuFileCapture_Click();

    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(ui.waits, 1);
    ASSERT_EQ(importUi.shownTables.size(), 1u);
    const ImportTable &table = importUi.shownTables[0];
    ASSERT_EQ(table.columnCount(), 1);
    EXPECT_EQ(table.columnNames, (std::vector<std::string>{"CH2"}));
    EXPECT_EQ(importUi.shownFiles[0], QStringLiteral("CH2"));
    ASSERT_EQ(table.rows(), 3000u);
    // Keysight: (b - yreference) * yincrement + yorigin.
    ASSERT_EQ(table.codedColumns.size(), 1u);
    EXPECT_NEAR(table.codedColumns[0][1], (7 - 128.0) * 0.01 + 0.25, 1e-6);
    EXPECT_EQ(host.arb.ArbLength, 1000.0f);
    EXPECT_EQ(host.redraws, 1);
    EXPECT_NE(host.arb.ArbData, before.ArbData);
    EXPECT_TRUE(server.scope().unexpected().empty());

    // The address and channel are offered again, the network address listed.
    ui.presses.clear();
    command.menuFileCapture_Click();
    ASSERT_EQ(ui.shownInitial.size(), 2u);
    EXPECT_EQ(ui.shownInitial[1].address, Q(server.resource()));
    EXPECT_EQ(ui.shownInitial[1].channel, 2);
    EXPECT_TRUE(ui.shownInstruments[1].contains(Q(server.resource())));
}

TEST_F(CaptureCommandTest, ABadAddressIsToldAndTheDialogStays)
{
    ScopeServer server(SimulatedScope::Rigol(1, Ramp(100)));
    // Empty, hostile, not Latin, malformed: each told, the dialog kept open,
    // nothing connected; then the dialog is closed.
    ui.presses = {{QStringLiteral("   "), 1},
                  {QStringLiteral("127.0.0.1; rm -rf ~"), 1},
                  {QStringLiteral("示波器"), 1},
                  {QStringLiteral("TCPIP0::127.0.0.1::99999::SOCKET"), 1}};
    command.menuFileCapture_Click();
    ASSERT_EQ(host.user.messages.size(), 4u);
    EXPECT_EQ(host.user.messages[0].text, AddressFaultMessage(AddressFault::Empty));
    EXPECT_EQ(host.user.messages[1].text, AddressFaultMessage(AddressFault::BadCharacters));
    EXPECT_EQ(host.user.messages[2].text, AddressFaultMessage(AddressFault::BadCharacters));
    EXPECT_EQ(host.user.messages[3].text, AddressFaultMessage(AddressFault::Malformed));
    for (const auto &m : host.user.messages) {
        EXPECT_EQ(m.title, QStringLiteral("从示波器导入"));
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(ui.waits, 0);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(importUi.shownTables.empty());
    expectUnchanged();
    EXPECT_TRUE(settings.value(QStringLiteral("Capture/Address")).toString().isEmpty());
}

TEST_F(CaptureCommandTest, AFailedReadIsToldAndChangesNothing)
{
    SimulatedScope odd = SimulatedScope::Rigol(1, Ramp(100));
    odd.setReply("*IDN?", "ACME INSTRUMENTS,X1,1,1.0\n");
    ScopeServer unknown(odd);
    SimulatedScope shortBlock = SimulatedScope::Tektronix(1, Ramp(100));
    ScopeServer malformed(shortBlock, [] {
        ScopeDelivery d;
        d.closeOn = "CURVe?";
        d.closeAfter = 20;
        return d;
    }());
    RefusingPort refusing;
    const std::string refused = "TCPIP0::127.0.0.1::" + std::to_string(refusing.port()) + "::SOCKET";
    const std::string cases[] = {unknown.resource(), malformed.resource(), refused,
                                 "TCPIP0::127.0.0.1::INSTR"};
    for (const std::string &resource : cases) {
        host.user.messages.clear();
        ui.presses = {{Q(resource), 1}};
        command.menuFileCapture_Click();
        ASSERT_EQ(host.user.messages.size(), 1u) << resource;
        EXPECT_EQ(host.user.messages[0].title, QStringLiteral("从示波器导入"));
        EXPECT_TRUE(importUi.shownTables.empty()) << resource;
        expectUnchanged();
    }
    EXPECT_TRUE(settings.value(QStringLiteral("Capture/Addresses")).toStringList().isEmpty());
}

TEST_F(CaptureCommandTest, CancelMidReadLeavesTheWaveform)
{
    ScopeDelivery stall;
    stall.stallOn = ":WAVeform:DATA?";
    stall.stallAfter = 5000;
    ScopeServer server(SimulatedScope::Rigol(1, Ramp(100000)), stall);
    // The stall time far beyond the test: only the cancel ends the read.
    CaptureLimits limits = QuickLimits();
    limits.stallMs = 60000;
    command.setLimits(limits);
    ui.presses = {{Q(server.resource()), 1}};
    ui.cancelAfterBytes = 1000;
    command.menuFileCapture_Click();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(ui.endedAt - ui.cancelledAt).count(),
              2000);
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_TRUE(importUi.shownTables.empty());
    expectUnchanged();
}

TEST_F(CaptureCommandTest, ACancelledImportDialogChangesNothing)
{
    ScopeServer server(SimulatedScope::Siglent(4, Ramp(500)));
    ui.presses = {{Q(server.resource()), 4}};
    importUi.pushImport(std::nullopt);
    command.menuFileCapture_Click();
    ASSERT_EQ(importUi.shownTables.size(), 1u);
    EXPECT_EQ(importUi.shownFiles[0], QStringLiteral("CH4"));
    expectUnchanged();
}

TEST_F(CaptureCommandTest, TheInstrumentsFoundThenTheAddressesUsedBefore)
{
    usb->resources = {"USB0::0x1AB1::0x04CE::DS1ZA1::INSTR", "ASRL1::INSTR"};
    QStringList kept;
    for (int i = 0; i < CaptureCommand::kMaxRemembered + 5; ++i)
        kept << QStringLiteral("TCPIP0::10.0.0.%1::5025::SOCKET").arg(i);
    // Settings edited by hand: what would not be taken again is not offered.
    kept.insert(3, QStringLiteral("TCPIP0::x;y::5025::SOCKET"));
    settings.setValue(QStringLiteral("Capture/Addresses"), kept);
    const QStringList listed = command.instruments();
    ASSERT_EQ(listed.size(), 1 + CaptureCommand::kMaxRemembered);
    EXPECT_EQ(listed[0], QStringLiteral("USB0::0x1AB1::0x04CE::DS1ZA1::INSTR"));
    EXPECT_EQ(listed[1], QStringLiteral("TCPIP0::10.0.0.0::5025::SOCKET"));
    EXPECT_FALSE(listed.contains(QStringLiteral("TCPIP0::x;y::5025::SOCKET")));

    // A read puts its address first, once.
    ScopeServer server(SimulatedScope::Rigol(1, Ramp(100)));
    ui.presses = {{QStringLiteral("  ") + Q(server.resource()), 1}};
    importUi.acceptImportDefaults();
    command.menuFileCapture_Click();
    const QStringList after = command.rememberedAddresses();
    ASSERT_EQ(after.size(), CaptureCommand::kMaxRemembered);
    EXPECT_EQ(after[0], Q(server.resource()));
    EXPECT_EQ(after.count(Q(server.resource())), 1);
}

// The command in the window: its menu item, and one undo step.
TEST(CaptureWindow, TheMenuItemReadsAndUndoGivesTheWaveformBack)
{
    EnsureApp();
    ScriptedCaptureUi ui;
    visa::SocketVisa net{std::make_unique<RecordingVisa>()};
    WindowFixture f(QRect(0, 0, 1024, 768), [&](WindowFixture &w) {
        w.capture.ui = &ui;
        w.capture.visa = &net;
    });
    f.window->captureCommand().setLimits(QuickLimits());
    auto *file = f.window->findChild<QMenu *>(QStringLiteral("menuFile"));
    ASSERT_NE(file, nullptr);
    QAction *item = nullptr;
    int at = -1;
    for (int i = 0; i < file->actions().size(); ++i)
        if (file->actions()[i]->objectName() == QLatin1String("menuFileCapture")) {
            item = file->actions()[i];
            at = i;
        }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(file->actions()[at - 1]->objectName(), QStringLiteral("menuFileExport"));
    EXPECT_EQ(item->text(), QStringLiteral("从示波器导入(&C)..."));
    EXPECT_FALSE(item->whatsThis().isEmpty());

    const ArbStore before = f.store;
    ScopeServer server(SimulatedScope::Tektronix(3, Ramp(2000)));
    ui.presses = {{Q(server.resource()), 3}};
    f.importUi.acceptImportDefaults();
    const std::size_t steps = f.window->undoCommands().history().undoCount();
    item->trigger();
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_NE(f.store.ArbData, before.ArbData);
    EXPECT_EQ(f.window->undoCommands().history().undoCount(), steps + 1);
    EXPECT_EQ(f.window->undoCommands().history().undoLabel(), QStringLiteral("从示波器导入"));
    f.window->undoCommands().mnuArbUndo_Click();
    EXPECT_EQ(f.store.ArbData, before.ArbData);
    EXPECT_EQ(f.store.ArbLength, before.ArbLength);
}

} // namespace

namespace
{

// The dialog as the user sees it: its captions and accessible names, "仪器"
// read again each time its list opens, and a chosen entry filling "地址".
TEST(CaptureDialogWidgets, ChoosingAnInstrumentFillsTheAddress)
{
    EnsureApp();
    int lists = 0;
    QStringList found = {QStringLiteral("USB0::1::2::A::INSTR")};
    CaptureDialog dialog([&] {
        ++lists;
        return found;
    });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("从示波器导入"));
    auto *instruments = dialog.findChild<QComboBox *>(QStringLiteral("cobCaptureInstrument"));
    auto *address = dialog.findChild<QLineEdit *>(QStringLiteral("txtCaptureAddress"));
    auto *channel = dialog.findChild<QComboBox *>(QStringLiteral("cobCaptureChannel"));
    auto *read = dialog.findChild<QPushButton *>(QStringLiteral("cmdCaptureRead"));
    ASSERT_TRUE(instruments && address && channel && read);
    EXPECT_EQ(instruments->accessibleName(), QStringLiteral("仪器"));
    EXPECT_EQ(address->accessibleName(), QStringLiteral("地址"));
    EXPECT_EQ(channel->accessibleName(), QStringLiteral("通道"));
    EXPECT_EQ(read->text(), QStringLiteral("读取"));
    EXPECT_EQ(channel->count(), 4);
    EXPECT_EQ(channel->itemText(3), QStringLiteral("CH4"));

    // Opening the list reads the instruments again.
    const int before = lists;
    found << QStringLiteral("TCPIP0::10.1.2.3::5025::SOCKET");
    instruments->showPopup();
    instruments->hidePopup();
    EXPECT_EQ(lists, before + 1);
    ASSERT_EQ(instruments->count(), 2);

    dialog.setAddressText(QStringLiteral("typed"));
    emit instruments->activated(1);
    EXPECT_EQ(dialog.addressText(), QStringLiteral("TCPIP0::10.1.2.3::5025::SOCKET"));
    dialog.setChannel(3);
    EXPECT_EQ(dialog.channel(), 3);
    EXPECT_EQ(channel->currentText(), QStringLiteral("CH3"));

    int presses = 0;
    QObject::connect(&dialog, &CaptureDialog::readRequested, [&] { ++presses; });
    read->click();
    EXPECT_EQ(presses, 1);
}

// The wait keeps the window's events going, shows the count, and a cancel
// reaches the read, whose end is still waited for.
TEST(CaptureProgressDialog, CancelReachesTheReadAndItsEndIsWaitedFor)
{
    EnsureApp();
    QtCaptureUi ui;
    CaptureControl control;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!control.cancel.load() && std::chrono::steady_clock::now() < giveUp) {
            control.received += 100;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        done = true;
    });
    QString shown;
    QTimer::singleShot(300, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible()) {
                shown = d->labelText();
                if (auto *cancel = d->findChild<QPushButton *>())
                    cancel->click();
            }
    });
    const auto start = std::chrono::steady_clock::now();
    ui.waitForCapture(control, [&] { return done.load(); });
    const bool endedFirst = done.load();
    reader.join();
    EXPECT_TRUE(control.cancel.load());
    EXPECT_TRUE(endedFirst);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("正在从示波器读取…\n已接收 "))) << shown.toStdString();
    EXPECT_NE(shown, QtCaptureUi::ProgressText(0, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
