#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace arb
{

// The state of one request to the oscilloscope: which request it was, how
// much of its reply has come, and when it is judged. It holds no port and no
// controls; the caller feeds it the received bytes and the time, and shows
// the progress it returns.
class CaptureState
{
  public:
    enum class Verdict {
        Wait,           // the deadline has not come yet
        Identified,     // identification line received
        IdentifyFailed, // no line end in time
        TraceComplete,  // the block of 2500 points and its line end received
        TraceFailed,    // the trace reply is short or malformed
    };

    struct IdentifyProgress {
        int maximum = 1;
        std::optional<int> value;
        // The line end came while the request awaited its verdict: it is
        // identified now, and its deadline no longer counts.
        bool identified = false;
    };
    struct TraceProgress {
        // Percent text of the count before these bytes, once past the header.
        std::optional<QString> percentBefore;
        // Points received so far, once past the header.
        std::optional<int> value;
        // The reply has just become complete and was not taken yet: it is
        // taken now, also when its deadline has already failed it.
        bool complete = false;
    };

    // 0 identification, 1 trace read.
    int ScopePhase = 0;
    bool ScopeReplyDone = false;
    int ScopeByteCount = 0;
    // On the link's clock, in milliseconds.
    qint64 ScopeDeadline = 0;

    // A new identification or trace request, made at nowMs at the baud rate
    // given as text.
    void beginIdentify(qint64 nowMs, const QString &baudText);
    void beginTrace(qint64 nowMs, const QString &baudText);

    // The identification phase waits only for the line-end byte. A line end
    // after the verdict changes nothing.
    IdentifyProgress receiveIdentify(const QByteArray &bytes, int eol);

    // The trace phase skips whatever precedes the block header "#42500",
    // keeps the 2500 bytes after it, and counts the reply complete on the
    // line-end byte eol that follows them: only then are the points (points())
    // a trace, so a reply that never completes gives none. Another byte in
    // place of the line end spoils the reply. Bytes after the end are not
    // counted.
    TraceProgress receiveTrace(const QByteArray &bytes, int eol);

    // The point bytes of the current trace reply, as far as they came.
    const QByteArray &points() const { return points_; }

    // Wait before the deadline; afterwards the verdict on a request that
    // was not settled by its reply already.
    Verdict judge(qint64 nowMs);

    // "12.34%".
    static QString PercentText(double percent);

  private:
    void takeLineEnd(char byte, int eol, TraceProgress &p);

    // The point bytes of the current trace reply, as they arrive.
    QByteArray points_;
    // The byte after the points was not the line end: the reply cannot
    // complete.
    bool spoiled_ = false;
    // The request has had no verdict yet.
    bool awaiting_ = false;
    // The completed trace of this request has been taken; bytes that follow
    // its end do not take it again.
    bool traceTaken_ = false;
};

} // namespace arb
