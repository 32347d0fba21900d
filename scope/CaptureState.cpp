#include "scope/CaptureState.h"

#include "core/ArbStore.h"
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

CaptureState::TraceProgress CaptureState::receiveTrace(const QByteArray &bytes, ArbStore &store)
{
    TraceProgress p;
    if (ScopeByteCount >= kTraceHeaderBytes + 1)
        p.percentBefore = PercentText(ScopeByteCount / static_cast<double>(kTraceReplyBytes) * 100.0);
    for (const char byte : bytes) {
        const int c = ScopeByteCount;
        if (c >= kTraceReplyBytes) {
            ScopeReplyDone = true;
            p.complete = !traceTaken_;
            traceTaken_ = true;
            awaiting_ = false;
            break;
        }
        if (c >= kTraceHeaderBytes)
            store.ArbData[c - kTraceHeaderBytes] = TracePointValue(static_cast<unsigned char>(byte));
        ScopeByteCount = c + 1;
    }
    if (ScopeByteCount >= kTraceHeaderBytes + 1)
        p.value = ScopeByteCount - kTraceHeaderBytes;
    return p;
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
