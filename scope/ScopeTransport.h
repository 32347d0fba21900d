#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace arb
{

// One way to a TDS oscilloscope: its serial port (SerialTds) or its USB
// device port (UsbTds). A transport asks the instrument to identify itself,
// reads the 2500 point bytes of a trace, and ends the link; it reports what
// comes back, and never writes the waveform: what a trace becomes is its
// caller's. It reads its settings from the oscilloscope settings it was
// given, at each request.
class ScopeTransport : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    ~ScopeTransport() override = default;

    // Asks the instrument to identify itself, opening the link first where
    // it has one to open. Empty when the request went out; otherwise why
    // not, and the link cannot be used.
    virtual QString identify() = 0;
    // Asks for the trace of the source ("CH1" ...); as identify().
    virtual QString readTrace(const QString &source) = 0;
    // The chosen port changed: a link that is open follows it at once.
    // Empty, or why the link could not follow.
    virtual QString followPort() { return QString(); }
    // Ends the link: a request under way is abandoned, and nothing more of
    // it is reported.
    virtual void close() = 0;
    // A request awaits its answer.
    virtual bool pending() const = 0;

    // The instrument has identified itself since the link was last closed.
    bool connected() const { return connected_; }

  signals:
    // A request is out and nothing of its reply can be counted yet.
    void waiting();
    // From now on the reply is counted out of maximum.
    void counting(int maximum);
    // Of the identification reply, value bytes of maximum have come.
    void identifyProgress(int value, int maximum);
    void identified();
    void identifyFailed();
    // Points of the trace received so far, and the share received as a
    // percent text ("12.34%"), when there is one to show.
    void traceProgress(int points, const QString &percent);
    // The trace is complete: its 2500 point bytes, as they came.
    void traceRead(const QByteArray &points);
    void traceFailed();

  protected:
    void setConnected(bool connected) { connected_ = connected; }

  private:
    bool connected_ = false;
};

} // namespace arb
