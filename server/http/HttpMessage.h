// A request as the transport hands it to a service, and the answer a service gives back. Plain
// values: nothing here knows of sockets, so a service can be exercised without a connection.
#ifndef CIMHOST_HttpMessage_h
#define CIMHOST_HttpMessage_h

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace cimhost
{

// Header names compare without regard to case, as HTTP has them.
struct HeaderNameLess
{
    bool operator()(const std::string& x, const std::string& y) const;
};
using HeaderMap = std::multimap<std::string, std::string, HeaderNameLess>;

struct HttpRequest
{
    std::string method; // as sent: "POST", "M-POST", "GET"...
    std::string target; // the request target, e.g. "/cimom"
    HeaderMap headers;
    std::string body; // empty until the whole body has been read
    std::string peer; // "address:port"
    std::string user; // who the credentials named; empty when the request came without any
    std::chrono::steady_clock::time_point start; // when the request's first byte was there

    // The first value of the header, or null.
    const std::string* header(const std::string& name) const;
    // M-POST: the CIM headers carry the prefix its Man header declares.
    bool extendedMethod() const { return method == "M-POST"; }
};

struct HttpAnswer
{
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers; // besides Content-Type and Content-Length
    std::string contentType;                                  // empty when there is no body
    std::string body;
    bool closeConnection = false; // the connection closes after this answer

    // For the access log: the operation ("CallMethod" for extrinsic calls), the class or
    // Class.Method it addresses, "0", the CIM status code or "HTTP nnn" (empty: from the
    // status), and why a request was refused.
    std::string operation = "-";
    std::string object = "-";
    std::string outcome;
    std::string reason;

    // An answer without a body, e.g. a refusal.
    static HttpAnswer fault(int status, const std::string& reason);
};

} // namespace cimhost

#endif
