#include "app/GeneratorLink.h"
#include "app/MainControls.h"
#include "tests/support/FakeHost.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/WindowFixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace arb;
using arb::test::FakeHost;
using arb::test::RecordingVisa;

namespace
{

const QString kTitle = QStringLiteral("提示信息");
const std::string kGen1 = "USB0::0x1AB1::0x0588::DG1::INSTR";
const std::string kGen2 = "USB0::0x1AB1::0x0588::DG2::INSTR";

// The controls the link works on, with the names and start-up states the
// main window gives them.
struct LinkWindow {
    LinkWindow()
    {
        auto make = [this](auto *w, const char *name) {
            w->setParent(&window);
            w->setObjectName(QString::fromLatin1(name));
            return w;
        };
        Combo1 = make(new QComboBox, "Combo1");
        Combo2 = make(new QComboBox, "Combo2");
        Combo4 = make(new QComboBox, "Combo4");
        Combo2->setVisible(false);
        Combo2->setEnabled(false);
        Combo4->setVisible(false);
        Combo4->setEnabled(false);
        cmdCheck = make(new QPushButton(QStringLiteral("检   测")), "cmdCheck");
        DetectIO = make(new QPushButton(QStringLiteral("连   接")), "Command_DetectIO");
        viPrintf = make(new QPushButton(QStringLiteral("发送数据")), "Command_viPrintf");
        viPrintf->setEnabled(false);
        sendName = make(new QPushButton(QStringLiteral("单独发送名称")), "cmdSendName");
        sendName->setVisible(false);
        sendName->setEnabled(false);
        instName = make(new QLineEdit(QStringLiteral("仪器型号\r\n")), "txtInstName");
        progress = make(new QProgressBar, "PbrSend");
        progress->setVisible(false);
        percent = make(new QLabel, "Label_TDS_percent");
        slot = make(new QLabel(QStringLiteral("0")), "Label_ArbNumber");
        window.show();
        MainControls c;
        c.Combo1 = Combo1;
        c.Combo2 = Combo2;
        c.Combo4 = Combo4;
        c.cmdCheck = cmdCheck;
        c.Command_DetectIO = DetectIO;
        c.Command_viPrintf = viPrintf;
        c.cmdSendName = sendName;
        c.txtInstName = instName;
        c.PbrSend = progress;
        c.Label_TDS_percent = percent;
        c.Label_ArbNumber = slot;
        link = std::make_unique<GeneratorLink>(c, host, visa);
    }

    // The buttons as the user presses them.
    void connectAndIdentify(const std::string &reply = "VX,VX48250,1,2")
    {
        visa.reply = reply;
        QTest::mouseClick(DetectIO, Qt::LeftButton);
        QVERIFY(link->timeLink()->isActive());
        link->timeLink_Timer();
    }
    void startWithTwo()
    {
        visa.resources = {kGen1, kGen2};
        link->startUp();
    }
    std::vector<std::string> dataWrites() const
    {
        std::vector<std::string> out;
        for (const std::string &w : visa.written)
            if (w.rfind("DATA:ARB:DAC ", 0) == 0)
                out.push_back(w);
        return out;
    }
    void setLength(int n)
    {
        host.doc.setLength(static_cast<float>(n));
        host.length = QString::number(n);
    }

    QWidget window;
    QComboBox *Combo1, *Combo2, *Combo4;
    QPushButton *cmdCheck, *DetectIO, *viPrintf, *sendName;
    QLineEdit *instName;
    QProgressBar *progress;
    QLabel *percent, *slot;
    FakeHost host;
    RecordingVisa visa;
    std::unique_ptr<GeneratorLink> link;
};

QStringList Entries(const QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

class TestGeneratorLink : public QObject
{
    Q_OBJECT

  private slots:
    void startUpListsUsbGeneratorsAndSetsDefaults()
    {
        LinkWindow w;
        w.visa.resources = {kGen1, "ASRL1::INSTR", kGen2};
        // Discovery alone picks the last generator found ...
        w.link->DiscoverInstruments();
        QCOMPARE(Entries(w.Combo1),
                 QStringList({QString::fromStdString(kGen1), QString::fromStdString(kGen2)}));
        QCOMPARE(w.link->SelectedResource(), QString::fromStdString(kGen2));
        // ... and start-up then selects entry 0.
        w.link->startUp();
        QCOMPARE(w.Combo1->currentIndex(), 0);
        QCOMPARE(w.link->SelectedResource(), QString::fromStdString(kGen1));
        QVERIFY(w.link->defaultRM() != 0);
        QCOMPARE(w.visa.count("viFindRsrc"), 2);
        QVERIFY(w.visa.calls.back() != "viClose " + std::to_string(w.link->defaultRM()));
        QCOMPARE(Entries(w.Combo2), QStringList({"300", "600", "1200", "2400", "4800", "9600"}));
        QCOMPARE(w.Combo2->currentIndex(), 5);
        QCOMPARE(Entries(w.Combo4), QStringList({"None  8bits", "Odd    7bits", "Even   7bits"}));
        QCOMPARE(w.Combo4->currentIndex(), 0);
        QCOMPARE(w.link->SerialBaud(), 9600);
        QCOMPARE(w.link->SerialDataBits(), 8);
        QCOMPARE(w.link->SerialParity(), 0);
        QCOMPARE(w.link->DownloadPass(), 0);
        QVERIFY(!w.link->InstrConnected());
        QVERIFY(w.host.user.messages.empty());
        QCOMPARE(w.link->timeLink()->objectName(), QStringLiteral("timeLink"));
        QCOMPARE(w.link->timeLink()->interval(), 1000);
        QCOMPARE(w.link->Timer1()->objectName(), QStringLiteral("Timer1"));
        QCOMPARE(w.link->Timer1()->interval(), 1000);
        QVERIFY(!w.link->timeLink()->isActive() && !w.link->Timer1()->isActive());
    }

    void startUpWithoutInstrumentsLeavesTheListEmpty()
    {
        LinkWindow w;
        w.link->startUp();
        QCOMPARE(w.Combo1->count(), 0);
        QCOMPARE(w.link->defaultRM(), 0u);
        QVERIFY(w.host.user.messages.empty());
        // Closing still closes cleanly.
        w.visa.clearRecords();
        w.link->shutDown();
        QCOMPARE(w.visa.calls, std::vector<std::string>({"viClose 0", "viClose 0"}));
        QCOMPARE(w.visa.staleCloses, 0);
    }

    void aSelectedPrefixMatchesAFoundName()
    {
        LinkWindow w;
        w.visa.resources = {"USB0::0x1AB1::0x0588"};
        w.link->startUp();
        w.visa.resources = {"USB0::0x0699::0x0363::X::INSTR", "USB0::0x1AB1::0x0588::S1::INSTR",
                            "USB0::0x0400::0x1111::Y::INSTR"};
        QTest::mouseClick(w.cmdCheck, Qt::LeftButton);
        QCOMPARE(w.Combo1->currentIndex(), 1);
        QCOMPARE(w.link->SelectedResource(), QStringLiteral("USB0::0x1AB1::0x0588::S1::INSTR"));
    }

    void onlySerialPortsCannotBeOpened()
    {
        LinkWindow w;
        w.visa.resources = {"ASRL1::INSTR", "ASRL3::INSTR"};
        w.link->startUp();
        QCOMPARE(Entries(w.Combo1), QStringList({"ASRL1::INSTR"}));
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        QCOMPARE(w.host.user.messages.size(), std::size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("非USB接口，连接失败！重新检测接口"));
        QCOMPARE(w.host.user.messages[0].title, kTitle);
        QVERIFY(w.host.user.messages[0].icon == MessageIcon::Information);
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QVERIFY(w.visa.written.empty());
        QVERIFY(!w.link->timeLink()->isActive());
    }

    void serialFormatIsKeptForASerialResource()
    {
        LinkWindow w;
        w.visa.resources = {"ASRL1::INSTR"};
        w.link->startUp();
        w.Combo2->setCurrentIndex(2);
        w.link->Combo2_Click();
        QCOMPARE(w.link->SerialBaud(), 1200);
        w.visa.clearRecords();
        w.visa.serialAttrStatus = visa::VI_ERROR_NSUP_ATTR;
        const visa::ViSession rm = w.link->defaultRM();
        w.Combo4->setCurrentIndex(2);
        w.link->Combo4_Click();
        QCOMPARE(w.link->SerialDataBits(), 7);
        QCOMPARE(w.link->SerialParity(), 2);
        // Four settings in order; each failure closes the resource manager.
        QCOMPARE(w.visa.count("viSetAttribute"), 4);
        QCOMPARE(w.visa.calls[0], std::string("viSetAttribute 0 0x3FFF0022 7"));
        QCOMPARE(w.visa.calls[2], std::string("viSetAttribute 0 0x3FFF0023 2"));
        QCOMPARE(w.visa.calls[4], std::string("viSetAttribute 0 0x3FFF0024 10"));
        QCOMPARE(w.visa.calls[6], std::string("viSetAttribute 0 0x3FFF0025 0"));
        QCOMPARE(w.visa.calls[1], "viClose " + std::to_string(rm));
        QCOMPARE(w.visa.staleCloses, 0);

        // A USB resource keeps the settings as they are.
        LinkWindow usb;
        usb.startWithTwo();
        usb.Combo2->setCurrentIndex(0);
        usb.link->Combo2_Click();
        QCOMPARE(usb.link->SerialBaud(), 9600);
    }

    void connectingIdentifiesAfterOneSecond()
    {
        LinkWindow w;
        w.startWithTwo();
        w.visa.reply = "  VX,VX48250,1,2  \n";
        w.visa.clearRecords();
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        // Identifying: nothing changes until the tick.
        QVERIFY(w.link->timeLink()->isActive());
        QVERIFY(!w.link->InstrConnected());
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QVERIFY(!w.viPrintf->isEnabled());
        QCOMPARE(w.visa.written, std::vector<std::string>({"*IDN?\n"}));
        const visa::ViSession session = w.link->instrSession();
        QCOMPARE(w.visa.count("viOpen " + std::to_string(w.link->defaultRM()) + " " + kGen1 + " 0 0"), 1);
        QVERIFY(std::find(w.visa.calls.begin(), w.visa.calls.end(),
                          "viSetAttribute " + std::to_string(session) + " 0x3FFF001A 1000") !=
                w.visa.calls.end());
        QVERIFY(std::find(w.visa.calls.begin(), w.visa.calls.end(),
                          "viFlush " + std::to_string(session) + " 4") != w.visa.calls.end());
        QVERIFY(!w.Combo2->isEnabled() && !w.Combo4->isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(w.link->InstrConnected(), 1500);
        QVERIFY(!w.link->timeLink()->isActive());
        QCOMPARE(w.instName->text(), QStringLiteral("仪器型号：VX,VX48250,1,2"));
        QCOMPARE(w.DetectIO->text(), QStringLiteral("断   开"));
        QVERIFY(w.viPrintf->isEnabled());
        QVERIFY(w.sendName->isEnabled());
        QVERIFY(w.sendName->isHidden());
        // No session stays open while connected.
        QVERIFY(w.visa.open.empty());
        // Read with VISA's own sized "%t"; the double knows no other read.
        QCOMPARE(w.visa.count("viVScanf " + std::to_string(session) + " %#t"), 1);
    }

    void silentGeneratorAndLongReplies()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify("");
        QVERIFY(w.link->InstrConnected());
        QCOMPARE(w.instName->text(), QStringLiteral("仪器型号："));

        LinkWindow l;
        l.startWithTwo();
        l.connectAndIdentify(std::string(300, 'M'));
        QCOMPARE(l.instName->text(), QStringLiteral("仪器型号：") + QString(198, 'M'));
    }

    void openingFailuresAreReported()
    {
        LinkWindow w;
        w.startWithTwo();
        w.visa.openStatus = visa::VI_ERROR_RSRC_BUSY;
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        QCOMPARE(w.host.user.messages.back().text, QStringLiteral("Error! 仪器打开失败，重新检测接口"));
        QCOMPARE(w.host.user.messages.back().title, kTitle);
        QVERIFY(!w.link->timeLink()->isActive());
        QVERIFY(w.visa.open.empty());

        w.visa.openStatus = visa::VI_SUCCESS;
        w.visa.timeoutStatus = visa::VI_ERROR_NSUP_ATTR;
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        QCOMPARE(w.host.user.messages.back().text, QStringLiteral("Error! 延时设置失败，重新检测接口"));
        QVERIFY(!w.link->timeLink()->isActive());
        QVERIFY(w.visa.open.empty());
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QCOMPARE(w.visa.staleCloses, 0);
    }

    void connectingAgainWhileIdentifyingStartsOver()
    {
        LinkWindow w;
        w.startWithTwo();
        w.visa.reply = "ID";
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        const visa::ViSession first = w.link->instrSession();
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        QVERIFY(w.link->instrSession() != first);
        QCOMPARE(w.visa.written, std::vector<std::string>({"*IDN?\n", "*IDN?\n"}));
        QVERIFY(w.link->timeLink()->isActive());
        // The abandoned pair is released, the new session stays for the read.
        QCOMPARE(w.visa.open.size(), std::size_t(2));
        w.link->timeLink_Timer();
        QVERIFY(w.visa.open.empty());
        QCOMPARE(w.visa.staleCloses, 0);
    }

    void disconnectingClosesBothHandlesAgain()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.visa.clearRecords();
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        QVERIFY(!w.link->InstrConnected());
        QCOMPARE(w.visa.calls, std::vector<std::string>({"viClose 0", "viClose 0"}));
        QCOMPARE(w.instName->text(), QStringLiteral("仪器型号："));
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QVERIFY(!w.viPrintf->isEnabled() && !w.sendName->isEnabled());
        QVERIFY(w.host.user.messages.empty());
    }

    void unpluggedWhileConnectedDropsTheLink()
    {
        LinkWindow w;
        w.visa.resources = {kGen1, kGen2};
        w.link->startUp();
        w.connectAndIdentify();
        w.visa.resources = {"USB0::0x0400::0x1111::OTHER::INSTR", kGen2};
        QTest::mouseClick(w.cmdCheck, Qt::LeftButton);
        QCOMPARE(w.host.user.messages.size(), std::size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("与仪器连接有误，已断开！请重新连接！"));
        QCOMPARE(w.host.user.messages[0].title, kTitle);
        QVERIFY(!w.link->InstrConnected());
        QCOMPARE(w.instName->text(), QStringLiteral("仪器型号："));
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QVERIFY(!w.viPrintf->isEnabled() && !w.sendName->isEnabled());
        QCOMPARE(w.Combo1->currentIndex(), 0);

        // With no USB resource left the list holds the serial placeholder.
        LinkWindow s;
        s.startWithTwo();
        s.connectAndIdentify();
        s.visa.resources = {"ASRL1::INSTR"};
        QTest::mouseClick(s.cmdCheck, Qt::LeftButton);
        QCOMPARE(Entries(s.Combo1), QStringList({"ASRL1::INSTR"}));
        QCOMPARE(s.host.user.messages.size(), std::size_t(1));
        QVERIFY(!s.link->InstrConnected());
    }

    void nothingFoundWhileConnectedAlsoDropsTheLink()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.visa.resources.clear(); // the find reports no match
        QTest::mouseClick(w.cmdCheck, Qt::LeftButton);
        QCOMPARE(w.host.user.messages.size(), std::size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("与仪器连接有误，已断开！请重新连接！"));
        QVERIFY(!w.link->InstrConnected());
        // The list keeps its entries, as after any failed find.
        QCOMPARE(w.Combo1->count(), 2);

        // Any other failure of the find leaves the state alone.
        LinkWindow f;
        f.startWithTwo();
        f.connectAndIdentify();
        f.visa.findStatus = visa::VI_ERROR_SYSTEM_ERROR;
        QTest::mouseClick(f.cmdCheck, Qt::LeftButton);
        QVERIFY(f.link->InstrConnected());
        QVERIFY(f.host.user.messages.empty());
    }

    void anotherEntryChosenWhileConnectedDisconnectsSilently()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        // The same entry again keeps the connection.
        w.Combo1->setCurrentIndex(0);
        emit w.Combo1->activated(0);
        QVERIFY(w.link->InstrConnected());
        w.visa.clearRecords();
        w.Combo1->setCurrentIndex(1);
        emit w.Combo1->activated(1);
        QVERIFY(!w.link->InstrConnected());
        QCOMPARE(w.instName->text(), QStringLiteral("仪器型号"));
        QCOMPARE(w.DetectIO->text(), QStringLiteral("连   接"));
        QVERIFY(!w.viPrintf->isEnabled());
        QVERIFY(w.host.user.messages.empty());
        QCOMPARE(w.visa.count("viClose"), 0);
        QCOMPARE(w.link->SelectedResource(), QString::fromStdString(kGen2));
    }

    void longResourceNamesAreListedAndOpenedWhole()
    {
        LinkWindow w;
        // A long serial number and an interface number.
        const std::string name = "USB0::0x1AB1::0x0588::DG1ZA" + std::string(40, '7') + "::0::INSTR";
        w.visa.resources = {name, kGen1};
        w.link->startUp();
        QCOMPARE(Entries(w.Combo1),
                 QStringList({QString::fromStdString(name), QString::fromStdString(kGen1)}));
        w.connectAndIdentify();
        QVERIFY(w.host.user.messages.empty());
        const std::string opened = " " + name + " 0 0";
        QVERIFY(std::any_of(w.visa.calls.begin(), w.visa.calls.end(), [&](const std::string &c) {
            return c.rfind("viOpen ", 0) == 0 && c.size() > opened.size() &&
                   c.compare(c.size() - opened.size(), opened.size(), opened) == 0;
        }));
        QVERIFY(w.link->InstrConnected());
        // Rediscovery finds the selected name again and keeps the link.
        QTest::mouseClick(w.cmdCheck, Qt::LeftButton);
        QVERIFY(w.link->InstrConnected());
        QCOMPARE(w.Combo1->currentIndex(), 0);
    }

    void fourPointDownloadSendsFortyThreeBytes()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(4);
        w.host.doc.setPoint(1, 0.5f);
        w.host.doc.setPoint(3, -0.25f);
        w.visa.clearRecords();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w.viPrintf, Qt::LeftButton);
        // The end of the transfer does not hold up the window.
        QVERIFY(clock.elapsed() < 200);
        QCOMPARE(w.dataWrites(), std::vector<std::string>({"DATA:ARB:DAC ArbNo0,4,00007FFF0000C000 END\n"}));
        QCOMPARE(w.visa.written.back().size(), std::size_t(43));
        QCOMPARE(w.visa.calls[w.visa.calls.size() - 2],
                 "viFlush " + std::to_string(w.link->instrSession()) + " 4");
        QCOMPARE(w.host.arb.ArbScale, 2.0);
        QCOMPARE(w.host.arb.ArbData[1], 0.5f);
        // The full bar is shown for a moment, then hidden.
        QVERIFY(w.progress->isVisible());
        QCOMPARE(w.progress->maximum(), 1);
        QCOMPARE(w.progress->value(), 1);
        QCOMPARE(w.link->DownloadPass(), 0);
        QVERIFY(w.link->endPause()->interval() <= 500);
        QTRY_VERIFY_WITH_TIMEOUT(!w.progress->isVisible(), 1000);
        QVERIFY(!w.percent->isVisible());
        QCOMPARE(w.percent->text(), QStringLiteral("0.00%"));
        QCOMPARE(w.progress->value(), 0);
        // One tick later both handles are closed.
        QVERIFY(w.link->Timer1()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!w.link->Timer1()->isActive(), 1500);
        QVERIFY(w.visa.open.empty());
        QCOMPARE(w.visa.staleCloses, 0);
    }

    void longDownloadGoesOneChunkPerTick()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(2500);
        w.visa.clearRecords();
        w.link->download();
        QCOMPARE(w.dataWrites().size(), std::size_t(1));
        QCOMPARE(w.percent->text(), QStringLiteral("33.33%"));
        QVERIFY(w.percent->isVisible());
        QCOMPARE(w.progress->maximum(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(w.dataWrites().size(), std::size_t(2), 1500);
        QCOMPARE(w.percent->text(), QStringLiteral("66.67%"));
        QTRY_COMPARE_WITH_TIMEOUT(w.dataWrites().size(), std::size_t(3), 1500);
        const auto writes = w.dataWrites();
        QCOMPARE(writes[0], "DATA:ARB:DAC ArbNo0,2500," + std::string(4000, '0') + "\n");
        QCOMPARE(writes[1], "DATA:ARB:DAC " + std::string(4000, '0') + "\n");
        QCOMPARE(writes[2], "DATA:ARB:DAC " + std::string(2000, '0') + " END\n");
        // Every chunk goes out on a session opened for it.
        QCOMPARE(w.visa.count("viOpen "), 3);
        QCOMPARE(w.visa.writtenTo[0] != w.visa.writtenTo[1], true);
        QCOMPARE(w.link->DownloadPass(), 0);
    }

    void chunkCountsAndCaptions()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(1001);
        w.visa.clearRecords();
        w.link->download();
        w.link->Timer1_Timer();
        auto writes = w.dataWrites();
        QCOMPARE(writes.size(), std::size_t(2));
        QCOMPARE(writes[1].size(), std::string("DATA:ARB:DAC 0000 END\n").size());

        w.setLength(16384);
        w.visa.clearRecords();
        QStringList captions;
        w.link->download();
        captions << w.percent->text();
        for (int k = 0; k < 16; ++k) {
            w.link->Timer1_Timer();
            captions << w.percent->text();
        }
        QCOMPARE(w.dataWrites().size(), std::size_t(17));
        QCOMPARE(w.dataWrites().back().size(), std::string("DATA:ARB:DAC ").size() + 384 * 4 + 5);
        QCOMPARE(captions.first(), QStringLiteral("5.88%"));
        QCOMPARE(captions[1], QStringLiteral("11.76%"));
        QCOMPARE(captions[15], QStringLiteral("94.12%"));
        QCOMPARE(w.link->DownloadPass(), 0);
        // The final tick closes the sessions and stops.
        w.link->Timer1_Timer();
        QVERIFY(!w.link->Timer1()->isActive());
        QVERIFY(w.visa.open.empty());
    }

    void formatCharactersInTheNameNeverReachTheGenerator()
    {
        // Not even escaped: a name is letters and digits only.
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(4);
        w.host.doc.setName(QStringLiteral("A%d\\n"));
        w.link->download();
        QVERIFY(w.dataWrites().empty());
        QCOMPARE(w.host.user.messages.back().text,
                 QStringLiteral("任意波名称必须为1到6个数字或字母，未发送！"));
        w.host.doc.setName(QStringLiteral("Ad"));
        w.link->download();
        QCOMPARE(w.dataWrites().back(), std::string("DATA:ARB:DAC Ad,4,0000000000000000 END\n"));
    }

    void aCutOffTransferStartsOverAfterReconnecting()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(2500);
        w.link->download();
        QCOMPARE(w.link->DownloadPass(), 1);
        QTest::mouseClick(w.DetectIO, Qt::LeftButton); // disconnect
        QVERIFY(!w.progress->isVisible());
        QVERIFY(!w.percent->isVisible());
        QCOMPARE(w.link->DownloadPass(), 0);
        QVERIFY(!w.link->Timer1()->isActive());

        w.connectAndIdentify();
        w.visa.clearRecords();
        w.link->download();
        QCOMPARE(w.dataWrites().front().rfind("DATA:ARB:DAC ArbNo0,2500,", 0), 0u);
        QCOMPARE(w.percent->text(), QStringLiteral("33.33%"));
    }

    void aLinkLostDuringATransferStopsIt()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(2500);
        w.link->download();
        w.visa.resources = {"ASRL1::INSTR"}; // unplugged
        w.visa.clearRecords();
        w.link->Timer1_Timer();
        QVERIFY(w.dataWrites().empty());
        QCOMPARE(w.host.user.messages.front().text, QStringLiteral("与仪器连接有误，已断开！请重新连接！"));
        QVERIFY(!w.progress->isVisible());
        QCOMPARE(w.link->DownloadPass(), 0);
        QVERIFY(!w.link->Timer1()->isActive());
    }

    void notConnectedDownloadSendsNothing()
    {
        LinkWindow w;
        w.startWithTwo();
        w.link->download();
        QVERIFY(w.dataWrites().empty());
        QVERIFY(!w.progress->isVisible());
        QVERIFY(!w.link->Timer1()->isActive());
    }

    void lengthChangesDuringATransferStayInRange()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(3000);
        w.link->download();
        w.link->Timer1_Timer();
        QCOMPARE(w.link->DownloadPass(), 2);
        w.setLength(1500); // shorter than what was sent
        w.link->Timer1_Timer();
        QCOMPARE(w.dataWrites().back(), std::string("DATA:ARB:DAC  END\n"));
        QCOMPARE(w.link->DownloadPass(), 0);
        QVERIFY(w.progress->value() <= w.progress->maximum());

        LinkWindow g;
        g.startWithTwo();
        g.connectAndIdentify();
        g.setLength(2000);
        g.link->download();
        g.setLength(4500); // longer: the transfer runs on, the bar stays full
        int steps = 0;
        while (g.link->DownloadPass() != 0 && steps++ < 10) {
            g.link->Timer1_Timer();
            QVERIFY(g.progress->value() <= g.progress->maximum());
        }
        QCOMPARE(g.dataWrites().size(), std::size_t(5));
        QCOMPARE(g.dataWrites().back().substr(g.dataWrites().back().size() - 5), std::string(" END\n"));
    }

    void hiddenSendNameWorks()
    {
        LinkWindow w;
        w.startWithTwo();
        w.link->cmdSendName_Click();
        QCOMPARE(w.host.user.messages.back().text, QStringLiteral("没有与仪器连接，连接后发送！"));
        QCOMPARE(w.host.user.messages.back().title, kTitle);

        w.connectAndIdentify();
        QVERIFY(w.sendName->isHidden());
        w.sendName->click();
        QCOMPARE(w.host.user.messages.back().text, QStringLiteral("默认波形名称，不必发送！"));
        QCOMPARE(w.visa.count("viOpen "), 1);

        w.slot->setText(QStringLiteral("3"));
        w.host.doc.setName(QStringLiteral("WAVE1"));
        w.visa.clearRecords();
        w.sendName->click();
        QCOMPARE(w.visa.written, std::vector<std::string>({"SYSTEM:ARB NAME 3 WAVE1\n"}));
        QCOMPARE(w.visa.calls[w.visa.calls.size() - 2],
                 "viFlush " + std::to_string(w.link->instrSession()) + " 4");

        // A name the generator cannot take is refused before any session
        // is opened, whichever way it reached the field.
        for (const char *bad : {"A;*RST", "AB,CD\r\n", "ABCDEFG", "A B"}) {
            w.host.doc.setName(QString::fromLatin1(bad));
            w.host.user.clear();
            w.visa.clearRecords();
            w.sendName->click();
            QCOMPARE(w.host.user.messages.size(), std::size_t(1));
            QCOMPARE(w.host.user.messages[0].text,
                     QStringLiteral("任意波名称必须为1到6个数字或字母，未发送！"));
            QCOMPARE(w.host.user.messages[0].title, kTitle);
            QCOMPARE(w.host.user.messages[0].icon, MessageIcon::Information);
            QVERIFY(w.visa.written.empty());
            QCOMPARE(w.visa.count("viOpen"), 0);
        }
        w.host.doc.setName(QStringLiteral("WAVE1"));

        // The name field's own flag decides when one is given.
        w.visa.clearRecords();
        w.sendName->click();
        QCOMPARE(w.visa.written.size(), std::size_t(1));
        w.link->setNameChangedSource([] { return false; });
        w.sendName->click();
        QCOMPARE(w.host.user.messages.back().text, QStringLiteral("默认波形名称，不必发送！"));
        QCOMPARE(w.visa.written.size(), std::size_t(1));
    }

    void aDownloadNeverCarriesABadName()
    {
        LinkWindow w;
        w.startWithTwo();
        w.connectAndIdentify();
        w.setLength(1500);
        w.host.doc.setName(QStringLiteral("A;*RST"));
        w.visa.clearRecords();
        w.viPrintf->click();
        QCOMPARE(w.host.user.messages.size(), std::size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("任意波名称必须为1到6个数字或字母，未发送！"));
        QCOMPARE(w.host.user.messages[0].title, kTitle);
        QVERIFY(w.visa.written.empty());
        QCOMPARE(w.visa.count("viOpen"), 0);
        QVERIFY(!w.link->downloading());
        QVERIFY(!w.link->Timer1()->isActive());
        QVERIFY(w.progress->isHidden());

        // The same name made good is sent as it is.
        w.host.doc.setName(QStringLiteral("ARST"));
        w.viPrintf->click();
        QCOMPARE(w.dataWrites().size(), std::size_t(1));
        QCOMPARE(w.dataWrites()[0].rfind("DATA:ARB:DAC ARST,1500,", 0), std::size_t(0));
    }

    void drivesTheMainWindowsControls()
    {
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [](arb::test::WindowFixture &fx) {
            fx.visa.resources = {kGen1};
            fx.visa.reply = "VX,VX48250,7,1.0";
        });
        RecordingVisa &visa = f.visa;
        auto *window = f.window.get();
        auto *check = window->findChild<QPushButton *>(QStringLiteral("cmdCheck"));
        auto *detect = window->findChild<QPushButton *>(QStringLiteral("Command_DetectIO"));
        auto *send = window->findChild<QPushButton *>(QStringLiteral("Command_viPrintf"));
        auto *model = window->findChild<QLineEdit *>(QStringLiteral("txtInstName"));
        QVERIFY(check && detect && send && model);
        // Start-up found the generator.
        QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("Combo1"))->currentText(),
                 QString::fromStdString(kGen1));
        window->show();
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("Combo1"))->currentText(),
                 QString::fromStdString(kGen1));
        QTest::mouseClick(detect, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window->InstrConnected(), 1500);
        QCOMPARE(model->text(), QStringLiteral("仪器型号：VX,VX48250,7,1.0"));
        QVERIFY(send->isEnabled());
        visa.clearRecords();
        QTest::mouseClick(send, Qt::LeftButton);
        // 201 zero points from start-up, in one chunk.
        QCOMPARE(visa.written,
                 std::vector<std::string>({"DATA:ARB:DAC ArbNo0,201," + std::string(804, '0') + " END\n"}));
        // The tool bar's output button sends too once connected.
        visa.clearRecords();
        QTRY_VERIFY_WITH_TIMEOUT(window->generatorLink().DownloadPass() == 0, 3000);
        window->Toolbar1_ButtonClick(QStringLiteral("Waveout"));
        QCOMPARE(visa.written.size(), std::size_t(1));
        QVERIFY(f.user.messages.empty());
        // Closing the window closes every handle.
        window->close();
        QVERIFY(visa.open.empty());
    }

    void oneDiscoveryAtStartUpServesBothInstruments()
    {
        const std::string scope = "USB0::0x0699::0x0368::C012345::INSTR";
        arb::test::WindowFixture f(QRect(0, 0, 1024, 768), [&](arb::test::WindowFixture &fx) {
            fx.visa.resources = {kGen1, "ASRL1::INSTR", scope};
        });
        RecordingVisa &visa = f.visa;
        QCOMPARE(visa.count("viFindRsrc"), 1);
        QCOMPARE(visa.count("viOpenDefaultRM"), 1);
        auto *combo1 = f.window->findChild<QComboBox *>(QStringLiteral("Combo1"));
        auto *ports = f.window->findChild<QComboBox *>(QStringLiteral("cobSetComm"));
        QVERIFY(combo1 && ports);
        const QStringList usb = {QString::fromStdString(kGen1), QString::fromStdString(scope)};
        QCOMPARE(Entries(combo1), usb);
        QCOMPARE(Entries(ports), QStringList({"COM1", "COM2", "COM3", "COM4", "COM5"}) + usb);
        QCOMPARE(ports->currentText(), QStringLiteral("COM1"));

        // 检测 asks again, and so does opening the port list; the list
        // follows what is found then.
        QTest::mouseClick(f.window->findChild<QPushButton *>(QStringLiteral("cmdCheck")), Qt::LeftButton);
        QCOMPARE(visa.count("viFindRsrc"), 2);
        visa.resources = {kGen2};
        ports->showPopup();
        QCOMPARE(visa.count("viFindRsrc"), 3);
        QCOMPARE(Entries(ports),
                 QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", QString::fromStdString(kGen2)}));
        ports->hidePopup();
        QCOMPARE(ports->currentText(), QStringLiteral("COM1"));
    }

    void shutDownClosesTheSessionThenTheManager()
    {
        LinkWindow w;
        w.startWithTwo();
        QTest::mouseClick(w.DetectIO, Qt::LeftButton);
        const visa::ViSession session = w.link->instrSession();
        const visa::ViSession rm = w.link->defaultRM();
        w.visa.clearRecords();
        w.link->shutDown();
        QCOMPARE(w.visa.calls, std::vector<std::string>(
                                   {"viClose " + std::to_string(session), "viClose " + std::to_string(rm)}));
        QVERIFY(w.visa.open.empty());
        QVERIFY(!w.link->timeLink()->isActive());
    }
};

QTEST_MAIN(TestGeneratorLink)
#include "tst_generator_link.moc"
