// CIM-XML response decoding for a client, the counterpart of encodeResponse. A document that is
// not a well-formed response throws CimXmlError; an ERROR element is an answer (isError set).
#ifndef CIMHOST_ResponseDecoder_h
#define CIMHOST_ResponseDecoder_h

#include <string>

#include "CimMessages.h"

namespace cimhost
{

// Intrinsic answers: the return kind follows the elements in IRETURNVALUE. Classes come back with
// their methods and the methods' qualifiers only, which is what a client reads them for (ValueMap
// and Values of return codes); properties and parameters are skipped. Extrinsic answers: the
// return value and output parameters typed from PARAMTYPE.
CimResponse decodeResponse(const std::string& body);

} // namespace cimhost

#endif
