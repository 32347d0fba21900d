#include "tests/support/peers/ScopeServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace arb::test
{

namespace
{

// Waits up to 20 ms for events on fd: true when they came.
bool Ready(int fd, short events)
{
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, 20) > 0;
}

// Writes all of bytes unless stop is set or the peer goes.
bool WriteAll(int fd, const char *bytes, std::size_t count, const std::atomic<bool> &stop)
{
    while (count > 0) {
        if (stop.load())
            return false;
        if (!Ready(fd, POLLOUT))
            continue;
        // A socket whose peer has gone must not raise SIGPIPE; a terminal
        // takes a plain write.
        ssize_t n = ::send(fd, bytes, count, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK)
            n = ::write(fd, bytes, count);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

void ServeScope(int fd, SimulatedScope &scope, const ScopeDelivery &delivery, const std::atomic<bool> &stop)
{
    std::string received;
    char buffer[4096];
    while (!stop.load()) {
        if (!Ready(fd, POLLIN))
            continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return;
        received.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t lf; (lf = received.find('\n')) != std::string::npos;) {
            const std::string command = received.substr(0, lf);
            received.erase(0, lf + 1);
            const std::string *reply = scope.answer(command);
            if (!reply)
                continue;
            std::size_t length = reply->size();
            const bool stall = command == delivery.stallOn;
            const bool close = command == delivery.closeOn;
            if (stall)
                length = std::min(length, delivery.stallAfter);
            if (close)
                length = std::min(length, delivery.closeAfter);
            const std::size_t piece = delivery.pieceBytes ? delivery.pieceBytes : length;
            for (std::size_t at = 0; at < length; at += piece) {
                if (!WriteAll(fd, reply->data() + at, std::min(piece, length - at), stop))
                    return;
                if (delivery.pieceDelayUs && at + piece < length)
                    std::this_thread::sleep_for(std::chrono::microseconds(delivery.pieceDelayUs));
            }
            if (close)
                return;
            if (stall) {
                // Holds the reply until the peer goes or the server stops.
                while (!stop.load()) {
                    if (Ready(fd, POLLIN) && ::read(fd, buffer, sizeof buffer) <= 0)
                        return;
                }
                return;
            }
        }
    }
}

ScopeServer::ScopeServer(SimulatedScope scope, ScopeDelivery delivery)
    : scope_(std::move(scope)), delivery_(std::move(delivery))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

ScopeServer::~ScopeServer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
}

std::string ScopeServer::resource() const
{
    return "TCPIP0::127.0.0.1::" + std::to_string(port_) + "::SOCKET";
}

void ScopeServer::run()
{
    while (!stop_.load()) {
        if (!Ready(listener_, POLLIN))
            continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++connections_;
        ServeScope(client, scope_, delivery_, stop_);
        ::close(client);
    }
}

RefusingPort::RefusingPort()
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace arb::test
