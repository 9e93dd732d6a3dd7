#include "SocketStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

namespace cimhost
{
namespace
{

const char EXTENDED_POST[] = "M-POST ";
const size_t EXTENDED_POST_LENGTH = sizeof(EXTENDED_POST) - 1;
// Waiting for the next request wakes this often to notice that the server is stopping.
const std::chrono::milliseconds STOP_CHECK_INTERVAL(50);

void addressOf(int socket, bool peer, std::string& ip, int& port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    const int result = peer ? ::getpeername(socket, raw, &length) : ::getsockname(socket, raw, &length);
    char host[NI_MAXHOST] = "";
    char service[NI_MAXSERV] = "";
    if (result != 0 || ::getnameinfo(raw, length, host, sizeof(host), service, sizeof(service),
                                     NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    {
        ip.clear();
        port = 0;
        return;
    }
    ip = host;
    port = std::atoi(service);
}

} // namespace

SocketStream::SocketStream(int socket, std::chrono::milliseconds readTimeout,
                           std::chrono::milliseconds writeTimeout)
    : _socket(socket), _readTimeout(readTimeout), _writeTimeout(writeTimeout)
{
}

bool SocketStream::waitFor(short events, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{_socket, events, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(std::max<long long>(0, left.count())));
        // Hang-ups and errors count as ready: the following recv or send reports them.
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool SocketStream::awaitRequest(std::chrono::milliseconds idleTimeout, const std::function<bool()>& stopping)
{
    _extendedMethod = false;
    const auto deadline = std::chrono::steady_clock::now() + idleTimeout;
    bool ready = _begin < _end; // a pipelined request is already buffered
    while (!ready)
    {
        if (stopping())
        {
            // A request already sent is still taken, to be refused; an idle connection closes.
            ready = waitFor(POLLIN, std::chrono::milliseconds(0));
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        ready = waitFor(POLLIN, std::min(left, STOP_CHECK_INTERVAL));
    }
    _atRequestStart = ready;
    return ready;
}

bool SocketStream::is_readable() const
{
    return _begin < _end || waitFor(POLLIN, _readTimeout);
}

bool SocketStream::is_writable() const
{
    return waitFor(POLLOUT, _writeTimeout);
}

ssize_t SocketStream::fill()
{
    if (_begin == _end)
    {
        _begin = _end = 0;
    }
    else if (_end == _buffer.size())
    {
        std::memmove(_buffer.data(), _buffer.data() + _begin, _end - _begin);
        _end -= _begin;
        _begin = 0;
    }
    if (!waitFor(POLLIN, _readTimeout)) return -1;
    ssize_t received;
    do
        received = ::recv(_socket, _buffer.data() + _end, _buffer.size() - _end, 0);
    while (received < 0 && errno == EINTR);
    if (received > 0) _end += static_cast<size_t>(received);
    return received;
}

void SocketStream::checkRequestLine()
{
    _atRequestStart = false;
    const auto buffered = [this] { return _end - _begin; };
    const auto couldBeExtended = [&]
    {
        return std::memcmp(_buffer.data() + _begin, EXTENDED_POST,
                           std::min(buffered(), EXTENDED_POST_LENGTH)) == 0;
    };
    while (buffered() < EXTENDED_POST_LENGTH && couldBeExtended())
        if (fill() <= 0) return;
    if (buffered() >= EXTENDED_POST_LENGTH && couldBeExtended())
    {
        _begin += 2; // "M-POST " becomes "POST "
        _extendedMethod = true;
    }
}

ssize_t SocketStream::read(char* data, size_t size)
{
    if (_atRequestStart) checkRequestLine();
    if (_begin == _end)
    {
        const ssize_t received = fill();
        if (received <= 0) return received;
    }
    const size_t count = std::min(size, _end - _begin);
    std::memcpy(data, _buffer.data() + _begin, count);
    _begin += count;
    return static_cast<ssize_t>(count);
}

ssize_t SocketStream::write(const char* data, size_t size)
{
    if (!is_writable()) return -1;
    ssize_t sent;
    do
        sent = ::send(_socket, data, size, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent;
}

void SocketStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    addressOf(_socket, true, ip, port);
}

void SocketStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    addressOf(_socket, false, ip, port);
}

} // namespace cimhost
