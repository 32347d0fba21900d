#pragma once

#include "scope/CaptureState.h"
#include "scope/PortNames.h"
#include "scope/ScopeClock.h"
#include "scope/ScopeComm.h"
#include "scope/ScopeTransport.h"

class QTimer;

namespace arb
{

struct ScopeSettings;

// A TDS oscilloscope on a serial port. A request is written in one go and its
// reply taken as it arrives: the identification on its line end, the trace
// on the line end after its 2500 points. The timer Timer_TDS (500 ms) judges
// a request its reply has not settled once its deadline has passed; a trace
// that completes after that is still reported.
class SerialTds final : public ScopeTransport
{
    Q_OBJECT
  public:
    SerialTds(const ScopeSettings &settings, SerialPortIo &port, PortNameResolver portName,
              const ScopeClock &clock, QObject *parent = nullptr);

    // Start-up: DTR and RTS on for the next opening; no request under way.
    void startUp();

    // Opens the port anew with the settings, then "*IDN?".
    QString identify() override;
    // The seven trace-read commands, back to back.
    QString readTrace(const QString &source) override;
    // While open, the port is closed and opened again on the new number.
    QString followPort() override;
    // Closes the port.
    void close() override;
    bool pending() const override;

    // The deadline check, at each tick of Timer_TDS.
    void judge();

    const CaptureState &state() const { return state_; }
    const ScopeComm &comm() const { return comm_; }
    QTimer *timer() const { return timer_; }

  private:
    // What has arrived, taken as the reply of the request under way.
    void received();
    // Writes one command; empty, or why it could not be written (a failing
    // port is closed).
    QString send(const QByteArray &bytes);

    const ScopeSettings &settings_;
    const ScopeClock &clock_;
    ScopeComm comm_;
    CaptureState state_;
    QTimer *timer_ = nullptr;
};

} // namespace arb
