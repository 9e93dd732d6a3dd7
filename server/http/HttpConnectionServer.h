// httplib's server with this host's connection loop: requests are read through SocketStream (so
// M-POST parses), and each request's exchange state is reachable from the handlers, which can
// ask for the connection to close after the answer (when a body was left unread, say).
#ifndef CIMHOST_HttpConnectionServer_h
#define CIMHOST_HttpConnectionServer_h

#include <chrono>
#include <string>

#include <httplib.h>

namespace cimhost
{

struct ExchangeState
{
    std::chrono::steady_clock::time_point start; // when the request's first byte was there
    std::string peer;                            // "address:port"
    bool extendedMethod = false;                 // M-POST
    bool answered = false;                       // a handler of this host wrote the answer
    bool closeConnection = false;
    httplib::Request* request = nullptr; // once the request line and headers parsed

    // For the access log; an empty outcome is taken from the HTTP status.
    std::string operation = "-";
    std::string object = "-";
    std::string outcome;

    // Closes the connection after this answer, and says so in the answer.
    void closeAfterAnswer();
};

class HttpConnectionServer : public httplib::Server
{
public:
    // The exchange the calling thread is handling; null outside request handling.
    static ExchangeState* currentExchange();
    // True once stop() has closed the listening socket.
    bool stopping() const { return svr_sock_ == INVALID_SOCKET; }

private:
    bool process_and_close_socket(socket_t socket) override;
};

} // namespace cimhost

#endif
