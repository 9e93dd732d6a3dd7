// The event-driven HTTP/1.1 transport: listeners (plain or TLS) accept connections, every
// connection is read and written asynchronously on a few I/O threads, and only complete
// requests reach the service: a lone client's on the I/O thread that read it (see IoThreads),
// all others on a bounded pool of workers. A connection costs a socket and a buffer, never a thread,
// so idle or slow clients cannot starve the others.
#ifndef CIMHOST_HttpTransport_h
#define CIMHOST_HttpTransport_h

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "HttpService.h"

namespace cimhost
{

struct ListenerOptions
{
    std::string address = "127.0.0.1";
    int port = 0; // 0 picks a free port
    bool tls = false;
};

struct TransportOptions
{
    std::vector<ListenerOptions> listeners;
    std::string certificateFile; // PEM; needed when a listener speaks TLS
    std::string privateKeyFile;  // PEM

    size_t workers = 0;   // 0: twice the cores, at least 4
    // The threads that read, parse and write (and serve a lone client's requests, see IoThreads).
    size_t ioThreads = 1;

    std::chrono::milliseconds headerTimeout{10000};  // from the first byte of a request to its blank line
    std::chrono::milliseconds bodyTimeout{30000};    // for the body, and for the client to take the answer
    std::chrono::milliseconds idleTimeout{15000};    // a kept-alive connection waiting for its next request
    std::chrono::milliseconds requestTimeout{30000}; // at stop, for the requests in progress to finish
    size_t maxConnections = 1000;
    size_t maxHeaderBytes = 64 * 1024;
    size_t maxRequestBytes = 16 * 1024 * 1024;
};

// The worker count the default of TransportOptions::workers stands for.
size_t defaultWorkerCount();

class HttpTransport
{
public:
    HttpTransport(const TransportOptions& options, const HttpService& service);
    ~HttpTransport();
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    // Opens every listener (and the TLS context) and returns their ports in order; throws
    // StartupError naming what failed.
    std::vector<int> bind();
    // Serves until stop() has drained the connections. False when requests were still running
    // in the service when the request timeout ran out (their workers are still busy).
    bool serve();
    // From any thread: stops accepting, closes idle connections, answers requests that arrive
    // meanwhile with 503 and lets those in progress finish, within the request timeout.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
