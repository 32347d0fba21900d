#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace arb
{

// Points of a stored oscilloscope trace, and the bytes of its reply: the
// block header "#42500", the points, and at least one line-end byte.
constexpr int kTracePoints = 2500;
constexpr char kTraceHeader[] = "#42500";
constexpr int kTraceHeaderBytes = sizeof kTraceHeader - 1;
constexpr int kTraceReplyBytes = kTraceHeaderBytes + kTracePoints;

// The identification request, "*IDN?" and the line-end byte.
QByteArray IdentifyCommand(int eol);

// The seven commands of a trace read, in the order they are written, each
// ending in the line-end byte: header off, the source, unsigned binary
// encoding, one byte per point, points 1 to 2500, and the curve request.
std::vector<QByteArray> TraceReadCommands(const QString &source, int eol);
// The same commands without their line ends.
std::vector<QByteArray> TraceReadCommandTexts(const QString &source);

// A received point byte as a waveform value: (b - 127) / 128, so 0x7F is 0
// and 0xFF is 1.
float TracePointValue(unsigned char byte);

} // namespace arb
