#pragma once

#include "scope/CaptureFault.h"
#include "scope/ScopeAddress.h"

#include <QString>
#include <string>

namespace arb
{

// The title of every message of "从示波器导入".
QString CaptureTitle();

// What the user is told of a refused address.
QString AddressFaultMessage(AddressFault fault);

// What the user is told of a failed capture from resource: the maker (the
// first field of the identification, empty when none came) and the command
// whose reply failed are named where the fault lies in a reply; stallMs is
// the time a reply may make no progress. Empty for a cancelled capture.
QString CaptureFaultMessage(const CaptureFault &fault, const std::string &maker, const std::string &resource,
                            unsigned stallMs);

} // namespace arb
