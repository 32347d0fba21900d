#pragma once

#include "link/visa/VisaTypes.h"

namespace arb::visa
{

// The VISA operations the generator link and the oscilloscope's USB link use.
// The platform's library (LoadedVisa), the built-in usbtmc backend
// (UsbtmcVisa) and the tests' doubles implement it; the controllers see only
// this interface. As in VISA itself, different sessions may be used from
// different threads at once.
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
    // Raw bytes, up to cnt: VI_SUCCESS when the message ended (END),
    // VI_SUCCESS_TERM_CHAR at the termination character, VI_SUCCESS_MAX_CNT
    // when cnt bytes came first. On a timeout retCnt still counts the bytes
    // that came.
    virtual ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) = 0;
};

} // namespace arb::visa
