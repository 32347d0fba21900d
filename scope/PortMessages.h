#pragma once

#include "scope/SerialPortIo.h"

#include <QString>

namespace arb
{

// Title and texts of the oscilloscope link's message boxes.
QString ScopeFailureTitle();     // "失败!"
QString ScopeReadFailureTitle(); // "失败1"
QString IdentifyFailedMessage(); // no identification reply
QString TraceFailedMessage();    // short trace reply

// Why the port (label "COM1", device "/dev/ttyUSB0") did not open. The device
// is named only where it differs from the label.
QString PortOpenFailedMessage(PortOpenResult result, const QString &label, const QString &device);

// A command could not be written: the port is closed, or it refused the bytes.
QString PortClosedMessage(const QString &label);
QString PortWriteFailedMessage(const QString &label);

} // namespace arb
