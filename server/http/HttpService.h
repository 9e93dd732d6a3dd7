// What the transport serves: a service sees each request twice, once with its head only (so
// that a refusal costs no body read) and once whole. The transport owns sockets, timeouts and
// limits; the service owns what requests mean.
#ifndef CIMHOST_HttpService_h
#define CIMHOST_HttpService_h

#include "AnswerStream.h"
#include "HttpMessage.h"

namespace cimhost
{

struct Admission
{
    enum Kind
    {
        Admit,    // read the body and serve it
        Refuse,   // answer `refusal`; the body is not read
        Authorize // slow checks needed first: call authorize() on a worker
    };
    Kind kind = Admit;
    HttpAnswer refusal;
    std::string user; // admitted as this user

    static Admission admit(std::string user = std::string()) { return Admission{Admit, HttpAnswer(), user}; }
    static Admission refuse(HttpAnswer answer) { return Admission{Refuse, std::move(answer), std::string()}; }
    static Admission authorize() { return Admission{Authorize, HttpAnswer(), std::string()}; }
};

class HttpService
{
public:
    virtual ~HttpService() = default;

    // On the connection's thread with the head only: must be cheap (no blocking, no hashing).
    virtual Admission screen(const HttpRequest& head) const = 0;
    // On a worker, still before the body is read, when screen() asked for it: Admit or Refuse.
    virtual Admission authorize(const HttpRequest& head) const = 0;
    // On a worker with the whole request.
    virtual HttpAnswer serve(const HttpRequest& request) const = 0;
    // Whether serving the request may stream its answer (see serveStreamed). Such a request is
    // served on a worker: an I/O thread serving it would hold the connection's strand, which
    // writes the chunks the service waits to see written.
    virtual bool mayStream(const HttpRequest&) const { return false; }
    // The same for a service that may stream its answer: when it has begun the stream, the
    // answer returned only tells the access log how the request ended.
    virtual HttpAnswer serveStreamed(const HttpRequest& request, AnswerStream&) const
    {
        return serve(request);
    }
};

} // namespace cimhost

#endif
