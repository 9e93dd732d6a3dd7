// An answer whose body the service sends while it is still making it: HTTP/1.1 chunked transfer
// coding, with trailers at the end if the service gives any. Called on the thread serving the
// request, in the order canStream, begin, write..., then finish or abort.
#ifndef CIMHOST_AnswerStream_h
#define CIMHOST_AnswerStream_h

#include <string>
#include <utility>
#include <vector>

#include "HttpMessage.h"

namespace cimhost
{

using HeaderFields = std::vector<std::pair<std::string, std::string>>;

class AnswerStream
{
public:
    virtual ~AnswerStream() = default;

    // False when the client cannot take a chunked answer (an HTTP/1.0 request): the service
    // answers whole instead.
    virtual bool canStream() const = 0;
    // Sends the head of the answer: status, headers and content type of head (its body is
    // ignored). Announced trailers go among head's headers ("Trailer").
    virtual void begin(const HttpAnswer& head) = 0;
    // One chunk of the body. Waits while the connection holds too many bytes not yet sent; false
    // when the answer cannot go on (the client left, or took nothing for the body timeout): the
    // rest is not wanted.
    virtual bool write(std::string chunk) = 0;
    // The last chunk, with these trailer fields.
    virtual void finish(const HeaderFields& trailers) = 0;
    // Ends the answer without its last chunk, so that the client sees it incomplete; the
    // connection closes after what was sent.
    virtual void abort() = 0;
};

} // namespace cimhost

#endif
