#include "CimOperations.h"

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

CimOperations::CimOperations(const ClassRepository& repository, const ProviderManager& providers,
                             const std::string& hostName)
    : _repository(repository), _providers(providers), _hostName(hostName)
{
}

void CimOperations::requireNamespace(const Pegasus::CIMNamespaceName& nameSpace) const
{
    if (nameSpace.isNull() || !_repository.hasNamespace(nameSpace))
        throw Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_NAMESPACE, Pegasus::String("namespace \"") +
                                                                            nameSpace.getString() +
                                                                            "\" is not served");
}

Pegasus::CIMConstClass CimOperations::requireClass(const Pegasus::CIMNamespaceName& nameSpace,
                                                   const Pegasus::CIMName& className,
                                                   Pegasus::CIMStatusCode codeIfUnknown) const
{
    if (className.isNull())
        throw Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_PARAMETER, "no class name given");
    Pegasus::CIMConstClass cimClass = _repository.resolvedClassView(nameSpace, className);
    if (cimClass.isUninitialized())
        throw Pegasus::CIMException(codeIfUnknown, Pegasus::String("class \"") + className.getString() +
                                                       "\" does not exist in namespace " +
                                                       nameSpace.getString());
    return cimClass;
}

Pegasus::CIMObjectPath CimOperations::providerPath(const Pegasus::CIMNamespaceName& nameSpace,
                                                   const Pegasus::CIMObjectPath& path) const
{
    return Pegasus::CIMObjectPath(Pegasus::String(_hostName.c_str()), nameSpace, path.getClassName(),
                                  path.getKeyBindings());
}

Pegasus::Array<Pegasus::CIMName> CimOperations::servedClasses(const Pegasus::CIMNamespaceName& nameSpace,
                                                              const Pegasus::CIMName& className) const
{
    Pegasus::Array<Pegasus::CIMName> served;
    if (_providers.instanceProvider(nameSpace, className)) served.append(className);
    for (const Pegasus::CIMName& subclass : _repository.subclassNames(nameSpace, className, true))
        if (_providers.instanceProvider(nameSpace, subclass)) served.append(subclass);
    return served;
}

} // namespace cimhost
