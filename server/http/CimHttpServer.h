// CIM operations over HTTP: POST and M-POST to /cimom, header checks against the body, HTTP
// faults with the CIMError header, keep-alive, a bounded thread pool, one access-log line per
// request on standard error.
#ifndef CIMHOST_CimHttpServer_h
#define CIMHOST_CimHttpServer_h

#include <memory>
#include <string>

#include "Dispatcher.h"

namespace cimhost
{

struct HttpServerOptions
{
    std::string bindAddress = "127.0.0.1";
    int port = 5988; // 0 picks a free port
    size_t threads = 8;
    size_t maxRequestBytes = 16 * 1024 * 1024; // larger bodies get 413 before they are read
};

class CimHttpServer
{
public:
    CimHttpServer(const HttpServerOptions& options, Dispatcher& dispatcher);
    ~CimHttpServer();

    // Binds and returns the port, or throws StartupError.
    int bind();
    // Serves until stop() is called (from another thread or a signal watcher).
    void serve();
    // Stops accepting and closes idle connections; a request that arrives on an open connection
    // is answered 503. serve() returns once the requests in flight are answered.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
