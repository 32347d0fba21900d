#pragma once

#include "link/VisaApi.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

namespace arb
{

// Session timeouts of the oscilloscope's USB link, in milliseconds: the
// identification as the serial link's one second, the trace 5 s per read.
constexpr visa::ViUInt32 kUsbIdentifyTimeoutMs = 1000;
constexpr visa::ViUInt32 kUsbTraceTimeoutMs = 5000;

// The two conversations with a TDS or TBS oscilloscope on its USB device
// port (USBTMC), through the VISA layer. Each opens a resource manager and a
// session on the resource, and closes both before it returns. They block for
// as long as the instrument takes (each read up to the session timeout), so
// the window runs them off its own thread.

// "*IDN?" and a line feed, then the reply: true once a line feed has come.
bool IdentifyUsbScope(visa::VisaApi &visa, const std::string &resource);

// The seven trace-read commands, each ending in a line feed, then the curve
// as a definite-length block, read in full: "#", one digit d (1 to 9), d
// digits of the length n, n data bytes and a line end. progress is told the
// data bytes received so far, up to 2500. True with the first 2500 data bytes
// in points; a block that is malformed, holds fewer than 2500 bytes, or ends
// before its line end gives false.
bool ReadUsbScopeTrace(visa::VisaApi &visa, const std::string &resource, const QString &source,
                       const std::function<void(int)> &progress, QByteArray &points);

} // namespace arb
