#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace arb::visa
{

// One TCP connection through the system's sockets. Every call waits at
// most the time it is given; none blocks beyond it.
class TcpSocket
{
  public:
    enum class Result {
        Ok,
        HostNotFound, // the name does not resolve
        Refused,      // nothing listens there
        TimedOut,     // no progress within the time given
        Closed,       // the peer closed the connection
        Failed,       // any other error of the system
    };

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket &&other) noexcept;
    TcpSocket &operator=(TcpSocket &&other) noexcept;
    TcpSocket(const TcpSocket &) = delete;
    TcpSocket &operator=(const TcpSocket &) = delete;

    // Connects to host (a name, an IPv4 or an IPv6 address) on port,
    // trying each address the name has until one answers or timeoutMs has
    // passed in all.
    static Result Connect(const std::string &host, std::uint16_t port, int timeoutMs, TcpSocket &socket);

    bool isOpen() const { return fd_ >= 0; }
    void close();

    // Writes all of bytes, waiting at most timeoutMs for room each time the
    // system's buffer is full.
    Result writeAll(const void *bytes, std::size_t count, int timeoutMs);

    // Reads what has arrived, up to count bytes, waiting at most timeoutMs
    // for the first of them; got counts the bytes read. TimedOut with got
    // 0 when nothing came.
    Result readSome(void *buffer, std::size_t count, int timeoutMs, std::size_t &got);

  private:
    explicit TcpSocket(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace arb::visa
