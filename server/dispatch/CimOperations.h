// The CIM operations as typed calls: class operations answered from the repository, instance,
// association and method operations routed to providers. Both the CIM-XML requests and the
// providers' CIMOMHandle come through here. Failures are thrown as CIMException. Holds no mutable
// state, so any number of threads (and nested calls from inside a provider) may use it at once.
#ifndef CIMHOST_CimOperations_h
#define CIMHOST_CimOperations_h

#include <string>

#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/OperationContext.h>

#include "ClassRepository.h"
#include "ProviderManager.h"
#include "ResultShaping.h"

namespace cimhost
{

class ResultSink;

struct AssociationQuery
{
    Pegasus::CIMObjectPath objectName;
    Pegasus::CIMName assocClass;  // Associators only; null: every association that fits
    Pegasus::CIMName resultClass; // for References the association class filter
    Pegasus::String role;
    Pegasus::String resultRole; // Associators only
};

class CimOperations
{
public:
    CimOperations(const ClassRepository& repository, const ProviderManager& providers,
                  const std::string& hostName);

    const ClassRepository& repository() const { return _repository; }
    const ProviderManager& providers() const { return _providers; }
    const std::string& hostName() const { return _hostName; }

    // Throws CIM_ERR_INVALID_NAMESPACE unless the namespace is served.
    void requireNamespace(const Pegasus::CIMNamespaceName& nameSpace) const;
    // The resolved class, the repository's own (shared, never copied); throws the given code
    // (CIM_ERR_INVALID_CLASS by default) when unknown, CIM_ERR_INVALID_PARAMETER when no name is given.
    Pegasus::CIMConstClass
    requireClass(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className,
                 Pegasus::CIMStatusCode codeIfUnknown = Pegasus::CIM_ERR_INVALID_CLASS) const;

    Pegasus::CIMClass getClass(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className,
                               bool localOnly, const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMClass> enumerateClasses(const Pegasus::CIMNamespaceName& nameSpace,
                                                       const Pegasus::CIMName& className,
                                                       bool deepInheritance, bool localOnly,
                                                       const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMName> enumerateClassNames(const Pegasus::CIMNamespaceName& nameSpace,
                                                         const Pegasus::CIMName& className,
                                                         bool deepInheritance) const;

    Pegasus::CIMInstance getInstance(const Pegasus::OperationContext& context,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMObjectPath& instanceName,
                                     const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMInstance> enumerateInstances(const Pegasus::OperationContext& context,
                                                            const Pegasus::CIMNamespaceName& nameSpace,
                                                            const Pegasus::CIMName& className,
                                                            bool deepInheritance,
                                                            const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMObjectPath> enumerateInstanceNames(const Pegasus::OperationContext& context,
                                                                  const Pegasus::CIMNamespaceName& nameSpace,
                                                                  const Pegasus::CIMName& className) const;
    // The same enumerations delivering into a sink as the providers deliver (see ResultSinks.h).
    void enumerateInstances(const Pegasus::OperationContext& context,
                            const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className,
                            bool deepInheritance, const ResultFilter& filter, ResultSink& sink) const;
    void enumerateInstanceNames(const Pegasus::OperationContext& context,
                                const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className,
                                ResultSink& sink) const;
    Pegasus::CIMObjectPath createInstance(const Pegasus::OperationContext& context,
                                          const Pegasus::CIMNamespaceName& nameSpace,
                                          const Pegasus::CIMInstance& newInstance) const;
    // The instance's path names the instance to modify.
    void modifyInstance(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                        const Pegasus::CIMInstance& modifiedInstance, bool includeQualifiers,
                        const Pegasus::CIMPropertyList& propertyList) const;
    void deleteInstance(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                        const Pegasus::CIMObjectPath& instanceName) const;
    Pegasus::CIMValue getProperty(const Pegasus::OperationContext& context,
                                  const Pegasus::CIMNamespaceName& nameSpace,
                                  const Pegasus::CIMObjectPath& instanceName,
                                  const Pegasus::CIMName& propertyName) const;
    // newValue must already have the property's type (or be null).
    void setProperty(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMObjectPath& instanceName, const Pegasus::CIMName& propertyName,
                     const Pegasus::CIMValue& newValue) const;

    Pegasus::Array<Pegasus::CIMObject> associators(const Pegasus::OperationContext& context,
                                                   const Pegasus::CIMNamespaceName& nameSpace,
                                                   const AssociationQuery& query,
                                                   const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMObjectPath> associatorNames(const Pegasus::OperationContext& context,
                                                           const Pegasus::CIMNamespaceName& nameSpace,
                                                           const AssociationQuery& query) const;
    Pegasus::Array<Pegasus::CIMObject> references(const Pegasus::OperationContext& context,
                                                  const Pegasus::CIMNamespaceName& nameSpace,
                                                  const AssociationQuery& query,
                                                  const ResultFilter& filter) const;
    Pegasus::Array<Pegasus::CIMObjectPath> referenceNames(const Pegasus::OperationContext& context,
                                                          const Pegasus::CIMNamespaceName& nameSpace,
                                                          const AssociationQuery& query) const;
    // The same delivering into a sink.
    void associators(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const AssociationQuery& query, const ResultFilter& filter, ResultSink& sink) const;
    void associatorNames(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                         const AssociationQuery& query, ResultSink& sink) const;
    void references(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                    const AssociationQuery& query, const ResultFilter& filter, ResultSink& sink) const;
    void referenceNames(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                        const AssociationQuery& query, ResultSink& sink) const;

    // Untyped parameters are typed from the method declaration first.
    Pegasus::CIMValue invokeMethod(const Pegasus::OperationContext& context,
                                   const Pegasus::CIMNamespaceName& nameSpace,
                                   const Pegasus::CIMObjectPath& objectName,
                                   const Pegasus::CIMName& methodName,
                                   const Pegasus::Array<Pegasus::CIMParamValue>& inParameters,
                                   Pegasus::Array<Pegasus::CIMParamValue>& outParameters) const;

private:
    // The path a provider is given: this host, the namespace, the class and keys of the request.
    Pegasus::CIMObjectPath providerPath(const Pegasus::CIMNamespaceName& nameSpace,
                                        const Pegasus::CIMObjectPath& path) const;
    // Class and subclasses that have an instance provider, the class first.
    Pegasus::Array<Pegasus::CIMName> servedClasses(const Pegasus::CIMNamespaceName& nameSpace,
                                                   const Pegasus::CIMName& className) const;

    // Checks the namespace and the classes a query names; returns the class that selects the
    // association providers (the result class of a reference query, else the association class).
    const Pegasus::CIMName& checkAssociationQuery(const Pegasus::CIMNamespaceName& nameSpace,
                                                  const AssociationQuery& query, bool references) const;
    void associationObjects(const Pegasus::OperationContext& context,
                            const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                            const ResultFilter& filter, bool references, ResultSink& sink) const;
    void associationNames(const Pegasus::OperationContext& context,
                          const Pegasus::CIMNamespaceName& nameSpace, const AssociationQuery& query,
                          bool references, ResultSink& sink) const;

    const ClassRepository& _repository;
    const ProviderManager& _providers;
    std::string _hostName;
};

} // namespace cimhost

#endif
