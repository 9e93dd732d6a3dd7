// The host's serving side: the CIM service on the HTTP transport, over HTTP, HTTPS or both.
#ifndef CIMHOST_CimHttpServer_h
#define CIMHOST_CimHttpServer_h

#include <memory>
#include <string>

#include "CimHttpService.h"
#include "Dispatcher.h"
#include "HttpTransport.h"

namespace cimhost
{

// A port option's value that asks for any free port (tests and scripts read the one chosen
// from the listening line); 0 means the protocol is not served.
const int ANY_PORT = -1;

struct HttpServerOptions
{
    std::string bindAddress = "127.0.0.1";
    int port = 5988;   // plain HTTP; 0: none
    int httpsPort = 0; // HTTPS; 0: none (5989 by convention)
    // Timeouts, limits, workers, certificate and key; its listeners are filled from the above.
    TransportOptions transport;
    DecoderLimits decoder;
    StreamLimits stream; // how long enumerations are answered as they are made
};

class CimHttpServer
{
public:
    // Without authenticate, requests are served anonymously.
    CimHttpServer(const HttpServerOptions& options, Dispatcher& dispatcher,
                  Authenticate authenticate = nullptr);
    ~CimHttpServer();

    struct Ports
    {
        int http = 0; // 0 when not served
        int https = 0;
    };
    // Listens; throws StartupError naming what failed.
    Ports bind();
    // Serves until stop(); false when requests were still in the providers at the request timeout.
    bool serve();
    // From any thread or a signal watcher: see HttpTransport::stop.
    void stop();

private:
    CimHttpService _service;
    HttpServerOptions _options;
    std::unique_ptr<HttpTransport> _transport;
};

} // namespace cimhost

#endif
