#pragma once

#include "link/visa/VisaApi.h"

#include <QString>
#include <memory>

namespace arb::cli
{

// The VISA layer the instrument commands use: the library ARB_VISA_LIBRARY
// names when it is set (a test's make-believe instruments, or one VISA
// library among several installed), otherwise the platform's, as the window
// uses. None, with the reason in error, when the library named does not load.
std::unique_ptr<visa::VisaApi> OpenInstrumentVisa(QString &error);

// The message when no instrument is found.
QString NoInstrumentText();

} // namespace arb::cli
