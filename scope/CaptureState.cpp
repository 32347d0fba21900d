#include "scope/CaptureState.h"

#include "scope/ScopeDeadlines.h"
#include "scope/TdsCommands.h"

namespace arb
{

QString CaptureState::PercentText(double percent)
{
    return QString::number(percent, 'f', 2) + QLatin1Char('%');
}

void CaptureState::beginIdentify(qint64 nowMs, const QString &baudText)
{
    ScopePhase = 0;
    ScopeReplyDone = false;
    ScopeDeadline = nowMs + 1000LL * IdentifyDeadlineSeconds(baudText);
    ScopeByteCount = 0;
    awaiting_ = true;
    traceTaken_ = false;
}

void CaptureState::beginTrace(qint64 nowMs, const QString &baudText)
{
    ScopePhase = 1;
    ScopeReplyDone = false;
    ScopeByteCount = 0;
    ScopeDeadline = nowMs + 1000LL * TraceDeadlineSeconds(baudText);
    awaiting_ = true;
    traceTaken_ = false;
    spoiled_ = false;
    points_.resize(kTracePoints);
}

CaptureState::IdentifyProgress CaptureState::receiveIdentify(const QByteArray &bytes, int eol)
{
    IdentifyProgress p;
    const int n = static_cast<int>(bytes.size());
    p.maximum = n < 1 ? 1 : n;
    for (int t = 0; t < n; ++t) {
        p.value = t;
        if (static_cast<unsigned char>(bytes[t]) == eol) {
            ScopeReplyDone = true;
            p.value = p.maximum;
            p.identified = awaiting_;
            awaiting_ = false;
            break;
        }
    }
    return p;
}

CaptureState::TraceProgress CaptureState::receiveTrace(const QByteArray &bytes, int eol)
{
    TraceProgress p;
    if (ScopeByteCount >= kTraceHeaderBytes + 1)
        p.percentBefore = PercentText(ScopeByteCount / static_cast<double>(kTraceReplyBytes) * 100.0);
    for (const char byte : bytes) {
        if (traceTaken_ || spoiled_)
            break;
        const int c = ScopeByteCount;
        if (c >= kTraceReplyBytes) {
            takeLineEnd(byte, eol, p);
            break;
        }
        if (c >= kTraceHeaderBytes) {
            points_[c - kTraceHeaderBytes] = byte;
            ScopeByteCount = c + 1;
        } else if (byte == kTraceHeader[c]) {
            ScopeByteCount = c + 1;
        } else {
            // Not the header after all: the search for "#" starts again,
            // with this byte.
            ScopeByteCount = byte == kTraceHeader[0] ? 1 : 0;
        }
    }
    if (ScopeByteCount >= kTraceHeaderBytes + 1)
        p.value = ScopeByteCount - kTraceHeaderBytes;
    return p;
}

void CaptureState::takeLineEnd(char byte, int eol, TraceProgress &p)
{
    if (static_cast<unsigned char>(byte) != eol) {
        spoiled_ = true;
        return;
    }
    ScopeReplyDone = true;
    p.complete = true;
    traceTaken_ = true;
    awaiting_ = false;
}

CaptureState::Verdict CaptureState::judge(qint64 nowMs)
{
    if (nowMs < ScopeDeadline)
        return Verdict::Wait;
    awaiting_ = false;
    if (ScopePhase == 0)
        return ScopeReplyDone ? Verdict::Identified : Verdict::IdentifyFailed;
    if (!ScopeReplyDone)
        return Verdict::TraceFailed;
    traceTaken_ = true;
    return Verdict::TraceComplete;
}

} // namespace arb
