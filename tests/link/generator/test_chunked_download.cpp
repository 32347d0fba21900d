#include "link/generator/ChunkedDownload.h"
#include "link/generator/GeneratorDriver.h"
#include "tests/support/RecordingVisa.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arb
{
namespace
{

const std::string kGen = "USB0::0x1AB1::0x0588::DG1::INSTR";

// What a download announced, in order: "started 3", "sent", "last",
// "abandoned", "running", "idle".
struct Notices {
    explicit Notices(ChunkedDownload &run)
    {
        QObject::connect(&run, &ChunkedDownload::started,
                         [this](int n) { log.push_back("started " + std::to_string(n)); });
        QObject::connect(&run, &ChunkedDownload::chunkSent,
                         [this](bool last) { log.push_back(last ? "last" : "sent"); });
        QObject::connect(&run, &ChunkedDownload::abandoned, [this] { log.push_back("abandoned"); });
        QObject::connect(&run, &ChunkedDownload::runningChanged,
                         [this](bool running) { log.push_back(running ? "running" : "idle"); });
    }
    std::vector<std::string> log;
};

// A link of the test's own: it holds while told to, and records each
// opening and command.
struct ScriptedLink final : ChunkLink {
    bool reopenForChunk() override
    {
        ++openings;
        return holds;
    }
    void sendChunk(const std::string &command) override { sent.push_back(command); }
    bool holds = true;
    int openings = 0;
    std::vector<std::string> sent;
};

// The generator driver on the recording VISA double, connected to the one
// generator found, as a program without a window drives it.
struct HeadlessGenerator {
    HeadlessGenerator()
    {
        visa.resources = {kGen};
        visa.reply = "VX,VX48250,1,2\n";
        driver.startUp();
        GeneratorDriver::Discovery found;
        driver.adoptResourceManager(driver.discover(found));
        connected = driver.openChosen() == GeneratorDriver::OpenResult::Opened;
        driver.sendIdentify();
        model = driver.finishIdentify();
        visa.clearRecords();
    }
    std::vector<std::string> chunks() const
    {
        std::vector<std::string> out;
        for (const std::string &w : visa.written)
            if (w.rfind("DATA:ARB:DAC ", 0) == 0)
                out.push_back(w);
        return out;
    }
    ChunkedDownload::Step step(const std::string &name = "ArbNo0")
    {
        return driver.download().step(driver, store, name, std::to_string(store.PointCount()));
    }

    test::RecordingVisa visa;
    GeneratorDriver driver{visa};
    ArbStore store;
    bool connected = false;
    QString model;
};

TEST(ChunkedDownload, OneChunkAStepEachOnAFreshSessionThenItEnds)
{
    HeadlessGenerator g;
    ASSERT_TRUE(g.connected);
    EXPECT_EQ(g.model, QStringLiteral("VX,VX48250,1,2"));
    EXPECT_TRUE(g.driver.connected());
    EXPECT_TRUE(g.visa.open.empty()); // no session stays open while connected
    g.store.ArbLength = 2500;
    g.store.ArbData[1] = 0.5f;
    Notices notices(g.driver.download());

    using Step = ChunkedDownload::Step;
    EXPECT_EQ(g.step(), Step::Sent);
    EXPECT_TRUE(g.driver.download().running());
    EXPECT_EQ(g.driver.download().chunksSent(), 1);
    EXPECT_EQ(g.driver.download().chunkCount(), 3);
    EXPECT_EQ(g.step(), Step::Sent);
    EXPECT_EQ(g.step(), Step::Finished);
    EXPECT_FALSE(g.driver.download().running());
    EXPECT_EQ(g.driver.download().chunksSent(), 3);
    EXPECT_EQ(notices.log,
              std::vector<std::string>({"started 3", "running", "sent", "sent", "idle", "last"}));

    const std::vector<std::string> chunks = g.chunks();
    ASSERT_EQ(chunks.size(), 3u);
    // The scale was chosen at the first step: the peak 0.5 goes out at full scale.
    EXPECT_EQ(chunks[0].rfind("DATA:ARB:DAC ArbNo0,2500,00007FFF0000", 0), 0u);
    EXPECT_EQ(chunks[1], "DATA:ARB:DAC " + std::string(4000, '0') + "\n");
    EXPECT_EQ(chunks[2], "DATA:ARB:DAC " + std::string(2000, '0') + " END\n");
    EXPECT_EQ(g.store.ArbScale, 2.0);
    // Each chunk went out on a session opened for it, after a discovery.
    EXPECT_EQ(g.visa.count("viFindRsrc"), 3);
    EXPECT_EQ(g.visa.count("viOpen "), 3);
    EXPECT_NE(g.visa.writtenTo[0], g.visa.writtenTo[1]);
    g.driver.closeSessions();
    EXPECT_TRUE(g.visa.open.empty());
    EXPECT_EQ(g.visa.staleCloses, 0);
}

TEST(ChunkedDownload, ABadNameIsRefusedBeforeAnythingIsOpened)
{
    HeadlessGenerator g;
    Notices notices(g.driver.download());
    for (const char *bad : {"A;*RST", "", "ABCDEFG", "A B"})
        EXPECT_EQ(g.step(bad), ChunkedDownload::Step::BadName) << bad;
    EXPECT_TRUE(g.visa.calls.empty());
    EXPECT_TRUE(notices.log.empty());
    EXPECT_FALSE(g.driver.download().running());

    // Only the first chunk carries the name: later steps do not look at it.
    ScriptedLink link;
    ChunkedDownload run;
    g.store.ArbLength = 1500;
    EXPECT_EQ(run.step(link, g.store, "ArbNo0", "1500"), ChunkedDownload::Step::Sent);
    EXPECT_EQ(run.step(link, g.store, "A;*RST", "1500"), ChunkedDownload::Step::Finished);
    EXPECT_EQ(link.sent.back().find("A;*RST"), std::string::npos);
}

TEST(ChunkedDownload, ALinkLostOnTheWayAbandonsItAndTheNextStartsOver)
{
    HeadlessGenerator g;
    g.store.ArbLength = 2500;
    Notices notices(g.driver.download());
    bool lostAnnounced = false;
    QObject::connect(&g.driver, &GeneratorDriver::connectedChanged,
                     [&](bool connected) { lostAnnounced = !connected; });
    EXPECT_EQ(g.step(), ChunkedDownload::Step::Sent);

    g.visa.resources = {"ASRL1::INSTR"}; // unplugged
    g.visa.clearRecords();
    EXPECT_EQ(g.step(), ChunkedDownload::Step::LinkLost);
    EXPECT_TRUE(lostAnnounced);
    EXPECT_FALSE(g.driver.connected());
    EXPECT_TRUE(g.chunks().empty());
    EXPECT_FALSE(g.driver.download().running());
    EXPECT_EQ(notices.log, std::vector<std::string>({"started 3", "running", "sent", "idle", "abandoned"}));

    // Not connected: nothing goes out, and there is nothing to abandon.
    notices.log.clear();
    EXPECT_EQ(g.step(), ChunkedDownload::Step::LinkLost);
    EXPECT_TRUE(notices.log.empty());

    // Back again: the download starts at its first chunk, with the name.
    HeadlessGenerator again;
    again.store.ArbLength = 2500;
    ScriptedLink link;
    ChunkedDownload &run = again.driver.download();
    EXPECT_EQ(run.step(link, again.store, "ArbNo0", "2500"), ChunkedDownload::Step::Sent);
    link.holds = false;
    EXPECT_EQ(run.step(link, again.store, "ArbNo0", "2500"), ChunkedDownload::Step::LinkLost);
    link.holds = true;
    EXPECT_EQ(run.step(link, again.store, "ArbNo0", "2500"), ChunkedDownload::Step::Sent);
    ASSERT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(link.sent[1].rfind("DATA:ARB:DAC ArbNo0,2500,", 0), 0u);
}

TEST(ChunkedDownload, AbandonedByHandOrByADisconnect)
{
    ArbStore store;
    store.ArbLength = 16384;
    ScriptedLink link;
    ChunkedDownload run;
    Notices notices(run);
    run.abandon(); // nothing under way: nothing to say
    EXPECT_TRUE(notices.log.empty());
    run.step(link, store, "ArbNo0", "16384");
    run.step(link, store, "ArbNo0", "16384");
    EXPECT_EQ(run.pass(), 2);
    run.abandon();
    EXPECT_EQ(run.pass(), 0);
    EXPECT_EQ(notices.log.back(), "abandoned");
    run.step(link, store, "ArbNo0", "16384");
    EXPECT_EQ(run.chunkCount(), 17);
    EXPECT_EQ(run.chunksSent(), 1);
    EXPECT_EQ(link.sent.back().rfind("DATA:ARB:DAC ArbNo0,16384,", 0), 0u);

    // The user ends the link while a download of the driver runs.
    HeadlessGenerator g;
    g.store.ArbLength = 3000;
    Notices driverNotices(g.driver.download());
    g.step();
    g.driver.closeLink();
    EXPECT_FALSE(g.driver.download().running());
    EXPECT_EQ(driverNotices.log.back(), "abandoned");
    EXPECT_TRUE(g.visa.open.empty());
}

TEST(ChunkedDownload, AWaveformGrownOnTheWayRunsOnWithTheCountAtItsEnd)
{
    ArbStore store;
    store.ArbLength = 2000;
    ScriptedLink link;
    ChunkedDownload run;
    run.step(link, store, "ArbNo0", "2000");
    store.ArbLength = 4500;
    int steps = 1;
    while (run.running() && steps++ < 10) {
        run.step(link, store, "ArbNo0", "4500");
        EXPECT_LE(run.chunksSent(), run.chunkCount());
    }
    EXPECT_EQ(link.sent.size(), 5u);
    EXPECT_EQ(run.chunksSent(), 2);
    EXPECT_EQ(link.sent.back().substr(link.sent.back().size() - 4), " END");
    EXPECT_EQ(link.openings, 5);
}

TEST(GeneratorDriver, TheConnectedGeneratorGoneOrAnotherChosenDropsTheLink)
{
    HeadlessGenerator g;
    std::vector<bool> announced;
    QObject::connect(&g.driver, &GeneratorDriver::connectedChanged,
                     [&](bool connected) { announced.push_back(connected); });
    // Found again under a name that begins with the chosen one: still there.
    GeneratorDriver::Discovery found;
    g.visa.resources = {"USB0::0x0400::0x1111::X::INSTR", kGen};
    g.driver.adoptResourceManager(g.driver.discover(found));
    EXPECT_TRUE(found.listed);
    EXPECT_EQ(found.select, 1);
    EXPECT_FALSE(found.lost || found.leftQuietly);
    EXPECT_TRUE(g.driver.connected());

    // Another one chosen: the link drops without a word.
    EXPECT_TRUE(g.driver.choose(QStringLiteral("USB0::0x0400::0x1111::X::INSTR")));
    EXPECT_FALSE(g.driver.connected());
    EXPECT_EQ(announced, std::vector<bool>({false}));

    // Connected again, then the generator is gone.
    HeadlessGenerator h;
    h.visa.resources.clear();
    EXPECT_EQ(h.driver.reopen(), GeneratorDriver::OpenResult::OpenFailed);
    EXPECT_FALSE(h.driver.connected());
    EXPECT_EQ(h.driver.defaultRM(), visa::VI_NULL);

    // Only a USB instrument opens; a serial one keeps its format.
    HeadlessGenerator s;
    s.visa.resources = {"ASRL3::INSTR"};
    EXPECT_EQ(s.driver.reopen(), GeneratorDriver::OpenResult::NotUsb);
    EXPECT_EQ(s.driver.chosen(), QStringLiteral("ASRL1::INSTR"));
    s.driver.chooseBaud(1);
    s.driver.chooseDataFormat(1);
    EXPECT_EQ(s.driver.serialBaud(), 600);
    EXPECT_EQ(s.driver.serialDataBits(), 7);
    EXPECT_EQ(s.driver.serialParity(), 1);
}

} // namespace
} // namespace arb
