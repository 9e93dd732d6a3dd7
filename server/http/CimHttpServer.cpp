#include "CimHttpServer.h"

namespace cimhost
{
namespace
{

ListenerOptions listener(const std::string& address, int port, bool tls)
{
    ListenerOptions options;
    options.address = address;
    options.port = port == ANY_PORT ? 0 : port;
    options.tls = tls;
    return options;
}

} // namespace

CimHttpServer::CimHttpServer(const HttpServerOptions& options, Dispatcher& dispatcher,
                             Authenticate authenticate)
    : _service(dispatcher, options.decoder, std::move(authenticate), options.stream), _options(options)
{
    TransportOptions transport = options.transport;
    transport.listeners.clear();
    if (options.port != 0) transport.listeners.push_back(listener(options.bindAddress, options.port, false));
    if (options.httpsPort != 0)
        transport.listeners.push_back(listener(options.bindAddress, options.httpsPort, true));
    _transport = std::make_unique<HttpTransport>(transport, _service);
}

CimHttpServer::~CimHttpServer() = default;

CimHttpServer::Ports CimHttpServer::bind()
{
    const std::vector<int> bound = _transport->bind();
    Ports ports;
    size_t next = 0;
    if (_options.port != 0) ports.http = bound.at(next++);
    if (_options.httpsPort != 0) ports.https = bound.at(next++);
    return ports;
}

bool CimHttpServer::serve()
{
    return _transport->serve();
}

void CimHttpServer::stop()
{
    _transport->stop();
}

} // namespace cimhost
