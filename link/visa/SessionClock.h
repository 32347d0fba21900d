#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace arb::visa
{

// The time deadlines and bounds are measured on, in milliseconds from an
// arbitrary start. Tests use a clock they can advance.
class SessionClock
{
  public:
    virtual ~SessionClock() = default;
    virtual qint64 nowMs() const = 0;
};

// A monotonic clock, so that a change of the system time moves no deadline.
class SteadySessionClock final : public SessionClock
{
  public:
    SteadySessionClock() { timer_.start(); }
    qint64 nowMs() const override { return timer_.elapsed(); }

  private:
    QElapsedTimer timer_;
};

} // namespace arb::visa
