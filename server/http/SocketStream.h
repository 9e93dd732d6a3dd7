// The httplib stream over one accepted connection: buffered reads and writes with timeouts,
// and the request-line rewrite that lets httplib (which knows no M-POST) parse an M-POST as
// the POST it extends, while the exchange learns that it was one.
#ifndef CIMHOST_SocketStream_h
#define CIMHOST_SocketStream_h

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include <httplib.h>

namespace cimhost
{

class SocketStream : public httplib::Stream
{
public:
    SocketStream(int socket, std::chrono::milliseconds readTimeout, std::chrono::milliseconds writeTimeout);

    // Waits for the first byte of the next request, at most idleTimeout, giving up early when
    // stopping() turns true. Then arms the M-POST check for that request's first line.
    bool awaitRequest(std::chrono::milliseconds idleTimeout, const std::function<bool()>& stopping);
    // Whether the current request's method was M-POST (its line was handed on as POST).
    bool extendedMethod() const { return _extendedMethod; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* data, size_t size) override;
    ssize_t write(const char* data, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return _socket; }

private:
    bool waitFor(short events, std::chrono::milliseconds timeout) const;
    ssize_t fill();
    void checkRequestLine();

    int _socket;
    std::chrono::milliseconds _readTimeout;
    std::chrono::milliseconds _writeTimeout;
    std::array<char, 4096> _buffer{};
    size_t _begin = 0;
    size_t _end = 0;
    bool _atRequestStart = false;
    bool _extendedMethod = false;
};

} // namespace cimhost

#endif
