// Extrinsic method calls, routed to the method provider of the target's class.
#include "CimOperations.h"

#include <Pegasus/Common/Exception.h>

#include "ParameterTyping.h"
#include "ProviderCall.h"

namespace cimhost
{

Pegasus::CIMValue CimOperations::invokeMethod(const Pegasus::OperationContext& context,
                                              const Pegasus::CIMNamespaceName& nameSpace,
                                              const Pegasus::CIMObjectPath& objectName,
                                              const Pegasus::CIMName& methodName,
                                              const Pegasus::Array<Pegasus::CIMParamValue>& inParameters,
                                              Pegasus::Array<Pegasus::CIMParamValue>& outParameters) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = objectName.getClassName();
    Pegasus::CIMConstClass cimClass = requireClass(nameSpace, className);
    Pegasus::Array<Pegasus::CIMParamValue> parameters = typeParameters(cimClass, methodName, inParameters);

    Pegasus::CIMMethodProvider* provider = _providers.methodProvider(nameSpace, className);
    if (!provider)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_NOT_SUPPORTED,
                                    Pegasus::String("no provider serves the methods of ") +
                                        className.getString());

    MethodResultCollector handler;
    std::string operation = "invokeMethod " + std::string(className.getString().getCString()) + "." +
                            std::string(methodName.getString().getCString());
    callProvider(operation, handler,
                 [&] {
                     provider->invokeMethod(context, providerPath(nameSpace, objectName), methodName,
                                            parameters, handler);
                 });
    outParameters = handler.outParams;
    return handler.returnValue;
}

} // namespace cimhost
