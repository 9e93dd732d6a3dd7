// One CIM operation over HTTP once the transport holds the headers and the whole body: the
// extension headers checked against the body, the dispatch, and the answer with its headers.
// Knows nothing of sockets, so every fault can be checked without a connection.
#ifndef CIMHOST_CimOperationExchange_h
#define CIMHOST_CimOperationExchange_h

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "Dispatcher.h"
#include <httplib.h>
#include "RequestDecoder.h"

namespace cimhost
{

struct HttpAnswer
{
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers; // besides Content-Type
    std::string contentType;                                  // empty when there is no body
    std::string body;

    // For the access log: the operation ("CallMethod" for extrinsic calls), the class or
    // Class.Method it addresses, and "0", the CIM status code or "HTTP nnn".
    std::string operation = "-";
    std::string object = "-";
    std::string outcome;
};

class CimOperationExchange
{
public:
    CimOperationExchange(Dispatcher& dispatcher, const DecoderLimits& limits);

    // extendedMethod: the request came as M-POST, so its CIM headers carry the prefix its Man
    // header declares, and so do the answer's. start: when the request arrived.
    HttpAnswer handle(const httplib::Headers& headers, const std::string& body, bool extendedMethod,
                      std::chrono::steady_clock::time_point start) const;

private:
    Dispatcher& _dispatcher;
    DecoderLimits _limits;
};

} // namespace cimhost

#endif
