#include "link/visa/PlatformVisa.h"

#include "link/visa/LoadedVisa.h"
#if !defined(_WIN32)
#include "link/visa/SocketVisa.h"
#include "link/visa/UsbtmcVisa.h"
#endif

namespace arb::visa
{

namespace
{

#if defined(_WIN32)
// Without a library every operation fails, so the program opens with no
// instrument listed.
class NoVisa final : public VisaApi
{
  public:
    ViStatus viOpenDefaultRM(ViPSession) override { return VI_ERROR_SYSTEM_ERROR; }
    ViStatus viFindRsrc(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar *) override
    {
        return VI_ERROR_INV_OBJECT;
    }
    ViStatus viFindNext(ViFindList, ViChar *) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viOpen(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViPSession) override
    {
        return VI_ERROR_INV_OBJECT;
    }
    ViStatus viClose(ViObject) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viSetAttribute(ViObject, ViAttr, ViAttrState) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viFlush(ViSession, ViUInt16) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viVPrintf(ViSession, ViConstString, ViVAList) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viVScanf(ViSession, ViConstString, ViVAList) override { return VI_ERROR_INV_OBJECT; }
    ViStatus viRead(ViSession, ViPBuf, ViUInt32, ViPUInt32) override { return VI_ERROR_INV_OBJECT; }
};
#endif

} // namespace

std::unique_ptr<VisaApi> OpenPlatformVisa()
{
    if (std::unique_ptr<LoadedVisa> library = LoadedVisa::Load(LoadedVisa::DefaultLibraryNames()))
        return library;
#if defined(_WIN32)
    return std::make_unique<NoVisa>();
#else
    return std::make_unique<SocketVisa>(std::make_unique<UsbtmcVisa>());
#endif
}

} // namespace arb::visa
