// CIM-XML request encoding for a client: the whole MESSAGE/SIMPLEREQ document of one call, the
// counterpart of decodeRequest.
#ifndef CIMHOST_RequestEncoder_h
#define CIMHOST_RequestEncoder_h

#include <string>

#include "CimMessages.h"

namespace cimhost
{

// Intrinsic calls write request.iparams in the namespace request.nameSpace; extrinsic calls write
// request.params against request.target (an instance path, or a class path when it has no keys).
std::string encodeRequest(const CimRequest& request);

} // namespace cimhost

#endif
