#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace arb
{

// The time the link's deadlines are set and judged against, in milliseconds
// from an arbitrary start. Tests use a clock they can advance.
class ScopeClock
{
  public:
    virtual ~ScopeClock() = default;
    virtual qint64 nowMs() const = 0;
};

// A monotonic clock, so that a change of the system time moves no deadline.
class SteadyScopeClock final : public ScopeClock
{
  public:
    SteadyScopeClock() { timer_.start(); }
    qint64 nowMs() const override { return timer_.elapsed(); }

  private:
    QElapsedTimer timer_;
};

} // namespace arb
