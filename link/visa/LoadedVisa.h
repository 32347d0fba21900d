#pragma once

#include "link/visa/VisaApi.h"

#include <memory>
#include <string>
#include <vector>

namespace arb::visa
{

// The platform's VISA library, loaded at run time and bound through its
// standard C entry points.
class LoadedVisa final : public VisaApi
{
  public:
    // The names tried in order, each through the ordinary loader search.
    static std::vector<std::string> DefaultLibraryNames();

    // The first of names that loads and exports all ten functions, or null.
    static std::unique_ptr<LoadedVisa> Load(const std::vector<std::string> &names);

    ~LoadedVisa() override;
    LoadedVisa(const LoadedVisa &) = delete;
    LoadedVisa &operator=(const LoadedVisa &) = delete;

    // The name the library was loaded by.
    const std::string &libraryName() const { return name_; }

    ViStatus viOpenDefaultRM(ViPSession vi) override;
    ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                        ViChar desc[]) override;
    ViStatus viFindNext(ViFindList vi, ViChar desc[]) override;
    ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                    ViPSession vi) override;
    ViStatus viClose(ViObject vi) override;
    ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) override;
    ViStatus viFlush(ViSession vi, ViUInt16 mask) override;
    ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) override;
    ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) override;
    ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) override;

    struct Entries {
        ViStatus(ARB_VISA_CALL *openDefaultRM)(ViPSession);
        ViStatus(ARB_VISA_CALL *findRsrc)(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar *);
        ViStatus(ARB_VISA_CALL *findNext)(ViFindList, ViChar *);
        ViStatus(ARB_VISA_CALL *open)(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViPSession);
        ViStatus(ARB_VISA_CALL *close)(ViObject);
        ViStatus(ARB_VISA_CALL *setAttribute)(ViObject, ViAttr, ViAttrState);
        ViStatus(ARB_VISA_CALL *flush)(ViSession, ViUInt16);
        ViStatus(ARB_VISA_CALL *vPrintf)(ViSession, ViConstString, ViVAList);
        ViStatus(ARB_VISA_CALL *vScanf)(ViSession, ViConstString, ViVAList);
        ViStatus(ARB_VISA_CALL *read)(ViSession, ViPBuf, ViUInt32, ViPUInt32);
    };

  private:
    LoadedVisa(void *handle, std::string name, const Entries &entries);

    void *handle_;
    std::string name_;
    Entries f_;
};

} // namespace arb::visa
