#include "scope/CaptureBlock.h"
#include "scope/CaptureMessages.h"
#include "scope/MakerCapture.h"
#include "scope/ScopeAddress.h"
#include "scope/ScopeMakers.h"
#include "scope/ScopeTalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include <deque>
#include <map>
#include <string>

using namespace arb;

namespace
{

// A conversation scripted in the test: replies by command, the block's
// data, and every command recorded.
class ScriptedTalk final : public ScopeTalk
{
  public:
    std::map<std::string, std::string> replies;
    std::string blockData;
    std::vector<std::string> sent;

    CaptureFault send(std::string_view command) override
    {
        sent.emplace_back(command);
        return {};
    }
    CaptureFault query(std::string_view command, std::string &reply) override
    {
        sent.emplace_back(command);
        const auto it = replies.find(std::string(command));
        if (it == replies.end())
            return CaptureFault::Of(CaptureFaultKind::Stalled, std::string(command));
        reply = it->second;
        return {};
    }
    CaptureFault queryBlock(std::string_view command, std::string_view, std::size_t maxBytes,
                            BlockSink &sink) override
    {
        sent.emplace_back(command);
        if (blockData.size() > maxBytes) {
            CaptureFault fault = CaptureFault::Of(CaptureFaultKind::TooManyPoints, std::string(command));
            fault.expected = blockData.size();
            return fault;
        }
        sink.begin(blockData.size());
        const std::size_t half = blockData.size() / 2;
        sink.take(reinterpret_cast<const unsigned char *>(blockData.data()), half);
        std::copy(blockData.begin() + static_cast<std::ptrdiff_t>(half), blockData.end(),
                  reinterpret_cast<char *>(sink.room(blockData.size() - half)));
        sink.filled(blockData.size() - half);
        return {};
    }
};

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

QString MessageOf(const CaptureResult &result)
{
    return CaptureFaultMessage(result.fault, result.record.maker, "TCPIP0::10.1.2.3::5025::SOCKET", 10000);
}

} // namespace

TEST(ScopeMakerOf, TheFirstFieldWithoutRegardToCase)
{
    EXPECT_EQ(ScopeMakerOf("TEKTRONIX,MSO54,B0,FV"), ScopeMaker::Tektronix);
    EXPECT_EQ(ScopeMakerOf("tektronix,TDS 2012C,0,0"), ScopeMaker::Tektronix);
    EXPECT_EQ(ScopeMakerOf("RIGOL TECHNOLOGIES,DS1104Z,X,1"), ScopeMaker::Rigol);
    EXPECT_EQ(ScopeMakerOf("Siglent Technologies,SDS1202X-E,X,1"), ScopeMaker::Siglent);
    EXPECT_EQ(ScopeMakerOf("SIGLENT,SDS1102CML,X,1"), ScopeMaker::Siglent);
    EXPECT_EQ(ScopeMakerOf("KEYSIGHT TECHNOLOGIES,DSOX1204G,X,1"), ScopeMaker::Keysight);
    EXPECT_EQ(ScopeMakerOf("AGILENT TECHNOLOGIES,DSO-X 2002A,X,1"), ScopeMaker::Keysight);
    EXPECT_EQ(ScopeMakerOf("  RIGOL TECHNOLOGIES ,DS1054Z\n"), ScopeMaker::Rigol);
    EXPECT_EQ(ScopeMakerOf("RIGOL TECHNOLOGIES\n"), ScopeMaker::Rigol);
    // Another maker, a part of a name, a name run on, nothing.
    EXPECT_FALSE(ScopeMakerOf("LECROY,WAVERUNNER,X,1"));
    EXPECT_FALSE(ScopeMakerOf("RIGOL,DS1104Z,X,1"));
    EXPECT_FALSE(ScopeMakerOf("TEKTRONIXX,MSO54,X,1"));
    EXPECT_FALSE(ScopeMakerOf("MSO54,TEKTRONIX"));
    EXPECT_FALSE(ScopeMakerOf(""));
    EXPECT_EQ(IdentificationMaker(" Siglent Technologies ,SDS\r\n"), "Siglent Technologies");
}

TEST(ScopeReplies, NumbersWithAndWithoutTheirHeader)
{
    EXPECT_EQ(ReplyNumber("1.5E-3\n"), 1.5e-3);
    EXPECT_EQ(ReplyNumber(" 10000 \r\n"), 10000.0);
    EXPECT_EQ(ReplyNumber("+2.5"), 2.5);
    EXPECT_EQ(ReplyNumber("-4E+01"), -40.0);
    EXPECT_EQ(ReplyNumber("C1:VDIV 5.00E-01V\n"), 0.5);
    EXPECT_EQ(ReplyNumber("C3:OFST -1.20E-01V"), -0.12);
    EXPECT_EQ(ReplyNumber(":WFMOUTPRE:YMULT 4.0E-3"), 4.0e-3);
    for (const char *bad :
         {"", "\n", "abc", "1.5E-3 mV", "1,5", "0x10", "inf", "nan", "1E+999", "V", "--1", "1.0.0"})
        EXPECT_FALSE(ReplyNumber(bad)) << bad;
}

TEST(ScopeReplies, ThePreambleHasTenNumbers)
{
    const PreambleReading ok = ParsePreamble("0,0,1200,1,2.000000e-06,-1.2e-03,0,4.0e-02,-2,127\n");
    ASSERT_TRUE(ok.preamble);
    EXPECT_EQ(ok.preamble->points, 1200);
    EXPECT_EQ(ok.preamble->yincrement, 0.04);
    EXPECT_EQ(ok.preamble->yorigin, -2);
    EXPECT_EQ(ok.preamble->yreference, 127);

    const PreambleReading nine = ParsePreamble("0,0,1200,1,2e-06,-1e-03,0,4e-02,-2");
    EXPECT_FALSE(nine.preamble);
    EXPECT_EQ(nine.fields, 9);
    const PreambleReading eleven = ParsePreamble("0,0,1200,1,2e-06,-1e-03,0,4e-02,-2,127,5");
    EXPECT_FALSE(eleven.preamble);
    EXPECT_EQ(eleven.fields, 11);
    const PreambleReading text = ParsePreamble("0,0,1200,1,2e-06,-1e-03,0,x,-2,127");
    EXPECT_FALSE(text.preamble);
    EXPECT_EQ(text.fields, 10);
    EXPECT_EQ(text.badField, 7);
    EXPECT_FALSE(ParsePreamble("0,0,1200,1,2e-06,-1e-03,0,,-2,127").preamble);
    EXPECT_EQ(ParsePreamble("").fields, 1);
}

// Within a few units of the last place of single precision, relative to
// the largest volts of the range.
void ExpectVolts(const ByteVolts &volts, const std::function<double(int)> &formula)
{
    unsigned char bytes[256];
    for (int b = 0; b < 256; ++b)
        bytes[b] = static_cast<unsigned char>(b);
    float out[256];
    ConvertBytes(volts, bytes, 256, out);
    double largest = 0;
    for (int b = 0; b < 256; ++b)
        largest = std::max(largest, std::fabs(formula(b)));
    for (int b = 0; b < 256; ++b) {
        EXPECT_NEAR(volts(static_cast<unsigned char>(b)), formula(b), 1e-12 * largest) << b;
        EXPECT_NEAR(out[b], formula(b), 4e-7 * largest) << b;
    }
}

TEST(ScopeVolts, EachMakersFormulaOverEveryByte)
{
    const auto s = [](int b) { return b < 128 ? b : b - 256; }; // a signed byte
    ExpectVolts(TektronixVolts(0.04, 10, 0.5), [&](int b) { return (s(b) - 10) * 0.04 + 0.5; });
    ExpectVolts(TektronixVolts(4e-3, -25, 0), [&](int b) { return (s(b) + 25) * 4e-3; });

    WavePreamble p;
    p.yincrement = 0.02;
    p.yorigin = -3;
    p.yreference = 127;
    ExpectVolts(RigolVolts(p), [](int b) { return (b + 3 - 127) * 0.02; });
    ExpectVolts(KeysightVolts(p), [](int b) { return (b - 127) * 0.02 - 3; });
    ExpectVolts(SiglentVolts(0.5, -0.1), [&](int b) { return s(b) * 0.5 / 25 + 0.1; });
    ExpectVolts(SiglentVolts(2, 1.5), [&](int b) { return s(b) * 2.0 / 25 - 1.5; });

    EXPECT_DOUBLE_EQ(TektronixVolts(0.04, 10, 0.5)(0x80), (-128 - 10) * 0.04 + 0.5);
    EXPECT_DOUBLE_EQ(RigolVolts(p)(0xFF), (255 + 3 - 127) * 0.02);

    EXPECT_TRUE(Usable(TektronixVolts(0.04, 10, 0.5)));
    EXPECT_FALSE(Usable(TektronixVolts(1e300, 0, 0)));
    EXPECT_FALSE(Usable(TektronixVolts(1e37, 0, 0))); // 128 x 1e37 is beyond single precision
    EXPECT_FALSE(Usable(SiglentVolts(1, 1e39)));
}

TEST(ScopeBlock, TheHeaderOfADefiniteLengthBlock)
{
    const BlockHeader h = ParseBlockHeader("#42500xyz");
    EXPECT_EQ(h.state, BlockHeader::State::Complete);
    EXPECT_EQ(h.headerBytes, 6u);
    EXPECT_EQ(h.dataBytes, 2500u);
    EXPECT_EQ(ParseBlockHeader("#9010000000").dataBytes, 10000000u);
    EXPECT_EQ(ParseBlockHeader("#10").dataBytes, 0u);
    for (const char *more : {"", "#", "#4", "#425", "#9123"})
        EXPECT_EQ(ParseBlockHeader(more).state, BlockHeader::State::NeedMore) << more;
    for (const char *bad : {"X", " #42500", "#0", "#A", "#2x1", "#3 10", "#-1"})
        EXPECT_EQ(ParseBlockHeader(bad).state, BlockHeader::State::Malformed) << bad;
}

TEST(ScopeAddressTyped, ResourceNamesAndBareHosts)
{
    EXPECT_EQ(ResolveScopeAddress("192.168.1.20").resource, "TCPIP0::192.168.1.20::5025::SOCKET");
    EXPECT_EQ(ResolveScopeAddress("  scope-3.lab.example  ").resource,
              "TCPIP0::scope-3.lab.example::5025::SOCKET");
    EXPECT_EQ(ResolveScopeAddress("[fe80::1]").resource, "TCPIP0::[fe80::1]::5025::SOCKET");
    for (const char *same :
         {"TCPIP0::192.168.1.20::5555::SOCKET", "tcpip::rigol::5555::socket", "TCPIP0::192.168.1.20::INSTR",
          "TCPIP0::scope::inst0::INSTR", "USB0::0x1AB1::0x04CE::DS1ZA000001::INSTR",
          "USB0::0x0699::0x0368::C01::0::INSTR", "TCPIP0::[fe80::1]::5025::SOCKET"}) {
        const ScopeAddress a = ResolveScopeAddress(same);
        EXPECT_EQ(a.fault, AddressFault::None) << same;
        EXPECT_EQ(a.resource, same);
    }
}

TEST(ScopeAddressTyped, RefusedWithTheirFault)
{
    EXPECT_EQ(ResolveScopeAddress("").fault, AddressFault::Empty);
    EXPECT_EQ(ResolveScopeAddress("   \t ").fault, AddressFault::Empty);
    EXPECT_EQ(ResolveScopeAddress(std::string(256, 'a')).fault, AddressFault::TooLong);
    for (const char *hostile : {"scope; rm -rf /", "a b", "host\n*RST", "\"host\"", "host%n", "示波器",
                                "host\x01", "TCPIP0::host::5025::SOCKET\n", "host/path", "$(reboot)"})
        EXPECT_EQ(ResolveScopeAddress(hostile).fault, AddressFault::BadCharacters) << hostile;
    for (const char *malformed :
         {"TCPIP0::host::SOCKET", "TCPIP0::host::0::SOCKET", "TCPIP0::host::65536::SOCKET",
          "TCPIP0::host::x::SOCKET", "TCPIP0::::5025::SOCKET", "ASRL1::INSTR", "GPIB0::7::INSTR",
          "USB0::INSTR", "USB0::0x1::0x2::INSTR", "host:5025", "-host", "host-", "a..b", ".",
          "::", "TCPIP0::-bad::INSTR", "TCPIP0::host::a:b::INSTR"})
        EXPECT_EQ(ResolveScopeAddress(malformed).fault, AddressFault::Malformed) << malformed;
    EXPECT_TRUE(ResolveScopeAddress("TCPIP0::host::5025::SOCKET;").fault != AddressFault::None);
    EXPECT_FALSE(AddressFaultMessage(AddressFault::Malformed).isEmpty());
}

TEST(ScopeConversation, EachMakersCommandsInOrder)
{
    const std::string data = Bytes({0, 1, 127, 128, 255});
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "TEKTRONIX,MSO54,X,1"},
                        {"HORizontal:RECOrdlength?", "5"},
                        {"WFMOutpre:YMUlt?", "4E-2"},
                        {"WFMOutpre:YOFf?", "10"},
                        {"WFMOutpre:YZEro?", "0.5"}};
        talk.blockData = data;
        const CaptureResult r = RunScopeCapture(talk, 2);
        ASSERT_FALSE(r.fault) << MessageOf(r).toStdString();
        EXPECT_EQ(talk.sent, (std::vector<std::string>{"*IDN?", "DATa:SOUrce CH2", "DATa:ENCdg RIBinary",
                                                       "DATa:WIDth 1", "HORizontal:RECOrdlength?",
                                                       "DATa:STARt 1", "DATa:STOP 5", "WFMOutpre:YMUlt?",
                                                       "WFMOutpre:YOFf?", "WFMOutpre:YZEro?", "CURVe?"}));
        ASSERT_EQ(r.record.volts.size(), 5u);
        EXPECT_FLOAT_EQ(r.record.volts[3], (-128 - 10) * 0.04 + 0.5);
        EXPECT_FLOAT_EQ(r.record.volts[4], (-1 - 10) * 0.04 + 0.5);
        EXPECT_EQ(r.record.maker, "TEKTRONIX");
    }
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "Siglent Technologies,SDS1202X-E,X,1"},
                        {"C4:VDIV?", "C4:VDIV 1.00E+00V"},
                        {"C4:OFST?", "C4:OFST 2.00E-01V"}};
        talk.blockData = data;
        const CaptureResult r = RunScopeCapture(talk, 4);
        ASSERT_FALSE(r.fault);
        EXPECT_EQ(talk.sent, (std::vector<std::string>{"*IDN?", "C4:VDIV?", "C4:OFST?", "C4:WF? DAT2"}));
        EXPECT_FLOAT_EQ(r.record.volts[4], -1 * 1.0 / 25 - 0.2);
    }
}

TEST(ScopeConversation, FaultsNameTheMakerAndTheCommand)
{
    const std::string data = Bytes({1, 2, 3, 4, 5, 6});
    const std::string preamble = "0,0,6,1,1e-9,0,0,0.02,0,127";
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "RIGOL TECHNOLOGIES,DS1104Z,X,1"},
                        {":WAVeform:PREamble?", "0,0,6,1,1e-9,0,0,0.02,0"}};
        talk.blockData = data;
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::BadReply);
        EXPECT_TRUE(r.record.volts.empty());
        const QString m = MessageOf(r);
        EXPECT_TRUE(m.contains(QStringLiteral("RIGOL TECHNOLOGIES"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral(":WAVeform:PREamble?"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("应有 10 个字段，收到 9 个"))) << m.toStdString();
        // Nothing after the fault is asked.
        EXPECT_EQ(talk.sent.back(), ":WAVeform:PREamble?");
    }
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "KEYSIGHT TECHNOLOGIES,DSOX,X,1"}, {":WAVeform:PREamble?", preamble}};
        talk.blockData = Bytes({1, 2, 3});
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::TooFewPoints);
        EXPECT_TRUE(r.record.volts.empty());
        EXPECT_TRUE(MessageOf(r).contains(QStringLiteral(":WAVeform:DATA?")));
    }
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "Siglent Technologies,SDS,X,1"}, {"C1:VDIV?", "C1:VDIV ?V"}};
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::BadReply);
        const QString m = MessageOf(r);
        EXPECT_TRUE(m.contains(QStringLiteral("Siglent Technologies 示波器对 “C1:VDIV?”")))
            << m.toStdString();
    }
    for (const char *length : {"2.5", "0", "-3", "x"}) {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "TEKTRONIX,TBS,X,1"}, {"HORizontal:RECOrdlength?", length}};
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::BadReply) << length;
        EXPECT_EQ(r.fault.command, "HORizontal:RECOrdlength?");
    }
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "TEKTRONIX,TBS,X,1"}, {"HORizontal:RECOrdlength?", "10000001"}};
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::TooManyPoints);
        EXPECT_TRUE(MessageOf(r).contains(QStringLiteral("10000001"))) << MessageOf(r).toStdString();
        // The record's length is never sent as a stop.
        EXPECT_EQ(talk.sent.back(), "HORizontal:RECOrdlength?");
    }
    {
        // Scale factors that make no volts.
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "RIGOL TECHNOLOGIES,DS,X,1"},
                        {":WAVeform:PREamble?", "0,0,6,1,1e-9,0,0,1e300,0,127"}};
        talk.blockData = data;
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::BadReply);
        EXPECT_EQ(r.fault.command, ":WAVeform:DATA?");
        EXPECT_EQ(talk.sent.back(), ":WAVeform:PREamble?");
    }
    {
        ScriptedTalk talk;
        talk.replies = {{"*IDN?", "LECROY,WAVERUNNER 8104,LCRY0001,9.4.0"}};
        const CaptureResult r = RunScopeCapture(talk, 1);
        EXPECT_EQ(r.fault.kind, CaptureFaultKind::UnknownMaker);
        EXPECT_EQ(MessageOf(r), QStringLiteral("不支持的示波器：LECROY,WAVERUNNER 8104,LCRY0001,9.4.0"));
        EXPECT_EQ(talk.sent, std::vector<std::string>{"*IDN?"});
    }
}
