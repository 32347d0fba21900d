#pragma once

#include "link/visa/VisaApi.h"
#include "scope/ScopeClock.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

namespace arb
{

// How long each conversation with the oscilloscope's USB link may take as a
// whole, in milliseconds: the identification as the serial link's one
// second, the trace 5 s. Every read and write is given what is left of it,
// so a device that answers a byte at a time cannot hold one for longer.
constexpr visa::ViUInt32 kUsbIdentifyTimeoutMs = 1000;
constexpr visa::ViUInt32 kUsbTraceTimeoutMs = 5000;

// The two conversations with a TDS or TBS oscilloscope on its USB device
// port (USBTMC), through the VISA layer. Each opens a resource manager and a
// session on the resource, and closes both before it returns. They block for
// as long as the instrument takes, within their bound on clock, so the window
// runs them off its own thread.

// "*IDN?" and a line feed, then the reply: true once a line feed has come.
bool IdentifyUsbScope(visa::VisaApi &visa, const std::string &resource, const ScopeClock &clock);

// The seven trace-read commands, each ending in a line feed, then the curve
// as a definite-length block, read in full: "#", one digit d (1 to 9), d
// digits of the length n, n data bytes and one line feed that ends the
// message. progress is told the data bytes received so far, up to 2500.
// True with the first 2500 data bytes in points; a block that is malformed,
// holds fewer than 2500 bytes, ends before its line feed or has anything
// else in its place or after it gives false.
bool ReadUsbScopeTrace(visa::VisaApi &visa, const std::string &resource, const QString &source,
                       const std::function<void(int)> &progress, QByteArray &points, const ScopeClock &clock);

} // namespace arb
