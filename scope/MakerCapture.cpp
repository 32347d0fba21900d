#include "scope/MakerCapture.h"

#include "scope/CaptureBlock.h"
#include "scope/ScopeMakers.h"
#include "scope/ScopeTalk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace arb
{

namespace
{

// Keeps the data bytes as they arrive, beside the volts of every byte
// value: a record of millions of points is never written out as floats
// (four times its room) before the import resamples it.
class VoltSink final : public BlockSink
{
  public:
    VoltSink(const ByteVolts &convert, CodedColumn &volts) : volts_(volts)
    {
        std::array<unsigned char, 256> every{};
        for (std::size_t b = 0; b < every.size(); ++b)
            every[b] = static_cast<unsigned char>(b);
        ConvertBytes(convert, every.data(), every.size(), volts_.values.data());
    }

    // The room for the whole block is made at once, left as it comes
    // (ByteRoom does not clear it); the bytes are read into it straight.
    void begin(std::size_t n) override
    {
        volts_.codes.clear();
        volts_.codes.resize(n);
        filled_ = 0;
    }

    void take(const unsigned char *bytes, std::size_t count) override
    {
        std::copy(bytes, bytes + count, room(count));
        filled(count);
    }

    unsigned char *room(std::size_t count) override
    {
        (void)count;
        return volts_.codes.data() + filled_;
    }

    void filled(std::size_t count) override { filled_ += count; }

  private:
    CodedColumn &volts_;
    std::size_t filled_ = 0;
};

// The conversation of one maker, stopping at its first fault.
class Conversation
{
  public:
    Conversation(ScopeTalk &talk, CaptureResult &result) : talk_(talk), result_(result) {}

    bool send(const std::string &command) { return ok(talk_.send(command)); }

    std::optional<double> number(const std::string &command)
    {
        std::string reply;
        if (!ok(talk_.query(command, reply)))
            return std::nullopt;
        const std::optional<double> value = ReplyNumber(reply);
        if (!value)
            fail(CaptureFault::Of(CaptureFaultKind::BadReply, command, reply));
        return value;
    }

    std::optional<WavePreamble> preamble(const std::string &command)
    {
        std::string reply;
        if (!ok(talk_.query(command, reply)))
            return std::nullopt;
        const PreambleReading reading = ParsePreamble(reply);
        if (!reading.preamble) {
            CaptureFault fault = CaptureFault::Of(CaptureFaultKind::BadReply, command, reply);
            fault.expected = kPreambleFields;
            fault.received = static_cast<std::uint64_t>(reading.fields);
            fail(fault);
        }
        return reading.preamble;
    }

    // The record of block command, converted into volts.
    bool block(const std::string &command, const std::string &prefix, const ByteVolts &convert)
    {
        if (!Usable(convert)) {
            // Scale factors so large that a byte's volts are no number.
            fail(CaptureFault::Of(CaptureFaultKind::BadReply, command));
            return false;
        }
        CodedColumn &volts = result_.record.volts;
        VoltSink sink(convert, volts);
        if (!ok(talk_.queryBlock(command, prefix, kMaxCapturePoints, sink)))
            return false;
        if (volts.size() < kMinCapturePoints) {
            CaptureFault fault = CaptureFault::Of(CaptureFaultKind::TooFewPoints, command);
            fault.expected = volts.size();
            fail(fault);
            return false;
        }
        return true;
    }

    void fail(CaptureFault fault)
    {
        if (!result_.fault)
            result_.fault = std::move(fault);
    }

  private:
    bool ok(CaptureFault fault)
    {
        if (!fault)
            return true;
        fail(std::move(fault));
        return false;
    }

    ScopeTalk &talk_;
    CaptureResult &result_;
};

void Tektronix(Conversation &c, const std::string &k)
{
    if (!c.send("DATa:SOUrce CH" + k) || !c.send("DATa:ENCdg RIBinary") || !c.send("DATa:WIDth 1"))
        return;
    const std::string lengthQuery = "HORizontal:RECOrdlength?";
    const std::optional<double> length = c.number(lengthQuery);
    if (!length)
        return;
    if (*length != std::floor(*length) || *length < 1) {
        c.fail(CaptureFault::Of(CaptureFaultKind::BadReply, lengthQuery, std::to_string(*length)));
        return;
    }
    if (*length > static_cast<double>(kMaxCapturePoints)) {
        CaptureFault fault = CaptureFault::Of(CaptureFaultKind::TooManyPoints, lengthQuery);
        fault.expected = static_cast<std::uint64_t>(*length);
        c.fail(fault);
        return;
    }
    const auto stop = static_cast<std::uint64_t>(*length);
    if (!c.send("DATa:STARt 1") || !c.send("DATa:STOP " + std::to_string(stop)))
        return;
    const std::optional<double> ymult = c.number("WFMOutpre:YMUlt?");
    if (!ymult)
        return;
    const std::optional<double> yoff = c.number("WFMOutpre:YOFf?");
    if (!yoff)
        return;
    const std::optional<double> yzero = c.number("WFMOutpre:YZEro?");
    if (!yzero)
        return;
    c.block("CURVe?", {}, TektronixVolts(*ymult, *yoff, *yzero));
}

void Rigol(Conversation &c, const std::string &k)
{
    if (!c.send(":WAVeform:SOURce CHAN" + k) || !c.send(":WAVeform:MODE NORMal") ||
        !c.send(":WAVeform:FORMat BYTE"))
        return;
    if (const std::optional<WavePreamble> p = c.preamble(":WAVeform:PREamble?"))
        c.block(":WAVeform:DATA?", {}, RigolVolts(*p));
}

void Siglent(Conversation &c, const std::string &k)
{
    const std::string channel = "C" + k;
    const std::optional<double> vdiv = c.number(channel + ":VDIV?");
    if (!vdiv)
        return;
    const std::optional<double> ofst = c.number(channel + ":OFST?");
    if (!ofst)
        return;
    c.block(channel + ":WF? DAT2", channel + ":WF DAT2,", SiglentVolts(*vdiv, *ofst));
}

void Keysight(Conversation &c, const std::string &k)
{
    if (!c.send(":WAVeform:SOURce CHANnel" + k) || !c.send(":WAVeform:FORMat BYTE") ||
        !c.send(":WAVeform:POINts:MODE NORMal"))
        return;
    if (const std::optional<WavePreamble> p = c.preamble(":WAVeform:PREamble?"))
        c.block(":WAVeform:DATA?", {}, KeysightVolts(*p));
}

} // namespace

CaptureResult RunScopeCapture(ScopeTalk &talk, int channel)
{
    CaptureResult result;
    Conversation c(talk, result);
    std::string identification;
    if (CaptureFault fault = talk.query("*IDN?", identification)) {
        result.fault = std::move(fault);
        return result;
    }
    result.record.identification = identification;
    result.record.maker = IdentificationMaker(identification);
    const std::optional<ScopeMaker> maker = ScopeMakerOf(identification);
    if (!maker) {
        result.fault = CaptureFault::Of(CaptureFaultKind::UnknownMaker, "*IDN?", identification);
        return result;
    }
    const std::string k = std::to_string(channel);
    switch (*maker) {
    case ScopeMaker::Tektronix: Tektronix(c, k); break;
    case ScopeMaker::Rigol: Rigol(c, k); break;
    case ScopeMaker::Siglent: Siglent(c, k); break;
    case ScopeMaker::Keysight: Keysight(c, k); break;
    }
    if (result.fault)
        result.record.volts = {};
    return result;
}

} // namespace arb
