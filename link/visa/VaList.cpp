#include "link/visa/VaList.h"

namespace arb::visa
{

ViStatus PrintfVia(VisaApi &visa, ViSession vi, ViConstString writeFmt, ...)
{
    va_list args;
    va_start(args, writeFmt);
    const ViStatus status = visa.viVPrintf(vi, writeFmt, args);
    va_end(args);
    return status;
}

ViStatus ScanfVia(VisaApi &visa, ViSession vi, ViConstString readFmt, ...)
{
    va_list args;
    va_start(args, readFmt);
    const ViStatus status = visa.viVScanf(vi, readFmt, args);
    va_end(args);
    return status;
}

} // namespace arb::visa
