#include "HttpTransport.h"

#include <algorithm>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>

#include "AccessLog.h"
#include "HttpSession.h"
#include "IoThreads.h"
#include "ProviderManager.h"
#include "TlsContext.h"

namespace cimhost
{

namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace
{

// When accept fails (out of descriptors, say), it is retried after this pause, not at once.
const std::chrono::milliseconds ACCEPT_RETRY(100);
const char OVER_CAPACITY[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n"
                             "Retry-After: 1\r\n\r\n";

struct Listener
{
    Listener(net::io_context& io, const ListenerOptions& options) : options(options), acceptor(io), retry(io)
    {
    }

    ListenerOptions options;
    tcp::acceptor acceptor;
    net::steady_timer retry;
};

} // namespace

size_t defaultWorkerCount()
{
    return std::max<size_t>(4, 2 * std::max(1u, std::thread::hardware_concurrency()));
}

struct HttpTransport::Impl
{
    Impl(const TransportOptions& options, const HttpService& service)
        : options(options), workers(options.workers == 0 ? defaultWorkerCount() : options.workers),
          shared(this->options, service, workers, ioThreads), stopTimer(io), ioThreads(io, options.ioThreads)
    {
    }
    ~Impl()
    {
        // Workers hold references to the shared state: they finish before it goes.
        workers.join();
    }

    void accept(Listener& listener);
    void onAccepted(Listener& listener, tcp::socket socket);
    void beginStop();

    // Destroyed bottom up: the connections still queued in io go before the state they share.
    const TransportOptions options;
    net::thread_pool workers;
    SessionShared shared;
    net::io_context io;
    std::unique_ptr<net::ssl::context> tls;
    std::vector<std::unique_ptr<Listener>> listeners;
    net::steady_timer stopTimer;
    // Joined first: its threads run io and serve requests of the connections.
    IoThreads ioThreads;
};

void HttpTransport::Impl::accept(Listener& listener)
{
    listener.acceptor.async_accept(net::make_strand(io),
                                   [this, &listener](const error_code& ec, tcp::socket socket)
                                   {
                                       if (ec == net::error::operation_aborted ||
                                           !listener.acceptor.is_open())
                                           return;
                                       if (ec)
                                       {
                                           writeRefusalLine("-", "-", "accept failed: " + ec.message(),
                                                            std::chrono::steady_clock::now());
                                           listener.retry.expires_after(ACCEPT_RETRY);
                                           listener.retry.async_wait(
                                               [this, &listener](const error_code& waited)
                                               {
                                                   if (!waited) accept(listener);
                                               });
                                           return;
                                       }
                                       onAccepted(listener, std::move(socket));
                                       accept(listener);
                                   });
}

void HttpTransport::Impl::onAccepted(Listener& listener, tcp::socket socket)
{
    if (shared.openConnections() >= options.maxConnections)
    {
        // Answered at once and closed, never left waiting; a TLS client learns it from the close.
        error_code ignored;
        if (!listener.options.tls)
        {
            socket.non_blocking(true, ignored);
            socket.send(net::buffer(OVER_CAPACITY, sizeof(OVER_CAPACITY) - 1), 0, ignored);
        }
        writeRefusalLine(peerOf(socket), listener.options.tls ? "closed" : "HTTP 503",
                         "connection limit reached (" + std::to_string(options.maxConnections) + " open)",
                         std::chrono::steady_clock::now());
        socket.close(ignored);
        return;
    }
    error_code ignored;
    socket.set_option(tcp::no_delay(true), ignored);
    std::shared_ptr<HttpSession> session = listener.options.tls
                                               ? makeTlsSession(std::move(socket), *tls, shared)
                                               : makePlainSession(std::move(socket), shared);
    shared.add(session);
    session->start();
}

void HttpTransport::Impl::beginStop()
{
    for (auto& listener : listeners)
    {
        error_code ignored;
        listener->acceptor.close(ignored);
        listener->retry.cancel();
    }
    shared.onDrained([this] { net::post(io, [this] { stopTimer.cancel(); }); });
    const auto open = shared.openSessions();
    if (open.empty()) return;
    for (const auto& session : open)
        session->notifyStopping();
    // Requests in progress get the request timeout; then serving ends whatever is left.
    stopTimer.expires_after(options.requestTimeout);
    stopTimer.async_wait(
        [this](const error_code& ec)
        {
            if (!ec) io.stop();
        });
}

HttpTransport::HttpTransport(const TransportOptions& options, const HttpService& service)
    : _impl(std::make_unique<Impl>(options, service))
{
}

HttpTransport::~HttpTransport() = default;

std::vector<int> HttpTransport::bind()
{
    std::vector<int> ports;
    for (const ListenerOptions& wanted : _impl->options.listeners)
    {
        if (wanted.tls && !_impl->tls)
            _impl->tls = makeServerTlsContext(_impl->options.certificateFile, _impl->options.privateKeyFile);
        auto listener = std::make_unique<Listener>(_impl->io, wanted);
        const std::string where = wanted.address + ":" + std::to_string(wanted.port);
        error_code ec;
        const net::ip::address address = net::ip::make_address(wanted.address, ec);
        if (ec) throw StartupError("cannot listen on " + where + ": not an IP address");
        const tcp::endpoint endpoint(address, static_cast<unsigned short>(wanted.port));
        tcp::acceptor& acceptor = listener->acceptor;
        acceptor.open(endpoint.protocol(), ec);
        if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
        if (!ec) acceptor.bind(endpoint, ec);
        if (!ec) acceptor.listen(net::socket_base::max_listen_connections, ec);
        if (ec) throw StartupError("cannot listen on " + where + ": " + ec.message());
        ports.push_back(acceptor.local_endpoint().port());
        _impl->accept(*listener);
        _impl->listeners.push_back(std::move(listener));
    }
    return ports;
}

bool HttpTransport::serve()
{
    _impl->ioThreads.run();
    return _impl->shared.requestsInService == 0;
}

void HttpTransport::stop()
{
    if (_impl->shared.stopping.exchange(true)) return;
    net::post(_impl->io, [impl = _impl.get()] { impl->beginStop(); });
}

} // namespace cimhost
