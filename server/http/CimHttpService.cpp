#include "CimHttpService.h"

#include "Dispatcher.h"

namespace cimhost
{
namespace
{

const char OPERATION_PATH[] = "/cimom";
const char REALM[] = "Basic realm=\"cimhost\"";

} // namespace

CimHttpService::CimHttpService(Dispatcher& dispatcher, const DecoderLimits& limits, Authenticate authenticate,
                               const StreamLimits& streamLimits)
    : _exchange(dispatcher, limits, streamLimits), _authenticate(std::move(authenticate))
{
}

Admission CimHttpService::screen(const HttpRequest& head) const
{
    if (head.method != "POST" && head.method != "M-POST")
    {
        HttpAnswer answer = HttpAnswer::fault(405, "");
        answer.headers.emplace_back("Allow", "POST, M-POST");
        return Admission::refuse(std::move(answer));
    }
    if (head.target != OPERATION_PATH) return Admission::refuse(HttpAnswer::fault(404, ""));
    // Checking credentials costs a key derivation: it is done on a worker.
    return _authenticate ? Admission::authorize() : Admission::admit();
}

Admission CimHttpService::authorize(const HttpRequest& head) const
{
    const AuthenticationVerdict verdict = _authenticate(head.header("Authorization"));
    if (verdict.accepted) return Admission::admit(verdict.user);
    HttpAnswer answer = HttpAnswer::fault(
        401, "authentication failed" +
                 (verdict.user.empty() ? std::string() : " for user '" + verdict.user + "'") + ": " +
                 verdict.reason);
    answer.headers.emplace_back("WWW-Authenticate", REALM);
    // The CIM error header of an M-POST carries its prefix; the request was refused before its
    // Man header was read, so the plain name is used.
    answer.headers.emplace_back("CIMError", "request-not-valid");
    return Admission::refuse(std::move(answer));
}

HttpAnswer CimHttpService::serve(const HttpRequest& request) const
{
    return _exchange.handle(request.headers, request.body, request.extendedMethod(), request.start,
                            request.user);
}

bool CimHttpService::mayStream(const HttpRequest& request) const
{
    // An M-POST's CIM headers carry its prefix: left to the workers whatever it asks.
    if (request.extendedMethod()) return true;
    const std::string* method = request.header("CIMMethod");
    return method && Dispatcher::streamsMethod(*method);
}

HttpAnswer CimHttpService::serveStreamed(const HttpRequest& request, AnswerStream& stream) const
{
    return _exchange.handle(request.headers, request.body, request.extendedMethod(), request.start,
                            request.user, &stream);
}

} // namespace cimhost
