#pragma once

#include "link/visa/VisaApi.h"

#include <string>
#include <vector>

namespace arb::visa
{

// The USB instruments a find with "?*INSTR" reports on the resource manager
// rm, in the order found: the first name from viFindRsrc, each next one from
// viFindNext, which is called after every name, the last included. Names
// that do not begin with "USB" are passed over; a count beyond any real bus
// is not walked to its end. The find list is left open. Returns the status
// of viFindRsrc; on failure names is empty.
ViStatus FindUsbResources(VisaApi &visa, ViSession rm, std::vector<std::string> &names);

// The same on a resource manager of its own, closed again before it returns;
// nothing when the manager cannot be opened or nothing is found.
std::vector<std::string> ListUsbResources(VisaApi &visa);

} // namespace arb::visa
