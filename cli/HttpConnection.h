// One HTTP/1.1 keep-alive connection to a CIM server, plain or TLS, that posts CIM-XML bodies.
#ifndef SCSCTL_HttpConnection_h
#define SCSCTL_HttpConnection_h

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace scsctl
{

struct Endpoint
{
    bool tls = false;
    std::string host;
    std::string port;
    // Parses http://HOST[:PORT][/...] or https://...; a bad URL is a usage Failure.
    static Endpoint parse(const std::string& url);
};

struct ConnectionOptions
{
    Endpoint endpoint;
    std::string user; // empty: no Authorization header
    std::string password;
    std::string caFile; // TLS: the certificates to trust; empty: the system's
    bool insecure = false;
    std::chrono::seconds timeout{30};
};

struct HttpAnswer
{
    int status = 0;
    std::string cimError; // the CIMError header, when the server sent one
    std::string body;
    // A failure after the answer began, from the chunked answer's trailers (asked for with
    // TE: trailers): CIMStatusCode and CIMStatusCodeDescription, empty when there was none.
    std::string trailerStatus;
    std::string trailerDescription;
};

class HttpConnection
{
public:
    explicit HttpConnection(ConnectionOptions options);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    // POSTs the body to /cimom with the given extra headers. A connection the server closed in
    // between is opened again once. Failures to connect, to agree TLS or to answer in time are
    // Failure(ExitNoContact).
    HttpAnswer post(const std::vector<std::pair<std::string, std::string>>& headers, const std::string& body);

    // The address of this end of the connection, the one the server sees requests come from
    // (connecting first when no connection is open). Failures to connect as for post.
    std::string localAddress();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace scsctl

#endif
