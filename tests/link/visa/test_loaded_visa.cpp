#include "link/visa/LoadedVisa.h"
#include "link/visa/VaList.h"
#include "link/visa/VisaCommands.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace arb::visa
{
namespace
{

namespace fs = std::filesystem;

TEST(LoadedVisa, ALibraryWithoutTheEntryPointsIsPassedOver)
{
    // The C library loads but exports none of the ten functions.
    EXPECT_EQ(LoadedVisa::Load({"libc.so.6"}), nullptr);
    EXPECT_EQ(LoadedVisa::Load({"libno-such-visa-library.so"}), nullptr);
    EXPECT_EQ(LoadedVisa::Load({}), nullptr);
}

TEST(LoadedVisa, OnlyTheVendorsNamesAreTried)
{
    // Each name that is not installed costs a search of the loader's path
    // at start-up, so versions are not guessed.
    EXPECT_EQ(LoadedVisa::DefaultLibraryNames(),
              std::vector<std::string>({"libvisa.so.0", "libvisa.so", "libiovisa.so", "librsvisa.so"}));
}

// The stand-in library of this folder (fake_visa_library.c), which the
// build makes with the tests.
class FakeVisaLibrary : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(library)) << library << " was not built"; }

    const fs::path library = ARB_FAKE_VISA_LIBRARY;
};

TEST_F(FakeVisaLibrary, EveryOperationReachesTheLibrary)
{
    std::unique_ptr<LoadedVisa> visa = LoadedVisa::Load({"libno-such-visa-library.so", library.string()});
    ASSERT_NE(visa, nullptr);
    EXPECT_EQ(visa->libraryName(), library.string());

    // The same handle, to read what the library recorded.
    void *handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto lastCall = reinterpret_cast<const char *(*)()>(dlsym(handle, "fakeVisaLastCall"));
    auto lastValue = reinterpret_cast<ViAttrState (*)()>(dlsym(handle, "fakeVisaLastAttrValue"));
    ASSERT_NE(lastCall, nullptr);
    ASSERT_NE(lastValue, nullptr);

    ViSession rm = VI_NULL;
    EXPECT_EQ(visa->viOpenDefaultRM(&rm), VI_SUCCESS);
    EXPECT_EQ(rm, 7u);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char desc[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(visa->viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viFindRsrc 7 ?*INSTR");
    EXPECT_STREQ(desc, "USB0::0x1AB1::0x0588::FAKE::INSTR");
    EXPECT_EQ(visa->viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
    EXPECT_STREQ(lastCall(), "viFindNext 8");

    ViSession vi = VI_NULL;
    EXPECT_EQ(visa->viOpen(rm, "USB0::X::INSTR", 0, 0, &vi), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viOpen 7 USB0::X::INSTR 0 0");
    // The attribute value keeps its full width.
    const ViAttrState wide = sizeof(ViAttrState) == 8 ? ViAttrState(0x123456789ull) : ViAttrState(1000);
    EXPECT_EQ(visa->viSetAttribute(vi, VI_ATTR_TMO_VALUE, wide), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viSetAttribute 9 0x3FFF001A");
    EXPECT_EQ(lastValue(), wide);
    EXPECT_EQ(visa->viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viFlush 9 4");

    // Real argument lists pass through to the library.
    EXPECT_EQ(PrintfVia(*visa, vi, "*IDN?\n"), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viVPrintf 9 *IDN?\n");
    EXPECT_EQ(PrintfVia(*visa, vi, "%d-%s", 42, "ok"), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viVPrintf 9 42-ok");
    // The identification is read with VISA's own bounded "%t", which this
    // library sizes without the NUL; the C scanset it does not know.
    EXPECT_EQ(ReadReply(*visa, vi), "FAKE,VX48250,0,1.0");
    EXPECT_STREQ(lastCall(), "viVScanf 9 %#t");
    char reply[200] = {};
    EXPECT_EQ(ScanfVia(*visa, vi, "%199[^\n]", reply), VI_ERROR_NSUP_FMT);
    EXPECT_STREQ(reply, "");
    unsigned char bytes[8] = {};
    ViUInt32 got = 0;
    EXPECT_EQ(visa->viRead(vi, bytes, 8, &got), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viRead 9 8");
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(bytes), got), "#42\n");
    EXPECT_EQ(visa->viClose(vi), VI_SUCCESS);
    EXPECT_STREQ(lastCall(), "viClose 9");
    dlclose(handle);
}

} // namespace
} // namespace arb::visa
