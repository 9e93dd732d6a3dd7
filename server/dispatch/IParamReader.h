// Reading the IPARAMVALUEs of an intrinsic request: each operation names the parameters it
// accepts; an unknown or repeated one, a missing required one, or one of the wrong form is
// CIM_ERR_INVALID_PARAMETER (thrown as CIMException). Names compare ignoring case.
#ifndef CIMHOST_IParamReader_h
#define CIMHOST_IParamReader_h

#include <initializer_list>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/String.h>

#include "CimMessages.h"

namespace cimhost
{

// CIM names compare without regard to case. Names are nearly always ASCII, which needs no
// decoding; others are compared by the object model's own case rules.
bool sameName(const std::string& a, const char* b);

class IParamReader
{
public:
    IParamReader(const CimRequest& request, std::initializer_list<const char*> accepted);

    // Null when absent (a parameter without a value counts as absent).
    const IParamValue* find(const char* name) const;

    // VALUE holding TRUE or FALSE in any case.
    bool flag(const char* name, bool defaultValue) const;
    // CLASSNAME; a null name when optional and absent.
    Pegasus::CIMName className(const char* name, bool required) const;
    // INSTANCENAME (or a reference) with a class.
    Pegasus::CIMObjectPath instanceName(const char* name) const;
    // INSTANCE.
    Pegasus::CIMInstance instance(const char* name) const;
    // VALUE.NAMEDINSTANCE: the instance with its path.
    Pegasus::CIMInstance namedInstance(const char* name) const;
    // VALUE.ARRAY of property names; the null list when absent.
    Pegasus::CIMPropertyList propertyList(const char* name) const;
    // VALUE; empty when absent.
    Pegasus::String text(const char* name) const;
    // VALUE holding a CIM name.
    Pegasus::CIMName nameValue(const char* name) const;

private:
    const IParamValue& required(const char* name) const;

    const CimRequest& _request;
};

// The CIMException for a bad parameter.
Pegasus::CIMException invalidParameter(const char* name, const char* problem);

} // namespace cimhost

#endif
