#include "link/visa/ResourcePattern.h"
#include "link/visa/VisaFormat.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <utility>

namespace arb::visa
{
namespace
{

TEST(ExpandWriteFormat, PercentAndBackslashSequences)
{
    std::string bytes;
    ASSERT_EQ(ExpandWriteFormat("A%%B\\\\C\\nD\n", bytes), VI_SUCCESS);
    EXPECT_EQ(bytes, "A%B\\C\nD\n");
    EXPECT_EQ(ExpandWriteFormat("%d", bytes), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(ExpandWriteFormat("tail%", bytes), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(ExpandWriteFormat("tail\\", bytes), VI_ERROR_NSUP_FMT);
}

TEST(ReadFormat, OnlyTheTConversions)
{
    ReadFormat parsed;
    ASSERT_EQ(ParseReadFormat("%t", parsed), VI_SUCCESS);
    EXPECT_EQ(parsed.bound, ReadFormat::Bound::None);
    ASSERT_EQ(ParseReadFormat("%#t", parsed), VI_SUCCESS);
    EXPECT_EQ(parsed.bound, ReadFormat::Bound::Argument);
    ASSERT_EQ(ParseReadFormat("%50t", parsed), VI_SUCCESS);
    EXPECT_EQ(parsed.bound, ReadFormat::Bound::Width);
    EXPECT_EQ(parsed.width, 50u);
    for (const char *other : {"%199[^\n]", "%199[^\\n]", "%s", "%199s", "%#s", "%0t", "%5d", "%tx", "x"})
        EXPECT_EQ(ParseReadFormat(other, parsed), VI_ERROR_NSUP_FMT) << other;
}

// ScanReply with a real argument list.
void Scan(const char *format, SizeCountsNul counts, const char *reply, ...)
{
    ReadFormat parsed;
    ASSERT_EQ(ParseReadFormat(format, parsed), VI_SUCCESS);
    va_list args;
    va_start(args, reply);
    ScanReply(parsed, reply, args, counts);
    va_end(args);
}

TEST(ReadFormat, StoredReplyKeepsToItsBound)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    Scan("%6t", SizeCountsNul::Yes, "ABCDEFGHIJ\n", buffer);
    EXPECT_STREQ(buffer, "ABCDEF");
    EXPECT_EQ(buffer[7], '#');
    // Plain "%t" has no bound: the whole reply, its line end included.
    Scan("%t", SizeCountsNul::Yes, "AB\n", buffer);
    EXPECT_STREQ(buffer, "AB\n");

    // "%#t": the size in, the count out, with either convention; nothing
    // is written past the NUL.
    for (auto [counts, stored] :
         {std::pair{SizeCountsNul::Yes, "ABCDE"}, std::pair{SizeCountsNul::No, "ABCDEF"}}) {
        std::memset(buffer, '#', sizeof buffer);
        ViInt32 size = 6;
        Scan("%#t", counts, "ABCDEFGHIJ", &size, buffer);
        EXPECT_STREQ(buffer, stored);
        EXPECT_EQ(size, static_cast<ViInt32>(std::strlen(stored)));
        EXPECT_EQ(buffer[std::strlen(stored) + 1], '#');
        EXPECT_EQ(buffer[7], '#');
    }
    // A reply shorter than the size: all of it, and its own count.
    for (SizeCountsNul counts : {SizeCountsNul::Yes, SizeCountsNul::No}) {
        ViInt32 size = 6;
        Scan("%#t", counts, "AB", &size, buffer);
        EXPECT_STREQ(buffer, "AB");
        EXPECT_EQ(size, 2);
    }
    // No room at all: nothing is written, and the count is 0.
    ViInt32 size = 0;
    Scan("%#t", SizeCountsNul::Yes, "AB", &size, buffer + 7);
    EXPECT_EQ(buffer[7], '#');
    for (ViInt32 none : {0, -5}) {
        std::memset(buffer, '#', sizeof buffer);
        size = none;
        Scan("%#t", SizeCountsNul::No, "AB", &size, buffer);
        EXPECT_EQ(buffer[0], '#');
        EXPECT_EQ(size, 0);
    }
}

TEST(ResourcePattern, WildcardsAndCase)
{
    EXPECT_TRUE(MatchesResourcePattern("?*INSTR", "USB0::0x1AB1::0x0588::DG1::INSTR"));
    EXPECT_TRUE(MatchesResourcePattern("?*instr", "USB0::0x1AB1::0x0588::DG1::INSTR"));
    EXPECT_FALSE(MatchesResourcePattern("?*INSTR", "INSTR"));
    EXPECT_FALSE(MatchesResourcePattern("?*INSTR", "USB0::1::RAW"));
    EXPECT_TRUE(MatchesResourcePattern("USB?*::INSTR", "USB0::A::INSTR"));
    EXPECT_FALSE(MatchesResourcePattern("ASRL?*INSTR", "USB0::A::INSTR"));
    EXPECT_TRUE(MatchesResourcePattern("*", ""));
    EXPECT_TRUE(SameResourceName("usb0::0x1ab1::INSTR", "USB0::0x1AB1::instr"));
    EXPECT_FALSE(SameResourceName("USB0::A", "USB0::AB"));
}

} // namespace
} // namespace arb::visa
