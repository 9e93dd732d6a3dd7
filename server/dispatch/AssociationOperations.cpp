// The association operations. With an association class named (AssocClass for Associators,
// ResultClass for References) the providers of that class and its subclasses answer; without one,
// every association provider of the namespace whose association can refer to the source object.
// Each provider is called with its own association class name. A provider that answers
// CIM_ERR_NOT_SUPPORTED contributes nothing, named or not: the answer is the union of the others.
#include "CimOperations.h"

#include <vector>

#include <Pegasus/Common/Exception.h>

#include "ProviderCall.h"
#include "ResultSinks.h"

namespace cimhost
{

namespace
{

using Pegasus::CIMException;

struct AssociationTarget
{
    Pegasus::CIMName associationClass;
    Pegasus::CIMAssociationProvider* provider;
};

// True when one of the association's references (the one named by role, if given) may point to
// an object of the source class.
bool canRefer(const ClassRepository& repository, const Pegasus::CIMNamespaceName& nameSpace,
              const Pegasus::CIMConstClass& association, const Pegasus::CIMName& sourceClass,
              const Pegasus::String& role)
{
    for (Pegasus::Uint32 i = 0; i < association.getPropertyCount(); ++i)
    {
        Pegasus::CIMConstProperty property = association.getProperty(i);
        if (property.getType() != Pegasus::CIMTYPE_REFERENCE) continue;
        if (role.size() != 0 && !Pegasus::String::equalNoCase(role, property.getName().getString())) continue;
        const Pegasus::CIMName& referenced = property.getReferenceClassName();
        if (referenced.isNull() || repository.isA(nameSpace, sourceClass, referenced)) return true;
    }
    return false;
}

std::vector<AssociationTarget> associationTargets(const CimOperations& operations,
                                                  const Pegasus::CIMNamespaceName& nameSpace,
                                                  const Pegasus::CIMName& sourceClass,
                                                  const Pegasus::CIMName& namedClass,
                                                  const Pegasus::String& role)
{
    const ClassRepository& repository = operations.repository();
    const ProviderManager& providers = operations.providers();
    std::vector<AssociationTarget> targets;
    if (!namedClass.isNull())
    {
        std::vector<Pegasus::CIMName> candidates{namedClass};
        for (const Pegasus::CIMName& subclass : repository.subclassNames(nameSpace, namedClass, true))
            candidates.push_back(subclass);
        for (const Pegasus::CIMName& candidate : candidates)
            if (Pegasus::CIMAssociationProvider* provider =
                    providers.associationProvider(nameSpace, candidate))
                targets.push_back({candidate, provider});
        return targets;
    }
    for (const RegisteredAssociation& registered : providers.associations(nameSpace))
    {
        Pegasus::CIMConstClass association =
            repository.resolvedClassView(nameSpace, registered.associationClass);
        if (!association.isUninitialized() && canRefer(repository, nameSpace, association, sourceClass, role))
            targets.push_back({registered.associationClass, registered.provider});
    }
    return targets;
}

std::string operationLabel(const char* operation, const Pegasus::CIMName& associationClass)
{
    return std::string(operation) + " of " + std::string(associationClass.getString().getCString());
}

// Runs the call for every target, its deliveries going to receive as they come; a provider that
// does not support the operation (for example because the source object is not its kind)
// contributes nothing further.
template <class Handler, class Call>
void forEachTarget(const std::vector<AssociationTarget>& targets, const char* operation,
                   const typename Handler::Receiver& receive, Call&& call)
{
    for (const AssociationTarget& target : targets)
    {
        Handler handler(receive);
        try
        {
            callProvider(operationLabel(operation, target.associationClass), handler,
                         [&] { call(target, handler); });
        }
        catch (const CIMException& e)
        {
            if (e.getCode() == Pegasus::CIM_ERR_NOT_SUPPORTED) continue;
            throw;
        }
    }
}

} // namespace

const Pegasus::CIMName& CimOperations::checkAssociationQuery(const Pegasus::CIMNamespaceName& nameSpace,
                                                             const AssociationQuery& query,
                                                             bool references) const
{
    requireNamespace(nameSpace);
    requireClass(nameSpace, query.objectName.getClassName());
    const Pegasus::CIMName& namedClass = references ? query.resultClass : query.assocClass;
    if (!namedClass.isNull()) requireClass(nameSpace, namedClass, Pegasus::CIM_ERR_INVALID_PARAMETER);
    if (!references && !query.resultClass.isNull())
        requireClass(nameSpace, query.resultClass, Pegasus::CIM_ERR_INVALID_PARAMETER);
    return namedClass;
}

void CimOperations::associationObjects(const Pegasus::OperationContext& context,
                                       const Pegasus::CIMNamespaceName& nameSpace,
                                       const AssociationQuery& query, const ResultFilter& filter,
                                       bool references, ResultSink& sink) const
{
    const Pegasus::CIMName& sourceClass = query.objectName.getClassName();
    const Pegasus::CIMName& namedClass = checkAssociationQuery(nameSpace, query, references);

    Pegasus::CIMObjectPath objectName = providerPath(nameSpace, query.objectName);
    forEachTarget<ObjectForwarder>(
        associationTargets(*this, nameSpace, sourceClass, namedClass, query.role),
        references ? "references" : "associators",
        [&](const Pegasus::CIMObject& object)
        {
            if (object.isInstance())
                sink.object(object,
                            completedInstancePath(Pegasus::CIMConstInstance(object), _repository, nameSpace,
                                                  _hostName),
                            filter);
            else
                sink.object(object, object.getPath(), filter);
        },
        [&](const AssociationTarget& target, ObjectForwarder& handler)
        {
            if (references)
                target.provider->references(context, objectName, target.associationClass, query.role,
                                            filter.includeQualifiers, filter.includeClassOrigin,
                                            filter.propertyList, handler);
            else
                target.provider->associators(context, objectName, target.associationClass, query.resultClass,
                                             query.role, query.resultRole, filter.includeQualifiers,
                                             filter.includeClassOrigin, filter.propertyList, handler);
        });
}

void CimOperations::associationNames(const Pegasus::OperationContext& context,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const AssociationQuery& query, bool references, ResultSink& sink) const
{
    const Pegasus::CIMName& sourceClass = query.objectName.getClassName();
    const Pegasus::CIMName& namedClass = checkAssociationQuery(nameSpace, query, references);

    Pegasus::CIMObjectPath objectName = providerPath(nameSpace, query.objectName);
    forEachTarget<ObjectPathForwarder>(
        associationTargets(*this, nameSpace, sourceClass, namedClass, query.role),
        references ? "referenceNames" : "associatorNames",
        [&](const Pegasus::CIMObjectPath& delivered)
        {
            Pegasus::CIMObjectPath path = delivered;
            completePath(path, nameSpace, _hostName);
            sink.path(path);
        },
        [&](const AssociationTarget& target, ObjectPathForwarder& handler)
        {
            if (references)
                target.provider->referenceNames(context, objectName, target.associationClass, query.role,
                                                handler);
            else
                target.provider->associatorNames(context, objectName, target.associationClass,
                                                 query.resultClass, query.role, query.resultRole, handler);
        });
}

void CimOperations::associators(const Pegasus::OperationContext& context,
                                const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                                const ResultFilter& filter, ResultSink& sink) const
{
    associationObjects(context, nameSpace, query, filter, false, sink);
}

void CimOperations::associatorNames(const Pegasus::OperationContext& context,
                                    const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                                    ResultSink& sink) const
{
    associationNames(context, nameSpace, query, false, sink);
}

void CimOperations::references(const Pegasus::OperationContext& context,
                               const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                               const ResultFilter& filter, ResultSink& sink) const
{
    associationObjects(context, nameSpace, query, filter, true, sink);
}

void CimOperations::referenceNames(const Pegasus::OperationContext& context,
                                   const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                                   ResultSink& sink) const
{
    associationNames(context, nameSpace, query, true, sink);
}

Pegasus::Array<Pegasus::CIMObject> CimOperations::associators(const Pegasus::OperationContext& context,
                                                              const Pegasus::CIMNamespaceName& nameSpace,
                                                              const AssociationQuery& query,
                                                              const ResultFilter& filter) const
{
    CollectingSink sink;
    associators(context, nameSpace, query, filter, sink);
    return sink.takeObjects();
}

Pegasus::Array<Pegasus::CIMObjectPath>
CimOperations::associatorNames(const Pegasus::OperationContext& context,
                               const Pegasus::CIMNamespaceName& nameSpace,
                               const AssociationQuery& query) const
{
    CollectingSink sink;
    associatorNames(context, nameSpace, query, sink);
    return sink.takePaths();
}

Pegasus::Array<Pegasus::CIMObject> CimOperations::references(const Pegasus::OperationContext& context,
                                                             const Pegasus::CIMNamespaceName& nameSpace,
                                                             const AssociationQuery& query,
                                                             const ResultFilter& filter) const
{
    CollectingSink sink;
    references(context, nameSpace, query, filter, sink);
    return sink.takeObjects();
}

Pegasus::Array<Pegasus::CIMObjectPath>
CimOperations::referenceNames(const Pegasus::OperationContext& context,
                              const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query) const
{
    CollectingSink sink;
    referenceNames(context, nameSpace, query, sink);
    return sink.takePaths();
}

} // namespace cimhost
