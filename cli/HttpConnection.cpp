#include "HttpConnection.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <openssl/evp.h>

#include "Failures.h"

namespace scsctl
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
namespace ssl = net::ssl;
using tcp = net::ip::tcp;

Endpoint Endpoint::parse(const std::string& url)
{
    Endpoint endpoint;
    std::string rest;
    if (url.rfind("http://", 0) == 0)
        rest = url.substr(7);
    else if (url.rfind("https://", 0) == 0)
    {
        endpoint.tls = true;
        rest = url.substr(8);
    }
    else
        throw Failure(ExitUsage, "--url must begin with http:// or https://: " + url);
    rest = rest.substr(0, rest.find('/'));
    // [v6-address]:port, host:port or host alone.
    const size_t bracket = rest.rfind(']');
    const size_t colon = rest.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket))
    {
        endpoint.host = rest.substr(0, colon);
        endpoint.port = rest.substr(colon + 1);
    }
    else
    {
        endpoint.host = rest;
        endpoint.port = endpoint.tls ? "5989" : "5988";
    }
    if (endpoint.host.size() > 1 && endpoint.host.front() == '[' && endpoint.host.back() == ']')
        endpoint.host = endpoint.host.substr(1, endpoint.host.size() - 2);
    if (endpoint.host.empty() || endpoint.port.empty() ||
        endpoint.port.find_first_not_of("0123456789") != std::string::npos)
        throw Failure(ExitUsage, "--url names no host and port: " + url);
    return endpoint;
}

namespace
{

std::string basicCredentials(const std::string& user, const std::string& password)
{
    const std::string plain = user + ":" + password;
    std::string encoded(4 * ((plain.size() + 2) / 3) + 1, '\0');
    const int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&encoded[0]),
                        reinterpret_cast<const unsigned char*>(plain.data()), int(plain.size()));
    encoded.resize(size_t(length));
    return "Basic " + encoded;
}

// Errors that mean a kept-alive connection was closed by the server since its last use.
bool isClosedConnection(const beast::error_code& error)
{
    return error == http::error::end_of_stream || error == net::error::connection_reset ||
           error == net::error::broken_pipe || error == net::error::eof ||
           error == ssl::error::stream_truncated;
}

} // namespace

struct HttpConnection::Impl
{
    explicit Impl(ConnectionOptions givenOptions) : options(std::move(givenOptions))
    {
        if (!options.endpoint.tls) return;
        // What to trust is read once; every connection of the session uses it.
        beast::error_code error;
        tls.set_verify_mode(options.insecure ? ssl::verify_none : ssl::verify_peer);
        if (!options.caFile.empty())
            tls.load_verify_file(options.caFile, error);
        else
            tls.set_default_verify_paths(error);
        if (error) throw Failure(ExitNoContact, "cannot read the trusted certificates: " + error.message());
    }

    ConnectionOptions options;
    net::io_context io;
    ssl::context tls{ssl::context::tls_client};
    std::unique_ptr<beast::tcp_stream> plain;
    std::unique_ptr<beast::ssl_stream<beast::tcp_stream>> secure;
    beast::flat_buffer buffer;

    beast::tcp_stream& lowest() { return secure ? beast::get_lowest_layer(*secure) : *plain; }

    // Runs one asynchronous operation to its end, bounded by the timeout.
    template <class Start> beast::error_code await(Start&& start)
    {
        beast::error_code result;
        lowest().expires_after(options.timeout);
        start([&result](beast::error_code error, auto&&...) { result = error; });
        io.restart();
        io.run();
        return result;
    }

    [[noreturn]] void noContact(const std::string& what, const beast::error_code& error)
    {
        close();
        const std::string reason = error == beast::error::timeout ? "no answer in time" : error.message();
        throw Failure(ExitNoContact, "cannot " + what + " " + options.endpoint.host + ":" +
                                         options.endpoint.port + ": " + reason + "\n" +
                                         whatToTry(what, error));
    }

    // The next step for the operator, by what failed.
    std::string whatToTry(const std::string& what, const beast::error_code& error) const
    {
        const Endpoint& endpoint = options.endpoint;
        const std::string url = (endpoint.tls ? "https://" : "http://") + endpoint.host + ":" + endpoint.port;
        if (error == beast::error::timeout)
            return "  the server took longer than --timeout " + std::to_string(options.timeout.count()) +
                   " seconds; give a larger --timeout, or check that " + url + " is a CIM server";
        if (what == "resolve") return "  check the host name in --url (or SCSCTL_URL): " + endpoint.host;
        if (what == "connect to")
            return "  is cimhost running at " + url +
                   "? Start it (systemctl start cimhost), or name the "
                   "server with --url (or SCSCTL_URL)";
        if (error.message().find("certificate verify failed") != std::string::npos)
            return "  the server's certificate is not trusted: give --cacert FILE with the certificate (or "
                   "its "
                   "CA) that cimhost serves, or --insecure to skip the check (not for production)";
        if (what == "agree TLS with")
            return "  is " + endpoint.port + " an HTTPS port? For plain HTTP the URL begins with http://";
        return "  the server closed the connection; try again, and see cimhost's log if it recurs";
    }

    void connect()
    {
        buffer.clear();
        beast::error_code error;
        tcp::resolver resolver(io);
        const auto addresses = resolver.resolve(options.endpoint.host, options.endpoint.port, error);
        if (error) noContact("resolve", error);
        if (options.endpoint.tls)
        {
            secure = std::make_unique<beast::ssl_stream<beast::tcp_stream>>(io, tls);
            if (!options.insecure)
                secure->set_verify_callback(ssl::host_name_verification(options.endpoint.host));
            SSL_set_tlsext_host_name(secure->native_handle(), options.endpoint.host.c_str());
        }
        else
            plain = std::make_unique<beast::tcp_stream>(io);
        error = await([&](auto handler) { lowest().async_connect(addresses, handler); });
        if (error) noContact("connect to", error);
        if (secure)
        {
            error = await([&](auto handler) { secure->async_handshake(ssl::stream_base::client, handler); });
            if (error) noContact("agree TLS with", error);
        }
    }

    void close()
    {
        beast::error_code ignored;
        if (secure) beast::get_lowest_layer(*secure).socket().close(ignored);
        if (plain) plain->socket().close(ignored);
        secure.reset();
        plain.reset();
    }

    template <class Stream>
    beast::error_code exchange(Stream& stream, http::request<http::string_body>& request,
                               http::response_parser<http::string_body>& parser)
    {
        beast::error_code error = await([&](auto handler) { http::async_write(stream, request, handler); });
        if (!error) error = await([&](auto handler) { http::async_read(stream, buffer, parser, handler); });
        return error;
    }
};

HttpConnection::HttpConnection(ConnectionOptions options) : _impl(std::make_unique<Impl>(std::move(options)))
{
}

HttpConnection::~HttpConnection() = default;

HttpAnswer HttpConnection::post(const std::vector<std::pair<std::string, std::string>>& headers,
                                const std::string& body)
{
    Impl& impl = *_impl;
    http::request<http::string_body> request{http::verb::post, "/cimom", 11};
    request.set(http::field::host, impl.options.endpoint.host + ":" + impl.options.endpoint.port);
    request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    if (!impl.options.user.empty())
        request.set(http::field::authorization, basicCredentials(impl.options.user, impl.options.password));
    for (const auto& [name, value] : headers)
        request.set(name, value);
    request.set(http::field::te, "trailers");
    request.keep_alive(true);
    request.body() = body;
    request.prepare_payload();

    for (int attempt = 0;; ++attempt)
    {
        const bool reused = impl.plain || impl.secure;
        if (!reused) impl.connect();
        http::response_parser<http::string_body> parser;
        parser.body_limit(std::uint64_t(1) << 30);
        const beast::error_code error = impl.secure ? impl.exchange(*impl.secure, request, parser)
                                                    : impl.exchange(*impl.plain, request, parser);
        if (error && reused && attempt == 0 && isClosedConnection(error))
        {
            impl.close();
            continue;
        }
        if (error) impl.noContact("exchange a request with", error);
        auto& response = parser.get();
        HttpAnswer answer;
        answer.status = int(response.result_int());
        answer.cimError = std::string(response["CIMError"]);
        answer.trailerStatus = std::string(response["CIMStatusCode"]);
        answer.trailerDescription = std::string(response["CIMStatusCodeDescription"]);
        answer.body = std::move(response.body());
        if (!response.keep_alive()) impl.close();
        return answer;
    }
}

std::string HttpConnection::localAddress()
{
    Impl& impl = *_impl;
    if (!impl.plain && !impl.secure) impl.connect();
    beast::error_code error;
    const tcp::endpoint local = impl.lowest().socket().local_endpoint(error);
    if (error) impl.noContact("exchange a request with", error);
    return local.address().to_string();
}

} // namespace scsctl
