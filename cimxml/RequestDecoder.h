// CIM-XML request decoding (pugixml). Faults of the HTTP protocol layer are thrown as
// CimXmlError; a well-formed request with a bad value comes back with hasDecodeError set.
#ifndef CIMHOST_RequestDecoder_h
#define CIMHOST_RequestDecoder_h

#include <stdexcept>
#include <string>

#include "CimMessages.h"

namespace cimhost
{

class CimXmlError : public std::runtime_error
{
public:
    // httpStatus: 400 or 501; cimError: the CIMError header value, e.g. "request-not-well-formed",
    // "request-not-valid", "unsupported-cim-version", "unsupported-dtd-version",
    // "unsupported-protocol-version", "multiple-requests-unsupported".
    CimXmlError(int httpStatus, const std::string& cimError, const std::string& message)
        : std::runtime_error(message), httpStatus(httpStatus), cimError(cimError)
    {
    }
    int httpStatus;
    std::string cimError;
};

struct DecoderLimits
{
    size_t maxDepth = 64;        // element nesting deeper than this is refused as request-not-valid
    size_t maxElements = 100000; // and so is a document of more elements than this
};

CimRequest decodeRequest(const std::string& body, const DecoderLimits& limits = DecoderLimits());

} // namespace cimhost

#endif
