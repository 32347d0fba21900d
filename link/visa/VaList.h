#pragma once

#include "link/visa/VisaApi.h"

namespace arb::visa
{

// viVPrintf and viVScanf take a real va_list; these build one from their
// own arguments, as the variadic viPrintf and viScanf of the library do.
ViStatus PrintfVia(VisaApi &visa, ViSession vi, ViConstString writeFmt, ...);
ViStatus ScanfVia(VisaApi &visa, ViSession vi, ViConstString readFmt, ...);

} // namespace arb::visa
