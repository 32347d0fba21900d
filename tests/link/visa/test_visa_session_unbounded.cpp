// A VisaSession opened for a long conversation: a time for the open, a
// timeout for each read and no bound on the whole.
#include "link/visa/VisaSession.h"
#include "tests/support/RecordingVisa.h"

#include <gtest/gtest.h>

using namespace arb;
using namespace arb::visa;
using arb::test::RecordingVisa;

TEST(VisaSessionWithoutBound, OpensWithItsTimesAndReadsOnAndOn)
{
    RecordingVisa visa;
    visa.messages.push_back(std::string(500, 'x'));
    {
        VisaSession session(visa, "TCPIP0::h::5025::SOCKET", 3000, 100);
        ASSERT_TRUE(session.isOpen());
        EXPECT_EQ(session.openStatus(), VI_SUCCESS);
        EXPECT_NE(session.handle(), VI_NULL);
        const std::string vi = std::to_string(session.handle());
        EXPECT_EQ(visa.count("viOpen 1 TCPIP0::h::5025::SOCKET 0 3000"), 1);
        EXPECT_EQ(visa.count("viSetAttribute " + vi + " 0x3FFF001A 100"), 1);
        // However many reads, none is refused for the time the whole has taken
        // and the timeout is never lowered.
        std::vector<ViByte> out;
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(session.readExactly(10, out)) << i;
        EXPECT_EQ(out.size(), 500u);
        EXPECT_TRUE(session.ended());
        EXPECT_EQ(visa.count("viSetAttribute"), 1);
    }
    // Both the session and its manager are closed.
    EXPECT_TRUE(visa.open.empty());
}

TEST(VisaSessionWithoutBound, TellsWhyItDidNotOpen)
{
    {
        RecordingVisa visa;
        visa.openRMStatus = VI_ERROR_SYSTEM_ERROR;
        VisaSession session(visa, "USB0::1::2::3::INSTR", 0, 100);
        EXPECT_FALSE(session.isOpen());
        EXPECT_EQ(session.openStatus(), VI_ERROR_SYSTEM_ERROR);
    }
    {
        RecordingVisa visa;
        visa.openStatus = VI_ERROR_MACHINE_NAVAIL;
        {
            VisaSession session(visa, "TCPIP0::h::1::SOCKET", 3000, 100);
            EXPECT_FALSE(session.isOpen());
            EXPECT_EQ(session.openStatus(), VI_ERROR_MACHINE_NAVAIL);
        }
        EXPECT_TRUE(visa.open.empty());
    }
    {
        RecordingVisa visa;
        visa.timeoutStatus = VI_ERROR_NSUP_ATTR;
        {
            VisaSession session(visa, "USB0::1::2::3::INSTR", 0, 100);
            EXPECT_FALSE(session.isOpen());
            EXPECT_EQ(session.openStatus(), VI_ERROR_NSUP_ATTR);
        }
        EXPECT_TRUE(visa.open.empty());
        EXPECT_EQ(visa.staleCloses, 0);
    }
}
