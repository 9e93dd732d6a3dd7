// The instances of one element kind, read from the engine on every call. Elements cannot be
// created or deleted through it; modifyInstance is refused unless a subclass takes it.
#ifndef INVENTORY_ElementInstanceProvider_h
#define INVENTORY_ElementInstanceProvider_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

#include "ElementKind.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class ElementInstanceProvider : public virtual CIMInstanceProvider
{
public:
    explicit ElementInstanceProvider(const ElementKind& kind) : _kind(kind) {}

    void initialize(CIMOMHandle& cimom) override;
    // Providers of this module are made for the server and delete themselves when it is done.
    void terminate() override;

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

protected:
    const ElementKind& kind() const { return _kind; }
    // The object ID the path names; CIMObjectNotFoundException when it names none of the kind.
    Uint32 requireObjectID(const CIMObjectPath& path) const;

private:
    const ElementKind& _kind;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
