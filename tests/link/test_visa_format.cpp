#include "link/ResourcePattern.h"
#include "link/VisaFormat.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(ReadFormat, OnlyBoundedStringConversions)
{
    ReadFormat parsed;
    ASSERT_EQ(ParseReadFormat("%199[^\n]", parsed), VI_SUCCESS);
    EXPECT_EQ(parsed.kind, ReadFormat::Kind::ToLineFeed);
    EXPECT_EQ(parsed.width, 199u);
    ASSERT_EQ(ParseReadFormat("%50t", parsed), VI_SUCCESS);
    EXPECT_EQ(parsed.kind, ReadFormat::Kind::ToEnd);
    EXPECT_EQ(parsed.width, 50u);
    EXPECT_EQ(ParseReadFormat("%t", parsed), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(ParseReadFormat("%5d", parsed), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(ParseReadFormat("x", parsed), VI_ERROR_NSUP_FMT);
}

TEST(ReadFormat, StoredReplyIsCutToTheWidth)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    ReadFormat line{ReadFormat::Kind::ToLineFeed, 6};
    StoreReply(line, "ABC\nDEF", buffer);
    EXPECT_STREQ(buffer, "ABC");
    StoreReply(line, "ABCDEFGHIJ\n", buffer);
    EXPECT_STREQ(buffer, "ABCDEF");
    EXPECT_EQ(buffer[7], '#');
    ReadFormat end{ReadFormat::Kind::ToEnd, 7};
    StoreReply(end, "AB\n", buffer);
    EXPECT_STREQ(buffer, "AB\n");
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
