// One CIM operation over HTTP once the transport holds the headers and the whole body: the
// extension headers checked against the body, the dispatch, and the answer with its headers.
// Knows nothing of sockets, so every fault can be checked without a connection.
#ifndef CIMHOST_CimOperationExchange_h
#define CIMHOST_CimOperationExchange_h

#include <chrono>
#include <string>

#include "AnswerStream.h"
#include "ChunkedCimAnswer.h"
#include "Dispatcher.h"
#include "HttpMessage.h"
#include "RequestDecoder.h"

namespace cimhost
{

class CimOperationExchange
{
public:
    CimOperationExchange(Dispatcher& dispatcher, const DecoderLimits& limits,
                         const StreamLimits& streamLimits = StreamLimits());

    // extendedMethod: the request came as M-POST, so its CIM headers carry the prefix its Man
    // header declares, and so do the answer's. start: when the request arrived. user: the
    // authenticated user the providers see, empty when anonymous. stream: where a long
    // enumeration's answer may go as it is made (see ChunkedCimAnswer); without it, or when
    // the answer stayed short, the answer returned carries it whole.
    HttpAnswer handle(const HeaderMap& headers, const std::string& body, bool extendedMethod,
                      std::chrono::steady_clock::time_point start, const std::string& user = std::string(),
                      AnswerStream* stream = nullptr) const;

private:
    Dispatcher& _dispatcher;
    DecoderLimits _limits;
    StreamLimits _streamLimits;
};

} // namespace cimhost

#endif
