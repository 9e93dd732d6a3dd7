// The intrinsic operations of CIM-XML requests: each reads its IPARAMVALUEs (with the defaults a
// CIM server applies to omitted ones), runs the typed operation and fills the response.
#ifndef CIMHOST_IntrinsicRequests_h
#define CIMHOST_IntrinsicRequests_h

#include <string>

#include <Pegasus/Common/OperationContext.h>

#include "CimMessages.h"
#include "CimOperations.h"

namespace cimhost
{

using IntrinsicHandler = void (*)(const CimOperations& operations, const CimRequest& request,
                                  const Pegasus::OperationContext& context, CimResponse& response);

// The handler of an intrinsic method name (ignoring case), or null when this host does not
// implement it.
IntrinsicHandler findIntrinsic(const std::string& methodName);

} // namespace cimhost

#endif
