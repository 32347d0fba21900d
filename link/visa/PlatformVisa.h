#pragma once

#include "link/visa/VisaApi.h"

#include <memory>

namespace arb::visa
{

// The platform's VISA library when one is installed, otherwise (on Linux)
// the built-in usbtmc backend with raw network sockets in front of it.
std::unique_ptr<VisaApi> OpenPlatformVisa();

} // namespace arb::visa
