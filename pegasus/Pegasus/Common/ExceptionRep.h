// Representation shared by Exception and CIMException.
#ifndef Pegasus_ExceptionRep_h
#define Pegasus_ExceptionRep_h

#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMStatusCode.h>
#include <Pegasus/Common/CIMInstance.h>

PEGASUS_NAMESPACE_BEGIN

struct ExceptionRep
{
    String message;
    CIMStatusCode code = CIM_ERR_SUCCESS;
    Array<CIMInstance> errors;
};

PEGASUS_NAMESPACE_END

#endif
