#include "ExportListener.h"

#include <chrono>
#include <list>

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "ExportRequest.h"
#include "Failures.h"

namespace scsctl
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace
{

// An indication is a few kilobytes; this bounds what a stray sender can make us hold.
const std::uint64_t BODY_LIMIT = 8u << 20;
// A sender keeps its connection between indications; one idle this long is closed (it opens another).
const std::chrono::minutes IDLE_LIMIT{10};

} // namespace

struct ExportListener::Impl : std::enable_shared_from_this<Impl>
{
    Impl(net::io_context& io, Handler handler) : acceptor(io), handler(std::move(handler)) {}

    struct Connection;

    tcp::acceptor acceptor;
    Handler handler;
    std::function<void()> answered;
    std::list<std::weak_ptr<Connection>> connections;
    std::size_t accepted = 0;
    std::size_t taken = 0;
    std::size_t refused = 0;

    void accept();
    ExportReply answer(const http::request<http::string_body>& request);
};

struct ExportListener::Impl::Connection : std::enable_shared_from_this<Connection>
{
    Connection(tcp::socket socket, std::shared_ptr<Impl> owner)
        : stream(std::move(socket)), owner(std::move(owner))
    {
    }

    beast::tcp_stream stream;
    std::shared_ptr<Impl> owner;
    beast::flat_buffer buffer;
    std::unique_ptr<http::request_parser<http::string_body>> parser;
    http::response<http::string_body> response;

    void read()
    {
        parser = std::make_unique<http::request_parser<http::string_body>>();
        parser->body_limit(BODY_LIMIT);
        stream.expires_after(IDLE_LIMIT);
        http::async_read(stream, buffer, *parser,
                         [self = shared_from_this()](beast::error_code error, std::size_t)
                         { self->onRead(error); });
    }

    void onRead(beast::error_code error)
    {
        if (error)
        {
            // The sender closed, went quiet, or sent what is no HTTP: nothing to answer.
            close();
            return;
        }
        const http::request<http::string_body> request = parser->release();
        const ExportReply reply = owner->answer(request);
        response = http::response<http::string_body>(http::status(reply.status), request.version());
        for (const auto& [name, value] : reply.headers)
            response.set(name, value);
        response.body() = reply.body;
        response.keep_alive(request.keep_alive());
        response.prepare_payload();
        http::async_write(stream, response,
                          [self = shared_from_this()](beast::error_code error, std::size_t)
                          {
                              if (self->owner->answered) self->owner->answered();
                              if (error || !self->response.keep_alive())
                                  self->close();
                              else
                                  self->read();
                          });
    }

    void close()
    {
        beast::error_code ignored;
        stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream.socket().close(ignored);
    }
};

void ExportListener::Impl::accept()
{
    acceptor.async_accept(
        [self = shared_from_this()](beast::error_code error, tcp::socket socket)
        {
            if (error == net::error::operation_aborted || !self->acceptor.is_open()) return;
            if (!error)
            {
                ++self->accepted;
                auto connection = std::make_shared<Connection>(std::move(socket), self);
                self->connections.remove_if([](const std::weak_ptr<Connection>& c) { return c.expired(); });
                self->connections.push_back(connection);
                connection->read();
            }
            self->accept();
        });
}

ExportReply ExportListener::Impl::answer(const http::request<http::string_body>& request)
{
    ExportRequest exported;
    exported.method = std::string(request.method_string());
    exported.cimExport = std::string(request["CIMExport"]);
    exported.cimExportMethod = std::string(request["CIMExportMethod"]);
    exported.body = request.body();
    ExportOutcome outcome = readExportRequest(exported);
    if (!outcome.indication)
    {
        ++refused;
        return outcome.refusal;
    }
    try
    {
        handler(*outcome.indication);
    }
    catch (const std::exception& error)
    {
        ++refused;
        return exportAnswer(outcome.indication->messageID, Pegasus::CIM_ERR_FAILED, error.what());
    }
    ++taken;
    return exportAnswer(outcome.indication->messageID);
}

ExportListener::ExportListener(net::io_context& io, const std::string& address, unsigned short port,
                               Handler handler)
    : _impl(std::make_shared<Impl>(io, std::move(handler)))
{
    beast::error_code error;
    const net::ip::address ip = net::ip::make_address(address, error);
    if (error) throw Failure(ExitUsage, "--listen: \"" + address + "\" is no IP address");
    const tcp::endpoint endpoint(ip, port);
    tcp::acceptor& acceptor = _impl->acceptor;
    acceptor.open(endpoint.protocol(), error);
    if (!error) acceptor.set_option(net::socket_base::reuse_address(true), error);
    if (!error) acceptor.bind(endpoint, error);
    if (!error) acceptor.listen(net::socket_base::max_listen_connections, error);
    if (error)
        throw Failure(ExitUsage, "cannot listen for indications on " + address + " port " +
                                     std::to_string(port) + ": " + error.message());
    _impl->accept();
}

ExportListener::~ExportListener()
{
    close();
}

void ExportListener::onAnswered(std::function<void()> answered)
{
    _impl->answered = std::move(answered);
}

unsigned short ExportListener::port() const
{
    beast::error_code ignored;
    return _impl->acceptor.local_endpoint(ignored).port();
}

std::size_t ExportListener::connectionsAccepted() const
{
    return _impl->accepted;
}

std::size_t ExportListener::indicationsTaken() const
{
    return _impl->taken;
}

std::size_t ExportListener::requestsRefused() const
{
    return _impl->refused;
}

void ExportListener::close()
{
    beast::error_code ignored;
    _impl->acceptor.close(ignored);
    for (const auto& weak : _impl->connections)
        if (const auto connection = weak.lock()) connection->close();
    _impl->connections.clear();
}

} // namespace scsctl
