// Volume setting records as CIM_StorageSettingWithHints: a client edits the layout goals of one
// with ModifyInstance before naming it as the goal of a volume creation, and may delete one it
// no longer needs.
#ifndef INVENTORY_StorageSettingProvider_h
#define INVENTORY_StorageSettingProvider_h

#include "ElementInstanceProvider.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class StorageSettingProvider : public ElementInstanceProvider
{
public:
    StorageSettingProvider() : ElementInstanceProvider(storageSettings()) {}

    void modifyInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        const CIMInstance& instanceObject, const Boolean includeQualifiers,
                        const CIMPropertyList& propertyList, ResponseHandler& handler) override;
    void deleteInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        ResponseHandler& handler) override;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
