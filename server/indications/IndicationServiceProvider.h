// The indication service as the host serves it in each interop namespace: filters, listener
// destinations and subscriptions, created, read, modified (a subscription's state) and deleted
// with the intrinsic operations, CIM_IndicationSubscription traversed as an association, and one
// CIM_IndicationService instance with the delivery settings.
#ifndef CIMHOST_IndicationServiceProvider_h
#define CIMHOST_IndicationServiceProvider_h

#include <string>
#include <vector>

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

#include "ClassRepository.h"
#include "IndicationService.h"
#include "ProviderRegistry.h"

namespace cimhost
{

class IndicationServiceProvider : public Pegasus::CIMInstanceProvider, public Pegasus::CIMAssociationProvider
{
public:
    IndicationServiceProvider(IndicationService& service, const ClassRepository& repository,
                              const DeliverySettings& delivery, std::string hostName);

    // The service's classes in each of the namespaces given (the interop namespaces).
    static std::vector<ProviderCapability>
    capabilities(const std::vector<Pegasus::CIMNamespaceName>& namespaces);

    void initialize(Pegasus::CIMOMHandle&) override {}
    void terminate() override {}

    void getInstance(const Pegasus::OperationContext& context,
                     const Pegasus::CIMObjectPath& instanceReference,
                     const Pegasus::Boolean includeQualifiers, const Pegasus::Boolean includeClassOrigin,
                     const Pegasus::CIMPropertyList& propertyList,
                     Pegasus::InstanceResponseHandler& handler) override;
    void enumerateInstances(const Pegasus::OperationContext& context,
                            const Pegasus::CIMObjectPath& classReference,
                            const Pegasus::Boolean includeQualifiers,
                            const Pegasus::Boolean includeClassOrigin,
                            const Pegasus::CIMPropertyList& propertyList,
                            Pegasus::InstanceResponseHandler& handler) override;
    void enumerateInstanceNames(const Pegasus::OperationContext& context,
                                const Pegasus::CIMObjectPath& classReference,
                                Pegasus::ObjectPathResponseHandler& handler) override;
    void modifyInstance(const Pegasus::OperationContext& context,
                        const Pegasus::CIMObjectPath& instanceReference,
                        const Pegasus::CIMInstance& instanceObject, const Pegasus::Boolean includeQualifiers,
                        const Pegasus::CIMPropertyList& propertyList,
                        Pegasus::ResponseHandler& handler) override;
    void createInstance(const Pegasus::OperationContext& context,
                        const Pegasus::CIMObjectPath& instanceReference,
                        const Pegasus::CIMInstance& instanceObject,
                        Pegasus::ObjectPathResponseHandler& handler) override;
    void deleteInstance(const Pegasus::OperationContext& context,
                        const Pegasus::CIMObjectPath& instanceReference,
                        Pegasus::ResponseHandler& handler) override;

    void associators(const Pegasus::OperationContext& context, const Pegasus::CIMObjectPath& objectName,
                     const Pegasus::CIMName& associationClass, const Pegasus::CIMName& resultClass,
                     const Pegasus::String& role, const Pegasus::String& resultRole,
                     const Pegasus::Boolean includeQualifiers, const Pegasus::Boolean includeClassOrigin,
                     const Pegasus::CIMPropertyList& propertyList,
                     Pegasus::ObjectResponseHandler& handler) override;
    void associatorNames(const Pegasus::OperationContext& context, const Pegasus::CIMObjectPath& objectName,
                         const Pegasus::CIMName& associationClass, const Pegasus::CIMName& resultClass,
                         const Pegasus::String& role, const Pegasus::String& resultRole,
                         Pegasus::ObjectPathResponseHandler& handler) override;
    void references(const Pegasus::OperationContext& context, const Pegasus::CIMObjectPath& objectName,
                    const Pegasus::CIMName& resultClass, const Pegasus::String& role,
                    const Pegasus::Boolean includeQualifiers, const Pegasus::Boolean includeClassOrigin,
                    const Pegasus::CIMPropertyList& propertyList,
                    Pegasus::ObjectResponseHandler& handler) override;
    void referenceNames(const Pegasus::OperationContext& context, const Pegasus::CIMObjectPath& objectName,
                        const Pegasus::CIMName& resultClass, const Pegasus::String& role,
                        Pegasus::ObjectPathResponseHandler& handler) override;

private:
    // The instances of exactly that class, as served in the namespace.
    std::vector<Pegasus::CIMInstance> served(const Pegasus::CIMNamespaceName& nameSpace,
                                             const Pegasus::CIMName& className) const;
    Pegasus::CIMInstance serviceInstance() const;
    // Calls visit(subscription, other end) for each subscription with objectName at one end that
    // meets the association filters.
    template <class Visit>
    void visitLinks(const Pegasus::CIMObjectPath& objectName, const Pegasus::CIMName& associationClass,
                    const Pegasus::CIMName& resultClass, const Pegasus::String& role,
                    const Pegasus::String& resultRole, Visit&& visit) const;

    IndicationService& _service;
    const ClassRepository& _repository;
    const DeliverySettings _delivery;
    const std::string _hostName;
};

} // namespace cimhost

#endif
