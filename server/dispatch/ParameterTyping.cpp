#include "ParameterTyping.h"

#include <string>

#include <Pegasus/Common/Exception.h>

#include "ValueFromText.h"

namespace cimhost
{

using Pegasus::Uint32; // PEG_NOT_FOUND names it unqualified

namespace
{

bool anyUntyped(const Pegasus::Array<Pegasus::CIMParamValue>& parameters)
{
    for (Pegasus::Uint32 i = 0; i < parameters.size(); ++i)
        if (!parameters[i].isTyped()) return true;
    return false;
}

Pegasus::Uint32 findParameter(const Pegasus::CIMConstMethod& method, const Pegasus::String& name)
{
    if (!Pegasus::CIMName::legal(name)) return PEG_NOT_FOUND;
    return method.findParameter(Pegasus::CIMName(name));
}

} // namespace

Pegasus::Array<Pegasus::CIMParamValue>
typeParameters(const Pegasus::CIMConstClass& resolvedClass, const Pegasus::CIMName& methodName,
               const Pegasus::Array<Pegasus::CIMParamValue>& parameters)
{
    if (!anyUntyped(parameters)) return parameters;

    Pegasus::Uint32 methodIndex = resolvedClass.findMethod(methodName);
    if (methodIndex == PEG_NOT_FOUND)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_METHOD_NOT_FOUND,
                                    Pegasus::String("class ") + resolvedClass.getClassName().getString() +
                                        " has no method " + methodName.getString());
    Pegasus::CIMConstMethod method = resolvedClass.getMethod(methodIndex);

    Pegasus::Array<Pegasus::CIMParamValue> typed;
    typed.reserveCapacity(parameters.size());
    for (Pegasus::Uint32 i = 0; i < parameters.size(); ++i)
    {
        const Pegasus::CIMParamValue& parameter = parameters[i];
        Pegasus::String name = parameter.getParameterName();
        Pegasus::Uint32 index = parameter.isTyped() ? PEG_NOT_FOUND : findParameter(method, name);
        if (index == PEG_NOT_FOUND)
        {
            typed.append(parameter);
            continue;
        }
        Pegasus::CIMConstParameter declaration = method.getParameter(index);
        try
        {
            typed.append(Pegasus::CIMParamValue(
                name, valueFromText(parameter.getValue(), declaration.getType(), declaration.isArray()),
                true));
        }
        catch (const ValueConversionError& e)
        {
            throw Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_PARAMETER,
                                        Pegasus::String("parameter ") + name + " of " +
                                            methodName.getString() + ": " + Pegasus::String(e.what()));
        }
    }
    return typed;
}

} // namespace cimhost
