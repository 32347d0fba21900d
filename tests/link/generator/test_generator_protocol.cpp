#include "link/generator/DownloadChunk.h"
#include "link/generator/GeneratorName.h"
#include "link/visa/VisaCommands.h"
#include "tests/support/RecordingVisa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace arb
{
namespace
{

using visa::EscapeFormatText;
using visa::ReadReply;
using visa::ResourceNameFrom;

std::string Digits(float value, double scale)
{
    ArbStore store;
    store.ArbData[0] = value;
    store.ArbScale = scale;
    ArbHexTable table;
    PointToHex(store, 0, table);
    std::string text;
    table.appendDigits(0, text);
    return text;
}

TEST(PointToHex, CodesOfTheReferenceValues)
{
    EXPECT_EQ(Digits(1.0f, 1.0), "7FFF");
    EXPECT_EQ(Digits(0.5f, 1.0), "4000"); // 16383.5 rounds to even
    EXPECT_EQ(Digits(0.0f, 1.0), "0000");
    EXPECT_EQ(Digits(-0.5f, 1.0), "C000");
    EXPECT_EQ(Digits(-1.0f, 1.0), "8001");
    EXPECT_EQ(Digits(-0.25f, 2.0), "C000"); // -16383.5 rounds to even
}

TEST(PointToHex, ValuesBeyondFullScaleAreHeldToIt)
{
    EXPECT_EQ(Digits(1.0001f, 1.0), "7FFF");
    EXPECT_EQ(Digits(2.5f, 1.0), "7FFF");
    EXPECT_EQ(Digits(-1.0001f, 1.0), "8001");
    EXPECT_EQ(Digits(-40.0f, 1.0), "8001");
    EXPECT_EQ(Digits(0.6f, 2.0), "7FFF");
    EXPECT_EQ(PointCode(std::numeric_limits<float>::quiet_NaN(), 1.0), 0u);
}

TEST(PointToHex, RoundingAgreesWithRoundHalfEvenEverywhere)
{
    for (int k = -200000; k <= 200000; ++k) {
        const float value = static_cast<float>(k) / 200000.0f;
        for (double scale : {1.0, 1.0 / 0.3, 4.0}) {
            double v = std::clamp(static_cast<double>(value) * scale, -1.0, 1.0);
            int reference = RoundHalfEven(v * 32767.0);
            if (reference < 0)
                reference += 65536;
            ASSERT_EQ(PointCode(value, scale), static_cast<unsigned>(reference)) << value << " " << scale;
        }
    }
}

struct Download {
    ArbStore store;
    ArbHexTable table;
    std::vector<Chunk> chunks;

    void run(const std::string &name, const std::string &count)
    {
        ChooseDownloadScale(store);
        for (int pass = 0;; ++pass) {
            chunks.push_back(BuildChunk(store, table, pass, name, count));
            if (chunks.back().last || pass > 20)
                break;
        }
    }
};

TEST(DownloadChunk, FourPointExampleIsFortyThreeBytes)
{
    Download d;
    d.store.ArbLength = 4;
    d.store.ArbData[0] = 0.0f;
    d.store.ArbData[1] = 0.5f;
    d.store.ArbData[2] = 0.0f;
    d.store.ArbData[3] = -0.25f;
    d.store.ArbData[4] = 0.9f; // beyond the length: not part of the waveform
    d.run("ArbNo0", "4");
    EXPECT_DOUBLE_EQ(d.store.ArbScale, 2.0);
    ASSERT_EQ(d.chunks.size(), 1u);
    const std::string wire = EscapeFormatText(d.chunks[0].text) + "\n";
    EXPECT_EQ(wire, "DATA:ARB:DAC ArbNo0,4,00007FFF0000C000 END\n");
    EXPECT_EQ(wire.size(), 43u);
}

TEST(DownloadChunk, TwentyFiveHundredPointsInThreeCommands)
{
    Download d;
    d.store.ArbLength = 2500;
    d.run("ArbNo0", "2500");
    ASSERT_EQ(d.chunks.size(), 3u);
    const std::string zeros4000(4000, '0');
    EXPECT_EQ(d.chunks[0].text, "DATA:ARB:DAC ArbNo0,2500," + zeros4000);
    EXPECT_EQ(d.chunks[1].text, "DATA:ARB:DAC " + zeros4000);
    EXPECT_EQ(d.chunks[2].text, "DATA:ARB:DAC " + std::string(2000, '0') + " END");
    EXPECT_FALSE(d.chunks[0].last);
    EXPECT_FALSE(d.chunks[1].last);
    EXPECT_DOUBLE_EQ(d.store.ArbScale, 1.0); // all zero: unscaled
}

TEST(DownloadChunk, ChunkBoundaries)
{
    Download exact;
    exact.store.ArbLength = 1000;
    exact.run("ArbNo0", "1000");
    ASSERT_EQ(exact.chunks.size(), 1u);
    EXPECT_EQ(exact.chunks[0].text.size(), std::string("DATA:ARB:DAC ArbNo0,1000,").size() + 4000 + 4);

    Download over;
    over.store.ArbLength = 1001;
    over.store.ArbData[1000] = -1.0f;
    over.run("ArbNo0", "1001");
    ASSERT_EQ(over.chunks.size(), 2u);
    EXPECT_EQ(over.chunks[1].text, "DATA:ARB:DAC 8001 END");

    Download full;
    full.store.ArbLength = 16384;
    full.run("ArbNo0", "16384");
    ASSERT_EQ(full.chunks.size(), 17u);
    EXPECT_EQ(full.chunks[16].text, "DATA:ARB:DAC " + std::string(384 * 4, '0') + " END");
}

TEST(DownloadChunk, LastPassNumber)
{
    EXPECT_EQ(LastPassNumber(4), 0);
    EXPECT_EQ(LastPassNumber(999), 0);
    EXPECT_EQ(LastPassNumber(1000), 0);
    EXPECT_EQ(LastPassNumber(1001), 1);
    EXPECT_EQ(LastPassNumber(2500), 2);
    EXPECT_EQ(LastPassNumber(16384), 16);
    EXPECT_EQ(LastPassNumber(0), 0);
}

TEST(DownloadChunk, ScalingStretchesAPeakBelowFullScale)
{
    Download d;
    d.store.ArbLength = 4;
    d.store.ArbData = {};
    d.store.ArbData[1] = 0.25f;
    d.store.ArbData[2] = -0.1f;
    d.run("A", "4");
    EXPECT_DOUBLE_EQ(d.store.ArbScale, 4.0);
    EXPECT_EQ(d.chunks[0].text.substr(std::string("DATA:ARB:DAC A,4,").size(), 8), "00007FFF");

    Download trough;
    trough.store.ArbLength = 4;
    trough.store.ArbData[0] = 0.2f;
    trough.store.ArbData[3] = -0.5f;
    trough.run("A", "4");
    EXPECT_DOUBLE_EQ(trough.store.ArbScale, 2.0);
    EXPECT_EQ(trough.chunks[0].text, "DATA:ARB:DAC A,4,333300000000" + std::string("8001") + " END");
}

TEST(DownloadChunk, AWaveformReachingFullScaleIsSentUnscaled)
{
    for (float extreme : {1.0f, -1.0f}) {
        Download d;
        d.store.ArbLength = 4;
        d.store.ArbData[0] = extreme;
        d.store.ArbData[1] = 0.01f * -extreme;
        d.run("A", "4");
        EXPECT_DOUBLE_EQ(d.store.ArbScale, 1.0) << extreme;
    }
    Download beyond;
    beyond.store.ArbLength = 4;
    beyond.store.ArbData[0] = 1.5f;
    beyond.store.ArbData[1] = -3.0f;
    beyond.run("A", "4");
    EXPECT_EQ(beyond.chunks[0].text, "DATA:ARB:DAC A,4,7FFF800100000000 END");
}

TEST(DownloadChunk, FieldsAreTakenAsTheyStand)
{
    Download d;
    d.store.ArbLength = 4;
    d.run("", "4");
    EXPECT_EQ(d.chunks[0].text.rfind("DATA:ARB:DAC ,4,", 0), 0u);
}

TEST(DownloadChunk, APassBeyondAShortenedWaveformEndsTheTransfer)
{
    ArbStore store;
    ArbHexTable table;
    store.ArbLength = 3000;
    EXPECT_FALSE(BuildChunk(store, table, 1, "A", "3000").last);
    store.ArbLength = 1500; // shortened while the transfer runs
    const Chunk c = BuildChunk(store, table, 2, "A", "3000");
    EXPECT_TRUE(c.last);
    EXPECT_EQ(c.text, "DATA:ARB:DAC  END");
    store.ArbLength = 2100;
    const Chunk partial = BuildChunk(store, table, 2, "A", "3000");
    EXPECT_EQ(partial.text, "DATA:ARB:DAC " + std::string(400, '0') + " END");
}

TEST(PercentCaption, TwoDecimalsOfTheSinglePrecisionRatio)
{
    EXPECT_EQ(PercentCaption(1, 3), "33.33%");
    EXPECT_EQ(PercentCaption(2, 3), "66.67%");
    EXPECT_EQ(PercentCaption(0, 1), "0.00%");
    EXPECT_EQ(PercentCaption(1, 1), "100.00%");
    EXPECT_EQ(PercentCaption(0, 0), "0.00%");
    const char *seventeenths[] = {"5.88%",  "11.76%", "17.65%", "23.53%", "29.41%", "35.29%",
                                  "41.18%", "47.06%", "52.94%", "58.82%", "64.71%", "70.59%",
                                  "76.47%", "82.35%", "88.24%", "94.12%"};
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(PercentCaption(k, 17), seventeenths[k - 1]) << k;
}

TEST(GeneratorCommands, FormatCharactersAreEscaped)
{
    EXPECT_EQ(EscapeFormatText("*IDN?"), "*IDN?");
    EXPECT_EQ(EscapeFormatText("A%d\\n"), "A%%d\\\\n");
    EXPECT_EQ(NameCommand("3", "WAVE1"), "SYSTEM:ARB NAME 3 WAVE1");
}

TEST(GeneratorCommands, ANameCommandIsMadeOnlyOfOneToSixLettersOrDigits)
{
    for (const char *name : {"A", "ArbNo0", "z9Z0aB", "123456"}) {
        EXPECT_TRUE(IsGeneratorName(name)) << name;
        EXPECT_EQ(NameCommand("0", name), std::string("SYSTEM:ARB NAME 0 ") + name);
    }
    // Each of these would end the name early or start a command of its own.
    const std::string bad[] = {"",     "A;*RST", "AB,CD\r\n", "ABCDEFG", "A B",  " AB",
                               "AB\n", "WAVE%d", "A\\B",      "名称",    "\xff", std::string("AB\0C", 4),
                               "A\tB", "AB-C",   "ArbNo0\r"};
    for (const std::string &name : bad) {
        EXPECT_FALSE(IsGeneratorName(name)) << name;
        EXPECT_FALSE(NameCommand("0", name).has_value()) << name;
    }
    // The slot is a decimal number, nothing else.
    for (const char *slot : {"", "3;", "-1", " 3", "3 X", "\n"})
        EXPECT_FALSE(NameCommand(slot, "WAVE1").has_value()) << slot;
    EXPECT_EQ(NameCommand("10", "WAVE1"), "SYSTEM:ARB NAME 10 WAVE1");
}

TEST(GeneratorCommands, TheIdentificationIsReadWithTheSizedTConversion)
{
    test::RecordingVisa visa;
    visa::ViSession rm = 0, vi = 0;
    ASSERT_EQ(visa.viOpenDefaultRM(&rm), visa::VI_SUCCESS);
    ASSERT_EQ(visa.viOpen(rm, "USB0::1::INSTR", 0, 0, &vi), visa::VI_SUCCESS);
    visa.reply = "VX,VX48250,1,2\r\n";
    EXPECT_EQ(ReadReply(visa, vi), "VX,VX48250,1,2");
    EXPECT_EQ(visa.calls.back(), "viVScanf " + std::to_string(vi) + " %#t");
    // A long reply fits the 200-byte buffer whichever way the library
    // counts the size.
    visa.reply = std::string(300, 'M');
    EXPECT_EQ(ReadReply(visa, vi), std::string(198, 'M'));
    visa.sizeCountsNul = visa::SizeCountsNul::No;
    EXPECT_EQ(ReadReply(visa, vi), std::string(199, 'M'));
    // A short reply comes whole, without its line end.
    visa.reply = "ID\n";
    EXPECT_EQ(ReadReply(visa, vi), "ID");
    // A failed read gives nothing.
    EXPECT_EQ(ReadReply(visa, vi + 10), "");
}

TEST(GeneratorCommands, ResourceNamesAreKeptWhole)
{
    // A USB name with a long serial number and an interface number.
    const std::string usb = "USB0::0x1AB1::0x0588::DG1ZA123456789012345678901234567890::0::INSTR";
    std::vector<char> desc(visa::VI_FIND_BUFLEN, '\0');
    std::copy(usb.begin(), usb.end(), desc.begin());
    EXPECT_EQ(ResourceNameFrom(desc.data()), usb);
    // All of a full buffer, when the library wrote no NUL after it.
    std::string longest(visa::VI_FIND_BUFLEN, 'X');
    longest.replace(0, 4, "USB0");
    std::vector<char> full(longest.begin(), longest.end());
    full.push_back('Y'); // past the buffer
    EXPECT_EQ(ResourceNameFrom(full.data()), longest);
}

} // namespace
} // namespace arb
