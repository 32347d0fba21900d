#pragma once

#include "tests/support/peers/SimulatedScope.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

namespace arb::test
{

// How a served scope sends its replies.
struct ScopeDelivery {
    // Each reply in pieces of this many bytes (0: in one write), with a
    // pause of pieceDelayUs between them.
    std::size_t pieceBytes = 0;
    int pieceDelayUs = 0;
    // The reply of this query stops after stallAfter bytes and goes on
    // only when the server stops or the peer closes.
    std::string stallOn;
    std::size_t stallAfter = 0;
    // The connection is closed after closeAfter bytes of this reply.
    std::string closeOn;
    std::size_t closeAfter = 0;
};

// Plays scope on the open descriptor fd (a socket or a terminal's master
// side): reads commands up to their line feeds and answers them as
// delivery says, until the peer closes, a close is played, or stop is set.
void ServeScope(int fd, SimulatedScope &scope, const ScopeDelivery &delivery, const std::atomic<bool> &stop);

// A simulated scope listening on 127.0.0.1, on a port of the system's
// choosing, in a thread of its own; it serves one connection after
// another until it goes.
class ScopeServer
{
  public:
    explicit ScopeServer(SimulatedScope scope, ScopeDelivery delivery = {});
    ~ScopeServer();
    ScopeServer(const ScopeServer &) = delete;
    ScopeServer &operator=(const ScopeServer &) = delete;

    bool listening() const { return listener_ >= 0; }
    std::uint16_t port() const { return port_; }
    // "TCPIP0::127.0.0.1::port::SOCKET"
    std::string resource() const;
    SimulatedScope &scope() { return scope_; }
    int connections() const { return connections_.load(); }

  private:
    void run();

    SimulatedScope scope_;
    ScopeDelivery delivery_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

// A port on 127.0.0.1 held bound but not listening while the object
// lives: a connection to it is refused.
class RefusingPort
{
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort &) = delete;
    RefusingPort &operator=(const RefusingPort &) = delete;

    std::uint16_t port() const { return port_; }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace arb::test
