#include "HttpConnectionServer.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "SocketStream.h"

namespace cimhost
{
namespace
{

thread_local ExchangeState* tCurrentExchange = nullptr;

class CurrentExchange
{
public:
    explicit CurrentExchange(ExchangeState& state) { tCurrentExchange = &state; }
    ~CurrentExchange() { tCurrentExchange = nullptr; }
    CurrentExchange(const CurrentExchange&) = delete;
    CurrentExchange& operator=(const CurrentExchange&) = delete;
};

std::chrono::milliseconds duration(time_t seconds, time_t microseconds)
{
    return std::chrono::milliseconds(seconds * 1000 + microseconds / 1000);
}

} // namespace

void ExchangeState::closeAfterAnswer()
{
    closeConnection = true;
    // httplib writes "Connection: close" when the request asked for it.
    if (request)
    {
        request->headers.erase("Connection");
        request->set_header("Connection", "close");
    }
}

ExchangeState* HttpConnectionServer::currentExchange()
{
    return tCurrentExchange;
}

bool HttpConnectionServer::process_and_close_socket(socket_t socket)
{
    // httplib writes an answer's head and body separately: without this the body waits for the
    // client's delayed acknowledgement of the head.
    const int noDelay = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
    SocketStream stream(socket, duration(read_timeout_sec_, read_timeout_usec_),
                        duration(write_timeout_sec_, write_timeout_usec_));
    std::string address;
    int port = 0;
    stream.get_remote_ip_and_port(address, port);
    const std::string peer = address + ":" + std::to_string(port);
    const auto stopping = [this] { return this->stopping(); };

    bool written = true;
    for (size_t left = keep_alive_max_count_; left > 0 && written; --left)
    {
        if (!stream.awaitRequest(std::chrono::seconds(keep_alive_timeout_sec_), stopping)) break;
        ExchangeState state;
        state.start = std::chrono::steady_clock::now();
        state.peer = peer;
        CurrentExchange current(state);
        bool clientClosing = false;
        written = process_request(stream, left == 1, clientClosing,
                                  [&](httplib::Request& request)
                                  {
                                      state.request = &request;
                                      state.extendedMethod = stream.extendedMethod();
                                  });
        if (clientClosing || state.closeConnection) break;
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
    return written;
}

} // namespace cimhost
