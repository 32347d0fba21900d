#pragma once

#include "link/VisaTypes.h"

namespace arb::visa
{

// The nine VISA operations the generator link uses. The platform's library
// (LoadedVisa), the built-in usbtmc backend (UsbtmcVisa) and the tests'
// doubles implement it; the controller sees only this interface.
//
// Name buffers passed to the find operations hold VI_FIND_BUFLEN characters.
class VisaApi
{
  public:
    virtual ~VisaApi() = default;

    virtual ViStatus viOpenDefaultRM(ViPSession vi) = 0;
    virtual ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                                ViChar desc[]) = 0;
    virtual ViStatus viFindNext(ViFindList vi, ViChar desc[]) = 0;
    virtual ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                            ViPSession vi) = 0;
    virtual ViStatus viClose(ViObject vi) = 0;
    virtual ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) = 0;
    virtual ViStatus viFlush(ViSession vi, ViUInt16 mask) = 0;
    virtual ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) = 0;
    virtual ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) = 0;
};

} // namespace arb::visa
