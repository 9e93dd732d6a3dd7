// The instance operations, routed to the instance provider of the class (and, for enumerations,
// to the providers of its subclasses).
#include "CimOperations.h"

#include <Pegasus/Common/Exception.h>

#include "ProviderCall.h"
#include "ResultSinks.h"

namespace cimhost
{

using Pegasus::Uint32; // PEG_NOT_FOUND names it unqualified

namespace
{

using Pegasus::CIMException;

std::string operationLabel(const char* operation, const Pegasus::CIMName& className)
{
    return std::string(operation) + " of " + std::string(className.getString().getCString());
}

CIMException noProvider(Pegasus::CIMStatusCode code, const Pegasus::CIMName& className)
{
    return CIMException(code, Pegasus::String("no provider serves instances of ") + className.getString());
}

// With DeepInheritance false an enumeration shows only the properties of the class asked for,
// also on instances of its subclasses.
Pegasus::CIMPropertyList propertiesOf(const Pegasus::CIMConstClass& cimClass,
                                      const Pegasus::CIMPropertyList& requested)
{
    Pegasus::Array<Pegasus::CIMName> names;
    for (Pegasus::Uint32 i = 0; i < cimClass.getPropertyCount(); ++i)
    {
        const Pegasus::CIMName& name = cimClass.getProperty(i).getName();
        if (requested.useThisProperty(name)) names.append(name);
    }
    return Pegasus::CIMPropertyList(names);
}

// A subclass's provider that does not support the operation adds nothing to an enumeration of
// its superclass; the provider of the class asked for is answered as it answers.
bool skippable(const CIMException& e, const Pegasus::CIMName& served, const Pegasus::CIMName& requested)
{
    return e.getCode() == Pegasus::CIM_ERR_NOT_SUPPORTED && !served.equal(requested);
}

// Keys of the given path, or built from the instance's key properties when it has none.
Pegasus::CIMObjectPath instanceKeys(const Pegasus::CIMInstance& instance, const Pegasus::CIMObjectPath& path,
                                    const Pegasus::CIMConstClass& cimClass)
{
    if (path.getKeyBindings().size() == 0 && cimClass.hasKeys())
    {
        try
        {
            return instance.buildPath(cimClass);
        }
        catch (const Pegasus::Exception&)
        {
            // Key properties missing: the provider decides what that means.
        }
    }
    return path;
}

} // namespace

Pegasus::CIMInstance CimOperations::getInstance(const Pegasus::OperationContext& context,
                                                const Pegasus::CIMNamespaceName& nameSpace,
                                                const Pegasus::CIMObjectPath& instanceName,
                                                const ResultFilter& filter) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = instanceName.getClassName();
    requireClass(nameSpace, className);
    Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, className);
    if (!provider) throw noProvider(Pegasus::CIM_ERR_NOT_FOUND, className);

    InstanceCollector handler;
    std::string operation = operationLabel("getInstance", className);
    callProvider(operation, handler,
                 [&]
                 {
                     provider->getInstance(context, providerPath(nameSpace, instanceName),
                                           filter.includeQualifiers, filter.includeClassOrigin,
                                           filter.propertyList, handler);
                 });
    if (handler.instances.size() == 0)
        throw CIMException(Pegasus::CIM_ERR_NOT_FOUND, instanceName.toString());
    if (handler.instances.size() > 1)
        throw CIMException(Pegasus::CIM_ERR_FAILED,
                           (operation + ": the provider delivered more than one instance").c_str());

    Pegasus::CIMInstance instance = handler.owned(0);
    completeInstancePath(instance, _repository, nameSpace, _hostName);
    instance.instanceFilter(filter.includeQualifiers, filter.includeClassOrigin, filter.propertyList);
    return instance;
}

void CimOperations::enumerateInstances(const Pegasus::OperationContext& context,
                                       const Pegasus::CIMNamespaceName& nameSpace,
                                       const Pegasus::CIMName& className, bool deepInheritance,
                                       const ResultFilter& filter, ResultSink& sink) const
{
    requireNamespace(nameSpace);
    Pegasus::CIMConstClass requested = requireClass(nameSpace, className);
    ResultFilter shown = filter;
    if (!deepInheritance) shown.propertyList = propertiesOf(requested, filter.propertyList);

    Pegasus::Array<Pegasus::CIMName> served = servedClasses(nameSpace, className);
    for (Pegasus::Uint32 c = 0; c < served.size(); ++c)
    {
        const Pegasus::CIMName& servedClass = served[c];
        Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, servedClass);
        InstanceForwarder handler(
            [&](const Pegasus::CIMInstance& instance)
            {
                sink.object(Pegasus::CIMObject(instance),
                            completedInstancePath(instance, _repository, nameSpace, _hostName), shown);
            });
        try
        {
            callProvider(
                operationLabel("enumerateInstances", servedClass), handler,
                [&]
                {
                    provider->enumerateInstances(
                        context,
                        Pegasus::CIMObjectPath(Pegasus::String(_hostName.c_str()), nameSpace, servedClass),
                        filter.includeQualifiers, filter.includeClassOrigin, filter.propertyList, handler);
                });
        }
        catch (const CIMException& e)
        {
            if (skippable(e, servedClass, className)) continue;
            throw;
        }
    }
}

Pegasus::Array<Pegasus::CIMInstance> CimOperations::enumerateInstances(
    const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
    const Pegasus::CIMName& className, bool deepInheritance, const ResultFilter& filter) const
{
    CollectingSink sink;
    enumerateInstances(context, nameSpace, className, deepInheritance, filter, sink);
    return sink.takeInstances();
}

void CimOperations::enumerateInstanceNames(const Pegasus::OperationContext& context,
                                           const Pegasus::CIMNamespaceName& nameSpace,
                                           const Pegasus::CIMName& className, ResultSink& sink) const
{
    requireNamespace(nameSpace);
    requireClass(nameSpace, className);

    Pegasus::Array<Pegasus::CIMName> served = servedClasses(nameSpace, className);
    for (Pegasus::Uint32 c = 0; c < served.size(); ++c)
    {
        const Pegasus::CIMName& servedClass = served[c];
        Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, servedClass);
        ObjectPathForwarder handler(
            [&](const Pegasus::CIMObjectPath& delivered)
            {
                Pegasus::CIMObjectPath path = delivered;
                completePath(path, nameSpace, _hostName);
                sink.path(path);
            });
        try
        {
            callProvider(
                operationLabel("enumerateInstanceNames", servedClass), handler,
                [&]
                {
                    provider->enumerateInstanceNames(
                        context,
                        Pegasus::CIMObjectPath(Pegasus::String(_hostName.c_str()), nameSpace, servedClass),
                        handler);
                });
        }
        catch (const CIMException& e)
        {
            if (skippable(e, servedClass, className)) continue;
            throw;
        }
    }
}

Pegasus::Array<Pegasus::CIMObjectPath>
CimOperations::enumerateInstanceNames(const Pegasus::OperationContext& context,
                                      const Pegasus::CIMNamespaceName& nameSpace,
                                      const Pegasus::CIMName& className) const
{
    CollectingSink sink;
    enumerateInstanceNames(context, nameSpace, className, sink);
    return sink.takePaths();
}

Pegasus::CIMObjectPath CimOperations::createInstance(const Pegasus::OperationContext& context,
                                                     const Pegasus::CIMNamespaceName& nameSpace,
                                                     const Pegasus::CIMInstance& newInstance) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = newInstance.getClassName();
    Pegasus::CIMConstClass cimClass = requireClass(nameSpace, className);
    Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, className);
    if (!provider) throw noProvider(Pegasus::CIM_ERR_NOT_SUPPORTED, className);

    Pegasus::CIMObjectPath reference = providerPath(
        nameSpace,
        Pegasus::CIMObjectPath(Pegasus::String(), Pegasus::CIMNamespaceName(), className,
                               instanceKeys(newInstance, newInstance.getPath(), cimClass).getKeyBindings()));
    ObjectPathCollector handler;
    std::string operation = operationLabel("createInstance", className);
    callProvider(operation, handler,
                 [&] { provider->createInstance(context, reference, newInstance, handler); });
    if (handler.paths.size() != 1)
        throw CIMException(Pegasus::CIM_ERR_FAILED,
                           (operation + ": the provider must deliver exactly one instance name, not " +
                            std::to_string(handler.paths.size()))
                               .c_str());
    Pegasus::CIMObjectPath created = handler.paths[0];
    completePath(created, nameSpace, _hostName);
    return created;
}

void CimOperations::modifyInstance(const Pegasus::OperationContext& context,
                                   const Pegasus::CIMNamespaceName& nameSpace,
                                   const Pegasus::CIMInstance& modifiedInstance, bool includeQualifiers,
                                   const Pegasus::CIMPropertyList& propertyList) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = modifiedInstance.getClassName();
    Pegasus::CIMConstClass cimClass = requireClass(nameSpace, className);
    Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, className);
    if (!provider) throw noProvider(Pegasus::CIM_ERR_NOT_SUPPORTED, className);

    Pegasus::CIMObjectPath keys = instanceKeys(modifiedInstance, modifiedInstance.getPath(), cimClass);
    Pegasus::CIMObjectPath reference =
        providerPath(nameSpace, Pegasus::CIMObjectPath(Pegasus::String(), Pegasus::CIMNamespaceName(),
                                                       className, keys.getKeyBindings()));
    CompletionCollector handler;
    callProvider(operationLabel("modifyInstance", className), handler,
                 [&]
                 {
                     provider->modifyInstance(context, reference, modifiedInstance, includeQualifiers,
                                              propertyList, handler);
                 });
}

void CimOperations::deleteInstance(const Pegasus::OperationContext& context,
                                   const Pegasus::CIMNamespaceName& nameSpace,
                                   const Pegasus::CIMObjectPath& instanceName) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = instanceName.getClassName();
    requireClass(nameSpace, className);
    Pegasus::CIMInstanceProvider* provider = _providers.instanceProvider(nameSpace, className);
    if (!provider) throw noProvider(Pegasus::CIM_ERR_NOT_SUPPORTED, className);

    CompletionCollector handler;
    callProvider(operationLabel("deleteInstance", className), handler,
                 [&] { provider->deleteInstance(context, providerPath(nameSpace, instanceName), handler); });
}

Pegasus::CIMValue CimOperations::getProperty(const Pegasus::OperationContext& context,
                                             const Pegasus::CIMNamespaceName& nameSpace,
                                             const Pegasus::CIMObjectPath& instanceName,
                                             const Pegasus::CIMName& propertyName) const
{
    requireNamespace(nameSpace);
    Pegasus::CIMConstClass cimClass = requireClass(nameSpace, instanceName.getClassName());
    Pegasus::Uint32 declared = cimClass.findProperty(propertyName);
    if (declared == PEG_NOT_FOUND)
        throw CIMException(Pegasus::CIM_ERR_NO_SUCH_PROPERTY, propertyName.getString());

    ResultFilter filter;
    Pegasus::Array<Pegasus::CIMName> only;
    only.append(propertyName);
    filter.propertyList = Pegasus::CIMPropertyList(only);
    Pegasus::CIMInstance instance = getInstance(context, nameSpace, instanceName, filter);
    Pegasus::Uint32 index = instance.findProperty(propertyName);
    if (index != PEG_NOT_FOUND) return instance.getProperty(index).getValue();
    const Pegasus::CIMConstProperty declaration = cimClass.getProperty(declared);
    return Pegasus::CIMValue(declaration.getType(), declaration.isArray());
}

void CimOperations::setProperty(const Pegasus::OperationContext& context,
                                const Pegasus::CIMNamespaceName& nameSpace,
                                const Pegasus::CIMObjectPath& instanceName,
                                const Pegasus::CIMName& propertyName, const Pegasus::CIMValue& newValue) const
{
    requireNamespace(nameSpace);
    const Pegasus::CIMName& className = instanceName.getClassName();
    Pegasus::CIMConstClass cimClass = requireClass(nameSpace, className);
    Pegasus::Uint32 declared = cimClass.findProperty(propertyName);
    if (declared == PEG_NOT_FOUND)
        throw CIMException(Pegasus::CIM_ERR_NO_SUCH_PROPERTY, propertyName.getString());
    const Pegasus::CIMConstProperty declaration = cimClass.getProperty(declared);
    if (newValue.getType() != declaration.getType() || newValue.isArray() != declaration.isArray())
    {
        if (!newValue.isNull())
            throw CIMException(Pegasus::CIM_ERR_TYPE_MISMATCH,
                               Pegasus::String("property ") + propertyName.getString() + " is of type " +
                                   Pegasus::cimTypeToString(declaration.getType()) +
                                   (declaration.isArray() ? "[]" : ""));
    }
    Pegasus::CIMValue value =
        newValue.isNull() ? Pegasus::CIMValue(declaration.getType(), declaration.isArray()) : newValue;
    bool isReference = declaration.getType() == Pegasus::CIMTYPE_REFERENCE;

    Pegasus::CIMInstance modified(className);
    modified.addProperty(Pegasus::CIMProperty(
        propertyName, value, 0, isReference ? declaration.getReferenceClassName() : Pegasus::CIMName()));
    modified.setPath(instanceName);
    Pegasus::Array<Pegasus::CIMName> only;
    only.append(propertyName);
    modifyInstance(context, nameSpace, modified, false, Pegasus::CIMPropertyList(only));
}

} // namespace cimhost
