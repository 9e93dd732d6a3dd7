// Turning a client's modified CIM_StorageSetting instance into a changed volume setting record.
//
// Writable: ElementName, DataRedundancyGoal, PackageRedundancyGoal, ExtentStripeLength,
// UserDataStripeDepth, NoSinglePointOfFailure, StorageEfficiencyHint, AccessBandwidthWeight. The
// goals choose the layout: DataRedundancyGoal n >= 2 mirrors n copies (PackageRedundancyGoal n - 1);
// DataRedundancyGoal 1 stripes with PackageRedundancyGoal 0, single parity with 1, double parity
// with 2; ExtentStripeLength is the drives a stripe (of one copy) spans, parity included.
// The other properties describe the record (a goal is its own minimum and maximum); a client may
// send them unchanged, or with the values the new goals give them, but cannot set them.
#ifndef INVENTORY_SettingChanges_h
#define INVENTORY_SettingChanges_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

// Applies the properties of `modified` that the property list admits (a null list admits every
// property of the instance) to `record`. A value that cannot be taken throws
// CIMInvalidParameterException naming the property; `record` is then unchanged.
void applySettingChanges(KVELVolume& record, const CIMInstance& modified,
                         const CIMPropertyList& propertyList);

// "2 copies of a stripe over 4 drives", "parity over 5 drives": the layout in words, for messages.
String describeLayout(const KVELVolume& record);

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
