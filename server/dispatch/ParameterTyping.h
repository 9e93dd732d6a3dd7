// Typing the parameters of an extrinsic call, as a CIM server does for clients that send them
// without PARAMTYPE: only when some parameter arrives untyped is the method declaration looked
// up; each untyped parameter it declares is converted to the declared type, one it does not
// declare is passed on as sent, and typed parameters pass unchanged.
#ifndef CIMHOST_ParameterTyping_h
#define CIMHOST_ParameterTyping_h

#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMParamValue.h>

namespace cimhost
{

// resolvedClass: the target class with inherited methods merged in. Throws CIMException:
// CIM_ERR_METHOD_NOT_FOUND when a parameter is untyped and the class has no such method,
// CIM_ERR_INVALID_PARAMETER (naming the parameter) when a text does not convert.
Pegasus::Array<Pegasus::CIMParamValue>
typeParameters(const Pegasus::CIMConstClass& resolvedClass, const Pegasus::CIMName& methodName,
               const Pegasus::Array<Pegasus::CIMParamValue>& parameters);

} // namespace cimhost

#endif
