// How the answer of a long enumeration reaches the client while the providers still deliver.
// The encoded XML is held while it stays under a bound: an answer that ends within it (or fails
// before it) goes whole with its Content-Length, as any other. Past the bound it goes in chunks
// (HTTP/1.1 chunked transfer coding) of about StreamLimits::chunkBytes, so the host holds about
// one chunk of it at a time whatever its length.
//
// An error after the first chunk can no longer be the answer's ERROR element. A client that
// sent "TE: trailers" (its bound is one chunk) gets it in the trailers CIMStatusCode and
// CIMStatusCodeDescription, the XML left unterminated; any other client sees the connection
// close without the last chunk, so that it never takes a cut answer for a whole one.
#ifndef CIMHOST_ChunkedCimAnswer_h
#define CIMHOST_ChunkedCimAnswer_h

#include <cstddef>
#include <functional>
#include <string>

#include "AnswerStream.h"
#include "CimMessages.h"
#include "ResultSinks.h"

namespace cimhost
{

struct StreamLimits
{
    size_t chunkBytes = 64 * 1024;
    // Held for a client that does not take trailers before the answer is sent in chunks.
    size_t heldBytes = 256 * 1024;
};

// Whether a TE header value accepts trailers.
bool acceptsTrailers(const std::string& te);

class ChunkedCimAnswer : public AnswerOutput
{
public:
    // head: makes the answer's head when the first chunk goes. prefix: of the CIM trailer names
    // (an M-POST's).
    ChunkedCimAnswer(AnswerStream& stream, const StreamLimits& limits, bool trailers, std::string prefix,
                     std::function<HttpAnswer()> head);

    bool elementDone() override;
    // True once chunks have gone: the answer can only end through finish().
    bool streaming() const { return _streaming; }
    // Sends what is left and ends the body as the response says: the last chunk, the error in the
    // trailers, or cut short.
    void finish(const CimResponse& response);

private:
    bool send();

    AnswerStream& _stream;
    const size_t _chunkBytes;
    const size_t _heldBytes;
    const bool _trailers;
    const std::string _prefix;
    std::function<HttpAnswer()> _head;
    bool _streaming = false;
    bool _gone = false; // the client takes nothing more
};

} // namespace cimhost

#endif
