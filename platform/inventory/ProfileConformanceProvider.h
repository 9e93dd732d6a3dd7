// Which of the array's elements conform to the profiles its management modules implement: one
// Zarvo_ElementConformsToProfile a profile, from the profile (in the server's interop namespace)
// to its central instance (the array's computer system for the Array profile). The server's
// profile registration names this provider with no ConformingElements, so that it takes the
// central instances from these associations instead of every instance of a class (which would
// make the controllers arrays too). Served in both directions: from the profile, and from the
// element back to the profile, whose instance the server's interop namespace holds.
#ifndef INVENTORY_ProfileConformanceProvider_h
#define INVENTORY_ProfileConformanceProvider_h

#include <vector>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMOMHandle.h>

#include "ElementKind.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class ProfileConformanceProvider : public CIMAssociationProvider, public CIMInstanceProvider
{
public:
    void initialize(CIMOMHandle& cimom) override;
    void terminate() override;

    void associators(const OperationContext& context, const CIMObjectPath& objectName,
                     const CIMName& associationClass, const CIMName& resultClass, const String& role,
                     const String& resultRole, const Boolean includeQualifiers,
                     const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                     ObjectResponseHandler& handler) override;
    void associatorNames(const OperationContext& context, const CIMObjectPath& objectName,
                         const CIMName& associationClass, const CIMName& resultClass, const String& role,
                         const String& resultRole, ObjectPathResponseHandler& handler) override;
    void references(const OperationContext& context, const CIMObjectPath& objectName,
                    const CIMName& resultClass, const String& role, const Boolean includeQualifiers,
                    const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                    ObjectResponseHandler& handler) override;
    void referenceNames(const OperationContext& context, const CIMObjectPath& objectName,
                        const CIMName& resultClass, const String& role,
                        ObjectPathResponseHandler& handler) override;

    void getInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                     const Boolean includeQualifiers, const Boolean includeClassOrigin,
                     const CIMPropertyList& propertyList, InstanceResponseHandler& handler) override;
    void enumerateInstances(const OperationContext& context, const CIMObjectPath& classReference,
                            const Boolean includeQualifiers, const Boolean includeClassOrigin,
                            const CIMPropertyList& propertyList, InstanceResponseHandler& handler) override;
    void enumerateInstanceNames(const OperationContext& context, const CIMObjectPath& classReference,
                                ObjectPathResponseHandler& handler) override;
    void modifyInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        const CIMInstance& instanceObject, const Boolean includeQualifiers,
                        const CIMPropertyList& propertyList, ResponseHandler& handler) override;
    void createInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        const CIMInstance& instanceObject, ObjectPathResponseHandler& handler) override;
    void deleteInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        ResponseHandler& handler) override;

private:
    // One conformance: the profile's path in the interop namespace and its conforming element.
    struct Conformance
    {
        CIMObjectPath profile;
        const ElementKind* kind;
        Uint32 objectID;
        CIMObjectPath element;
    };
    // A conformance seen from one of its ends: the index of the far end (0 profile, 1 element).
    struct Match
    {
        Conformance conformance;
        int farEnd;
    };

    static std::vector<Conformance> _conformances();
    // The conformances that have objectName at the end role names (any end when empty), whose
    // far end resultRole and resultClass admit.
    static std::vector<Match> _matches(const CIMObjectPath& objectName, const String& role,
                                       const String& resultRole, const CIMName& resultClass);
    // Whether a path names the object at one end (0 profile, 1 element) of the conformance.
    static bool _names(const Conformance& conformance, int end, const CIMObjectPath& path);
    static CIMInstance _instance(const Conformance& conformance, Boolean includeQualifiers,
                                 const CIMPropertyList& propertyList);

    CIMOMHandle _cimom;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
