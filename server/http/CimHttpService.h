// CIM operations as an HTTP service: POST and M-POST to /cimom, HTTP Basic authentication when
// the host has users, and the CIM-XML exchange of each complete request.
#ifndef CIMHOST_CimHttpService_h
#define CIMHOST_CimHttpService_h

#include <functional>
#include <string>

#include "CimOperationExchange.h"
#include "HttpService.h"

namespace cimhost
{

struct AuthenticationVerdict
{
    bool accepted = false;
    std::string user;   // as the credentials name it, even when refused (for the log)
    std::string reason; // why not, e.g. "no credentials", "wrong password"
};

// Checks the value of a request's Authorization header (null when it has none). Called on
// workers, concurrently.
using Authenticate = std::function<AuthenticationVerdict(const std::string* authorization)>;

class CimHttpService : public HttpService
{
public:
    // Without authenticate, every request is served anonymously.
    CimHttpService(Dispatcher& dispatcher, const DecoderLimits& limits, Authenticate authenticate = nullptr,
                   const StreamLimits& streamLimits = StreamLimits());

    Admission screen(const HttpRequest& head) const override;
    Admission authorize(const HttpRequest& head) const override;
    HttpAnswer serve(const HttpRequest& request) const override;
    // The long enumerations, by their CIMMethod header.
    bool mayStream(const HttpRequest& request) const override;
    HttpAnswer serveStreamed(const HttpRequest& request, AnswerStream& stream) const override;

private:
    CimOperationExchange _exchange;
    Authenticate _authenticate;
};

} // namespace cimhost

#endif
