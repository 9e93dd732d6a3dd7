#include "HostCimomHandle.h"

#include <exception>

#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/ProviderException.h>

namespace cimhost
{

namespace
{

// Per thread: a nested call runs in the thread of the operation that made it.
thread_local unsigned nestingDepth = 0;

class NestingGuard
{
public:
    NestingGuard()
    {
        if (nestingDepth >= HostCimomHandle::MAX_NESTING)
            throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED, "provider calls nested too deeply");
        ++nestingDepth;
    }
    ~NestingGuard() { --nestingDepth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

ResultFilter filterOf(bool includeQualifiers, bool includeClassOrigin, const Pegasus::CIMPropertyList& list)
{
    ResultFilter filter;
    filter.includeQualifiers = includeQualifiers;
    filter.includeClassOrigin = includeClassOrigin;
    filter.propertyList = list;
    return filter;
}

// A provider's enumeration through the handle names the class it wants; an empty name is an
// invalid class there, as an unknown one is (a client's request without one is an invalid parameter).
void requireNamedClass(const Pegasus::CIMName& className)
{
    if (className.isNull())
        throw Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_CLASS, "no class name given");
}

} // namespace

const unsigned HostCimomHandle::MAX_NESTING;

HostCimomHandle::HostCimomHandle(std::shared_ptr<const CimOperations> operations)
    : _operations(std::move(operations))
{
}

template <class Operation>
auto HostCimomHandle::run(Operation&& operation) -> decltype(operation(std::declval<const CimOperations&>()))
{
    NestingGuard guard;
    try
    {
        return operation(*_operations);
    }
    catch (const Pegasus::CIMException&)
    {
        throw;
    }
    catch (const Pegasus::Exception& e)
    {
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED, e.getMessage());
    }
    catch (const std::exception& e)
    {
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED, e.what());
    }
}

Pegasus::CIMClass HostCimomHandle::getClass(const Pegasus::OperationContext&,
                                            const Pegasus::CIMNamespaceName& nameSpace,
                                            const Pegasus::CIMName& className, Pegasus::Boolean localOnly,
                                            Pegasus::Boolean includeQualifiers,
                                            Pegasus::Boolean includeClassOrigin,
                                            const Pegasus::CIMPropertyList& propertyList)
{
    return run(
        [&](const CimOperations& ops)
        {
            return ops.getClass(nameSpace, className, localOnly,
                                filterOf(includeQualifiers, includeClassOrigin, propertyList));
        });
}

Pegasus::Array<Pegasus::CIMClass> HostCimomHandle::enumerateClasses(
    const Pegasus::OperationContext&, const Pegasus::CIMNamespaceName& nameSpace,
    const Pegasus::CIMName& className, Pegasus::Boolean deepInheritance, Pegasus::Boolean localOnly,
    Pegasus::Boolean includeQualifiers, Pegasus::Boolean includeClassOrigin)
{
    return run(
        [&](const CimOperations& ops)
        {
            return ops.enumerateClasses(
                nameSpace, className, deepInheritance, localOnly,
                filterOf(includeQualifiers, includeClassOrigin, Pegasus::CIMPropertyList()));
        });
}

Pegasus::Array<Pegasus::CIMName>
HostCimomHandle::enumerateClassNames(const Pegasus::OperationContext&,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMName& className, Pegasus::Boolean deepInheritance)
{
    return run([&](const CimOperations& ops)
               { return ops.enumerateClassNames(nameSpace, className, deepInheritance); });
}

void HostCimomHandle::createClass(const Pegasus::OperationContext&, const Pegasus::CIMNamespaceName&,
                                  const Pegasus::CIMClass&)
{
    throw Pegasus::CIMNotSupportedException("createClass: the schema is read-only");
}

void HostCimomHandle::modifyClass(const Pegasus::OperationContext&, const Pegasus::CIMNamespaceName&,
                                  const Pegasus::CIMClass&)
{
    throw Pegasus::CIMNotSupportedException("modifyClass: the schema is read-only");
}

void HostCimomHandle::deleteClass(const Pegasus::OperationContext&, const Pegasus::CIMNamespaceName&,
                                  const Pegasus::CIMName&)
{
    throw Pegasus::CIMNotSupportedException("deleteClass: the schema is read-only");
}

Pegasus::CIMInstance HostCimomHandle::getInstance(const Pegasus::OperationContext& context,
                                                  const Pegasus::CIMNamespaceName& nameSpace,
                                                  const Pegasus::CIMObjectPath& instanceName,
                                                  Pegasus::Boolean, Pegasus::Boolean includeQualifiers,
                                                  Pegasus::Boolean includeClassOrigin,
                                                  const Pegasus::CIMPropertyList& propertyList)
{
    return run(
        [&](const CimOperations& ops)
        {
            return ops.getInstance(context, nameSpace, instanceName,
                                   filterOf(includeQualifiers, includeClassOrigin, propertyList));
        });
}

Pegasus::Array<Pegasus::CIMInstance> HostCimomHandle::enumerateInstances(
    const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
    const Pegasus::CIMName& className, Pegasus::Boolean deepInheritance, Pegasus::Boolean,
    Pegasus::Boolean includeQualifiers, Pegasus::Boolean includeClassOrigin,
    const Pegasus::CIMPropertyList& propertyList)
{
    requireNamedClass(className);
    return run(
        [&](const CimOperations& ops)
        {
            return ops.enumerateInstances(context, nameSpace, className, deepInheritance,
                                          filterOf(includeQualifiers, includeClassOrigin, propertyList));
        });
}

Pegasus::Array<Pegasus::CIMObjectPath>
HostCimomHandle::enumerateInstanceNames(const Pegasus::OperationContext& context,
                                        const Pegasus::CIMNamespaceName& nameSpace,
                                        const Pegasus::CIMName& className)
{
    requireNamedClass(className);
    return run([&](const CimOperations& ops)
               { return ops.enumerateInstanceNames(context, nameSpace, className); });
}

Pegasus::CIMObjectPath HostCimomHandle::createInstance(const Pegasus::OperationContext& context,
                                                       const Pegasus::CIMNamespaceName& nameSpace,
                                                       const Pegasus::CIMInstance& newInstance)
{
    return run([&](const CimOperations& ops) { return ops.createInstance(context, nameSpace, newInstance); });
}

void HostCimomHandle::modifyInstance(const Pegasus::OperationContext& context,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMInstance& modifiedInstance,
                                     Pegasus::Boolean includeQualifiers,
                                     const Pegasus::CIMPropertyList& propertyList)
{
    run([&](const CimOperations& ops)
        { ops.modifyInstance(context, nameSpace, modifiedInstance, includeQualifiers, propertyList); });
}

void HostCimomHandle::deleteInstance(const Pegasus::OperationContext& context,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMObjectPath& instanceName)
{
    run([&](const CimOperations& ops) { ops.deleteInstance(context, nameSpace, instanceName); });
}

Pegasus::Array<Pegasus::CIMObject> HostCimomHandle::execQuery(const Pegasus::OperationContext&,
                                                              const Pegasus::CIMNamespaceName&,
                                                              const Pegasus::String&, const Pegasus::String&)
{
    throw Pegasus::CIMNotSupportedException("execQuery: queries are not supported");
}

Pegasus::Array<Pegasus::CIMObject> HostCimomHandle::associators(
    const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
    const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& assocClass,
    const Pegasus::CIMName& resultClass, const Pegasus::String& role, const Pegasus::String& resultRole,
    Pegasus::Boolean includeQualifiers, Pegasus::Boolean includeClassOrigin,
    const Pegasus::CIMPropertyList& propertyList)
{
    AssociationQuery query{objectName, assocClass, resultClass, role, resultRole};
    return run(
        [&](const CimOperations& ops)
        {
            return ops.associators(context, nameSpace, query,
                                   filterOf(includeQualifiers, includeClassOrigin, propertyList));
        });
}

Pegasus::Array<Pegasus::CIMObjectPath> HostCimomHandle::associatorNames(
    const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
    const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& assocClass,
    const Pegasus::CIMName& resultClass, const Pegasus::String& role, const Pegasus::String& resultRole)
{
    AssociationQuery query{objectName, assocClass, resultClass, role, resultRole};
    return run([&](const CimOperations& ops) { return ops.associatorNames(context, nameSpace, query); });
}

Pegasus::Array<Pegasus::CIMObject>
HostCimomHandle::references(const Pegasus::OperationContext& context,
                            const Pegasus::CIMNamespaceName& nameSpace,
                            const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& resultClass,
                            const Pegasus::String& role, Pegasus::Boolean includeQualifiers,
                            Pegasus::Boolean includeClassOrigin, const Pegasus::CIMPropertyList& propertyList)
{
    AssociationQuery query{objectName, Pegasus::CIMName(), resultClass, role, Pegasus::String()};
    return run(
        [&](const CimOperations& ops)
        {
            return ops.references(context, nameSpace, query,
                                  filterOf(includeQualifiers, includeClassOrigin, propertyList));
        });
}

Pegasus::Array<Pegasus::CIMObjectPath>
HostCimomHandle::referenceNames(const Pegasus::OperationContext& context,
                                const Pegasus::CIMNamespaceName& nameSpace,
                                const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& resultClass,
                                const Pegasus::String& role)
{
    AssociationQuery query{objectName, Pegasus::CIMName(), resultClass, role, Pegasus::String()};
    return run([&](const CimOperations& ops) { return ops.referenceNames(context, nameSpace, query); });
}

Pegasus::CIMValue HostCimomHandle::getProperty(const Pegasus::OperationContext& context,
                                               const Pegasus::CIMNamespaceName& nameSpace,
                                               const Pegasus::CIMObjectPath& instanceName,
                                               const Pegasus::CIMName& propertyName)
{
    return run([&](const CimOperations& ops)
               { return ops.getProperty(context, nameSpace, instanceName, propertyName); });
}

void HostCimomHandle::setProperty(const Pegasus::OperationContext& context,
                                  const Pegasus::CIMNamespaceName& nameSpace,
                                  const Pegasus::CIMObjectPath& instanceName,
                                  const Pegasus::CIMName& propertyName, const Pegasus::CIMValue& newValue)
{
    run([&](const CimOperations& ops)
        { ops.setProperty(context, nameSpace, instanceName, propertyName, newValue); });
}

Pegasus::CIMValue HostCimomHandle::invokeMethod(const Pegasus::OperationContext& context,
                                                const Pegasus::CIMNamespaceName& nameSpace,
                                                const Pegasus::CIMObjectPath& instanceName,
                                                const Pegasus::CIMName& methodName,
                                                const Pegasus::Array<Pegasus::CIMParamValue>& inParameters,
                                                Pegasus::Array<Pegasus::CIMParamValue>& outParameters)
{
    return run(
        [&](const CimOperations& ops) {
            return ops.invokeMethod(context, nameSpace, instanceName, methodName, inParameters,
                                    outParameters);
        });
}

} // namespace cimhost
