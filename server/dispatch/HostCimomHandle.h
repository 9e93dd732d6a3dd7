// The server side of the providers' CIMOMHandle: every call runs the same typed operation a
// client request runs, synchronously in the calling thread, so a provider may call back into the
// host from inside one of its own operations. Class changes and queries are not supported.
#ifndef CIMHOST_HostCimomHandle_h
#define CIMHOST_HostCimomHandle_h

#include <memory>
#include <utility>

#include <Pegasus/Provider/CIMOMHandleRep.h>

#include "CimOperations.h"

namespace cimhost
{

class HostCimomHandle : public Pegasus::CIMOMHandleRep
{
public:
    // Calls nested deeper than this (a provider calling itself through the host) fail with
    // CIM_ERR_FAILED instead of exhausting the stack.
    static const unsigned MAX_NESTING = 16;

    explicit HostCimomHandle(std::shared_ptr<const CimOperations> operations);

    Pegasus::CIMClass getClass(const Pegasus::OperationContext& context,
                               const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className,
                               Pegasus::Boolean localOnly, Pegasus::Boolean includeQualifiers,
                               Pegasus::Boolean includeClassOrigin,
                               const Pegasus::CIMPropertyList& propertyList) override;
    Pegasus::Array<Pegasus::CIMClass>
    enumerateClasses(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMName& className, Pegasus::Boolean deepInheritance,
                     Pegasus::Boolean localOnly, Pegasus::Boolean includeQualifiers,
                     Pegasus::Boolean includeClassOrigin) override;
    Pegasus::Array<Pegasus::CIMName> enumerateClassNames(const Pegasus::OperationContext& context,
                                                         const Pegasus::CIMNamespaceName& nameSpace,
                                                         const Pegasus::CIMName& className,
                                                         Pegasus::Boolean deepInheritance) override;
    void createClass(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMClass& newClass) override;
    void modifyClass(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMClass& modifiedClass) override;
    void deleteClass(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMName& className) override;

    Pegasus::CIMInstance getInstance(const Pegasus::OperationContext& context,
                                     const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMObjectPath& instanceName, Pegasus::Boolean localOnly,
                                     Pegasus::Boolean includeQualifiers, Pegasus::Boolean includeClassOrigin,
                                     const Pegasus::CIMPropertyList& propertyList) override;
    Pegasus::Array<Pegasus::CIMInstance>
    enumerateInstances(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                       const Pegasus::CIMName& className, Pegasus::Boolean deepInheritance,
                       Pegasus::Boolean localOnly, Pegasus::Boolean includeQualifiers,
                       Pegasus::Boolean includeClassOrigin,
                       const Pegasus::CIMPropertyList& propertyList) override;
    Pegasus::Array<Pegasus::CIMObjectPath> enumerateInstanceNames(const Pegasus::OperationContext& context,
                                                                  const Pegasus::CIMNamespaceName& nameSpace,
                                                                  const Pegasus::CIMName& className) override;
    Pegasus::CIMObjectPath createInstance(const Pegasus::OperationContext& context,
                                          const Pegasus::CIMNamespaceName& nameSpace,
                                          const Pegasus::CIMInstance& newInstance) override;
    void modifyInstance(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                        const Pegasus::CIMInstance& modifiedInstance, Pegasus::Boolean includeQualifiers,
                        const Pegasus::CIMPropertyList& propertyList) override;
    void deleteInstance(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                        const Pegasus::CIMObjectPath& instanceName) override;
    Pegasus::Array<Pegasus::CIMObject> execQuery(const Pegasus::OperationContext& context,
                                                 const Pegasus::CIMNamespaceName& nameSpace,
                                                 const Pegasus::String& queryLanguage,
                                                 const Pegasus::String& query) override;

    Pegasus::Array<Pegasus::CIMObject>
    associators(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& assocClass,
                const Pegasus::CIMName& resultClass, const Pegasus::String& role,
                const Pegasus::String& resultRole, Pegasus::Boolean includeQualifiers,
                Pegasus::Boolean includeClassOrigin, const Pegasus::CIMPropertyList& propertyList) override;
    Pegasus::Array<Pegasus::CIMObjectPath>
    associatorNames(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                    const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& assocClass,
                    const Pegasus::CIMName& resultClass, const Pegasus::String& role,
                    const Pegasus::String& resultRole) override;
    Pegasus::Array<Pegasus::CIMObject>
    references(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
               const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& resultClass,
               const Pegasus::String& role, Pegasus::Boolean includeQualifiers,
               Pegasus::Boolean includeClassOrigin, const Pegasus::CIMPropertyList& propertyList) override;
    Pegasus::Array<Pegasus::CIMObjectPath> referenceNames(const Pegasus::OperationContext& context,
                                                          const Pegasus::CIMNamespaceName& nameSpace,
                                                          const Pegasus::CIMObjectPath& objectName,
                                                          const Pegasus::CIMName& resultClass,
                                                          const Pegasus::String& role) override;

    Pegasus::CIMValue getProperty(const Pegasus::OperationContext& context,
                                  const Pegasus::CIMNamespaceName& nameSpace,
                                  const Pegasus::CIMObjectPath& instanceName,
                                  const Pegasus::CIMName& propertyName) override;
    void setProperty(const Pegasus::OperationContext& context, const Pegasus::CIMNamespaceName& nameSpace,
                     const Pegasus::CIMObjectPath& instanceName, const Pegasus::CIMName& propertyName,
                     const Pegasus::CIMValue& newValue) override;
    Pegasus::CIMValue invokeMethod(const Pegasus::OperationContext& context,
                                   const Pegasus::CIMNamespaceName& nameSpace,
                                   const Pegasus::CIMObjectPath& instanceName,
                                   const Pegasus::CIMName& methodName,
                                   const Pegasus::Array<Pegasus::CIMParamValue>& inParameters,
                                   Pegasus::Array<Pegasus::CIMParamValue>& outParameters) override;

private:
    // Runs the operation with the nesting limit; failures reach the provider as CIMException.
    template <class Operation>
    auto run(Operation&& operation) -> decltype(operation(std::declval<const CimOperations&>()));

    std::shared_ptr<const CimOperations> _operations;
};

} // namespace cimhost

#endif
