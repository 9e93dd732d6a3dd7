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

class ResultSink;

// The enumerations whose answers may be long (EnumerateInstances, EnumerateInstanceNames,
// Associators, AssociatorNames, References, ReferenceNames) also deliver their objects into a
// sink as the providers deliver them; findIntrinsic's handlers for them collect through the same.
struct StreamedIntrinsic
{
    using Handler = void (*)(const CimOperations& operations, const CimRequest& request,
                             const Pegasus::OperationContext& context, ResultSink& sink);
    const char* name;
    CimResponse::ReturnKind kind; // the element each object is answered in
    Handler handler;
};

// Null for any other name.
const StreamedIntrinsic* findStreamedIntrinsic(const std::string& methodName);

} // namespace cimhost

#endif
