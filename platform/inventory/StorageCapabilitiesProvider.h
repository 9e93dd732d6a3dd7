// The layouts each pool can give its volumes, as one CIM_StorageCapabilities per pool (its
// InstanceID is the pool's), with the method that makes a new volume setting record to edit and
// name as the goal of a volume creation:
//   CreateSetting(SettingType 2 "Default" or 3 "Goal", absent = 2) -> NewSetting, return value 0;
//   another SettingType returns 5 (Invalid Parameter). Both types start from the pool's default
//   layout, since a setting record holds one exact layout rather than a range.
#ifndef INVENTORY_StorageCapabilitiesProvider_h
#define INVENTORY_StorageCapabilitiesProvider_h

#include <Pegasus/Provider/CIMMethodProvider.h>

#include "ElementInstanceProvider.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class StorageCapabilitiesProvider : public ElementInstanceProvider, public CIMMethodProvider
{
public:
    StorageCapabilitiesProvider() : ElementInstanceProvider(storageCapabilities()) {}

    void invokeMethod(const OperationContext& context, const CIMObjectPath& objectReference,
                      const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                      MethodResultResponseHandler& handler) override;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
