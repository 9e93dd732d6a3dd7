#include "ListenerConnection.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include "ExportMessages.h"
#include "RequestDecoder.h"

namespace cimhost
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
namespace ssl = net::ssl;
using tcp = net::ip::tcp;

namespace
{

// A listener answers with little; anything bigger is not an export answer.
const std::uint64_t MAX_ANSWER_BYTES = 1 << 20;

std::string describe(const beast::error_code& error)
{
    return error == beast::error::timeout ? std::string("no answer in time") : error.message();
}

} // namespace

struct ListenerConnection::Impl
{
    ListenerUrl url;
    ssl::context* tls;
    std::chrono::milliseconds timeout;
    net::io_context io;
    std::atomic<bool> cancelled{false};
    std::unique_ptr<beast::tcp_stream> plain;
    std::unique_ptr<beast::ssl_stream<beast::tcp_stream>> secure;
    beast::flat_buffer buffer;

    bool connected() const { return plain || secure; }
    beast::tcp_stream& lowest() { return secure ? beast::get_lowest_layer(*secure) : *plain; }

    // Runs what was started to its end. A cancel before the loop starts is seen by the check; one
    // after it stops the loop.
    bool runStarted()
    {
        io.restart();
        if (cancelled) return false;
        io.run();
        return !cancelled;
    }

    // Runs one asynchronous step to its end, within the timeout.
    template <class Start> beast::error_code await(Start&& start)
    {
        beast::error_code result = net::error::operation_aborted;
        lowest().expires_after(timeout);
        start([&result](beast::error_code error, auto&&...) { result = error; });
        return runStarted() ? result : beast::error_code(net::error::operation_aborted);
    }

    std::string connect()
    {
        buffer.clear();
        if (url.https)
        {
            if (!tls) return "https is not available";
            secure = std::make_unique<beast::ssl_stream<beast::tcp_stream>>(io, *tls);
            if (tls->native_handle() && SSL_CTX_get_verify_mode(tls->native_handle()) != SSL_VERIFY_NONE)
                secure->set_verify_callback(ssl::host_name_verification(url.host));
            SSL_set_tlsext_host_name(secure->native_handle(), url.host.c_str());
        }
        else
            plain = std::make_unique<beast::tcp_stream>(io);

        tcp::resolver resolver(io);
        tcp::resolver::results_type addresses;
        beast::error_code error = net::error::operation_aborted;
        resolver.async_resolve(url.host, url.port,
                               [&](beast::error_code e, tcp::resolver::results_type found)
                               {
                                   error = e;
                                   addresses = std::move(found);
                               });
        if (!runStarted()) error = net::error::operation_aborted;
        if (error) return "cannot resolve " + url.host + ": " + describe(error);
        error = await([&](auto handler) { lowest().async_connect(addresses, handler); });
        if (error) return "cannot connect: " + describe(error);
        lowest().socket().set_option(tcp::no_delay(true), error); // a request goes out whole, at once
        if (secure)
        {
            error = await([&](auto handler) { secure->async_handshake(ssl::stream_base::client, handler); });
            if (error) return "TLS handshake failed: " + describe(error);
        }
        return std::string();
    }

    void close()
    {
        beast::error_code ignored;
        if (connected()) lowest().socket().close(ignored);
        secure.reset();
        plain.reset();
    }

    // Listeners built on common HTTP servers write an answer's head and body apart; with Nagle on
    // their side, the body waits for the acknowledgement of the head, which Linux delays by up to
    // 40 ms. Acknowledging at once (re-armed before every read) keeps an export to a round trip.
    void acknowledgeAtOnce()
    {
        const int on = 1;
        ::setsockopt(lowest().socket().native_handle(), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    }

    template <class Stream>
    beast::error_code exchange(Stream& stream, http::request<http::string_body>& request,
                               http::response_parser<http::string_body>& parser)
    {
        beast::error_code error = await([&](auto handler) { http::async_write(stream, request, handler); });
        acknowledgeAtOnce();
        if (!error) error = await([&](auto handler) { http::async_read(stream, buffer, parser, handler); });
        return error;
    }

    ExportResult post(const std::string& document);
};

ExportResult ListenerConnection::Impl::post(const std::string& document)
{
    http::request<http::string_body> request(http::verb::post, url.target, 11);
    request.set(http::field::host, url.host.find(':') != std::string::npos ? "[" + url.host + "]:" + url.port
                                                                           : url.host + ":" + url.port);
    request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    request.set("CIMExport", "MethodRequest");
    request.set("CIMExportMethod", "ExportIndication");
    request.set("CIMProtocolVersion", "1.0");
    request.keep_alive(true);
    request.body() = document;
    request.prepare_payload();

    // A kept connection the listener has closed since fails at once: one more try on a new one.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const bool reused = connected();
        if (!reused)
        {
            const std::string failure = connect();
            if (!failure.empty())
            {
                close();
                return {ExportResult::Unreachable, failure};
            }
        }
        http::response_parser<http::string_body> parser;
        parser.body_limit(MAX_ANSWER_BYTES);
        const beast::error_code error =
            secure ? exchange(*secure, request, parser) : exchange(*plain, request, parser);
        if (error)
        {
            close();
            if (reused && !cancelled) continue;
            return {ExportResult::Unreachable, "no answer: " + describe(error)};
        }
        const http::response<http::string_body>& answer = parser.get();
        if (!answer.keep_alive()) close();
        if (answer.result() != http::status::ok)
            return {ExportResult::Unreachable,
                    "HTTP " + std::to_string(answer.result_int()) + " " + std::string(answer.reason())};
        try
        {
            const ExportResponse response = decodeExportResponse(answer.body());
            if (response.code != Pegasus::CIM_ERR_SUCCESS)
                return {ExportResult::Refused,
                        "the listener answered CIM error " + std::to_string(int(response.code)) +
                            (response.description.empty() ? "" : ": " + response.description)};
        }
        catch (const CimXmlError& e)
        {
            return {ExportResult::Refused,
                    std::string("the listener's answer is not an export answer: ") + e.what()};
        }
        return {ExportResult::Delivered, std::string()};
    }
    return {ExportResult::Unreachable, "the connection closed twice"};
}

ListenerConnection::ListenerConnection(ListenerUrl url, ssl::context* tls, std::chrono::milliseconds timeout)
    : _impl(std::make_unique<Impl>())
{
    _impl->url = std::move(url);
    _impl->tls = tls;
    _impl->timeout = timeout;
}

ListenerConnection::~ListenerConnection()
{
    _impl->close();
}

ExportResult ListenerConnection::exportIndication(const std::string& document)
{
    return _impl->post(document);
}

void ListenerConnection::cancel()
{
    _impl->cancelled = true;
    _impl->io.stop();
}

} // namespace cimhost
