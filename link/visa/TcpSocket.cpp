#include "link/visa/TcpSocket.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace arb::visa
{

namespace
{

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// Waits for events on fd until end: 1 ready, 0 timed out, -1 failed.
int WaitFor(int fd, short events, Clock::time_point end)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, MillisecondsUntil(end));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready < 0 ? -1 : (ready > 0 ? 1 : 0);
    }
}

// One address: connected, refused, timed out or failed.
TcpSocket::Result ConnectOne(const addrinfo &address, Clock::time_point end, int &fd)
{
    fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
    if (fd < 0)
        return TcpSocket::Result::Failed;
    int result = ::connect(fd, address.ai_addr, address.ai_addrlen);
    if (result < 0 && errno == EINPROGRESS) {
        const int ready = WaitFor(fd, POLLOUT, end);
        if (ready <= 0) {
            ::close(fd);
            fd = -1;
            return ready == 0 ? TcpSocket::Result::TimedOut : TcpSocket::Result::Failed;
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        errno = error;
        result = error == 0 ? 0 : -1;
    }
    if (result < 0) {
        const int error = errno;
        ::close(fd);
        fd = -1;
        if (error == ETIMEDOUT)
            return TcpSocket::Result::TimedOut;
        return error == ECONNREFUSED ? TcpSocket::Result::Refused : TcpSocket::Result::Failed;
    }
    // Commands are short and each waits for its reply: send them at once.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return TcpSocket::Result::Ok;
}

} // namespace

TcpSocket::~TcpSocket()
{
    close();
}

TcpSocket::TcpSocket(TcpSocket &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TcpSocket &TcpSocket::operator=(TcpSocket &&other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void TcpSocket::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

TcpSocket::Result TcpSocket::Connect(const std::string &host, std::uint16_t port, int timeoutMs,
                                     TcpSocket &socket)
{
    socket.close();
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
    addrinfo *addresses = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses) != 0 || !addresses)
        return Result::HostNotFound;
    Result result = Result::Failed;
    for (const addrinfo *a = addresses; a; a = a->ai_next) {
        int fd = -1;
        result = ConnectOne(*a, end, fd);
        if (result == Result::Ok) {
            socket = TcpSocket(fd);
            break;
        }
        if (result == Result::TimedOut)
            break;
    }
    ::freeaddrinfo(addresses);
    return result;
}

TcpSocket::Result TcpSocket::writeAll(const void *bytes, std::size_t count, int timeoutMs)
{
    if (fd_ < 0)
        return Result::Closed;
    const auto *at = static_cast<const char *>(bytes);
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (count > 0) {
        const ssize_t n = ::send(fd_, at, count, MSG_NOSIGNAL);
        if (n > 0) {
            at += n;
            count -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int ready = WaitFor(fd_, POLLOUT, end);
            if (ready == 0)
                return Result::TimedOut;
            if (ready < 0)
                return Result::Failed;
            continue;
        }
        return errno == EPIPE || errno == ECONNRESET ? Result::Closed : Result::Failed;
    }
    return Result::Ok;
}

TcpSocket::Result TcpSocket::readSome(void *buffer, std::size_t count, int timeoutMs, std::size_t &got)
{
    got = 0;
    if (fd_ < 0)
        return Result::Closed;
    if (count == 0)
        return Result::Ok;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, count, 0);
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return Result::Ok;
        }
        if (n == 0)
            return Result::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return errno == ECONNRESET ? Result::Closed : Result::Failed;
        const int ready = WaitFor(fd_, POLLIN, end);
        if (ready == 0)
            return Result::TimedOut;
        if (ready < 0)
            return Result::Failed;
    }
}

} // namespace arb::visa
