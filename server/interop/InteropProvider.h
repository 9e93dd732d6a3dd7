// The host's own provider of its interop namespaces: the object manager and its CIM-XML
// communication mechanisms, the namespaces it serves (CIM_Namespace, and __Namespace in "root"),
// the registered profiles made from the providers' profile registrations with
// CIM_SubProfileRequiresProfile and CIM_ElementConformsToProfile, and the host's own Server and
// Profile Registration profiles with the CIM_ReferencedProfile between them.
// Conforming elements are found as OpenPegasus finds them, through the CIMOM handle: every instance
// of the registration's ConformingElements classes, or, when it lists none, the elements that the
// registered provider's own CIM_ElementConformsToProfile subclass names. The association is served
// in the interop namespaces, and in the namespaces of conforming elements for those of the first
// rule (the provider of the subclass answers for its own there).
#ifndef CIMHOST_InteropProvider_h
#define CIMHOST_InteropProvider_h

#include <memory>
#include <string>
#include <vector>

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

#include "ClassRepository.h"
#include "ProviderRegistry.h"

namespace cimhost
{

// What the object manager instances say about the host; the listeners are known only once bound.
struct ObjectManagerFacts
{
    std::string hostName;
    std::string version; // e.g. "1.0.0"
    bool basicAuthentication = false;
    std::vector<std::string> schemes; // "http", "https": one communication mechanism each
};

class InteropProvider : public Pegasus::CIMInstanceProvider, public Pegasus::CIMAssociationProvider
{
public:
    // The same content in each: "interop", "root/interop" and OpenPegasus's "root/PG_InterOp". References
    // from other namespaces to a profile name the last, as OpenPegasus's do.
    static const char* const NAMESPACES[3];

    InteropProvider(const ClassRepository& repository, const std::vector<ProfileCapability>& profiles);
    ~InteropProvider() override;

    // What to register: the classes served in each namespace that has them.
    std::vector<ProviderCapability> capabilities() const;
    // Before serving starts (the facts are read by concurrent requests afterwards, never written).
    void setObjectManager(const ObjectManagerFacts& facts);

    void initialize(Pegasus::CIMOMHandle& cimom) override;
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
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
