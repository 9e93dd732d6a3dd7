#include <SMIMOBuilders.h>

#include <Pegasus/Common/CIMType.h>
#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const char* const SETTING_CLASS = "CIM_StorageSettingWithHints";

// DMTF CIM_StorageSetting values.
const Uint16 PARITY_LAYOUT_ROTATED = 3; // parity chunks move from drive to drive
const Uint16 CHANGEABLE_TRANSIENT = 1;  // the record is used up by the volume made from it

const KVELVolume& requireSetting(const KVELVolume& record)
{
    if (!record.IsSetting)
        throw CIMObjectNotFoundException(String("Volume setting record 0x") +
                                         smimo::hexID(record.getObjectID()) + String(" has become a volume"));
    return record;
}

std::unique_ptr<KVELVolume> fetchSetting(Uint32 settingID)
{
    std::unique_ptr<KVELVolume> setting =
        smimo::fetchRecord<KVELVolume>(CLASSID_VOLUME, settingID, "Volume setting record");
    requireSetting(*setting);
    return setting;
}

bool hasParity(KVELVolume::VolumeOrganizationEnum organization)
{
    return organization == KVELVolume::VOLUME_ORGANIZATION_PARITY ||
           organization == KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY;
}

} // namespace

StorageSettingPath::StorageSettingPath(Uint32 settingID)
    : CIMObjectPath(
          smimo::instanceIDPath(SETTING_CLASS, smimo::hexID(fetchSetting(settingID)->getObjectID())))
{
}

StorageSettingInstance::StorageSettingInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                               Uint32 settingID)
    : StorageSettingInstance(includeQualifiers, propertyList, *fetchSetting(settingID))
{
}

StorageSettingInstance::StorageSettingInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                               const KVELVolume& record)
    : CIMInstance(CIMName(SETTING_CLASS))
{
    const KVELVolume& setting = requireSetting(record);
    const CIMObjectPath path = smimo::instanceIDPath(SETTING_CLASS, smimo::hexID(record.getObjectID()));
    smimo::InstanceFiller filler(*this, includeQualifiers, propertyList);

    // A setting record asks for one exact layout, so each goal is its own minimum and maximum.
    const CIMValue dataRedundancy(Uint16(setting.DataRedundancy));
    const CIMValue packageRedundancy(Uint16(setting.PackageRedundancy));
    const CIMValue stripeLength(Uint16(setting.StripeWidth));
    const CIMValue stripeDepth(Uint64(setting.ChunkSize * smimo::BLOCK_SIZE));

    filler.addKeys(path);
    filler.add("ElementName", CIMValue(String(setting.Name.c_str())));
    filler.add("ChangeableType", CIMValue(CHANGEABLE_TRANSIENT));
    filler.add("DataRedundancyGoal", dataRedundancy);
    filler.add("DataRedundancyMin", dataRedundancy);
    filler.add("DataRedundancyMax", dataRedundancy);
    filler.add("PackageRedundancyGoal", packageRedundancy);
    filler.add("PackageRedundancyMin", packageRedundancy);
    filler.add("PackageRedundancyMax", packageRedundancy);
    filler.add("ExtentStripeLength", stripeLength);
    filler.add("ExtentStripeLengthMin", stripeLength);
    filler.add("ExtentStripeLengthMax", stripeLength);
    filler.add("UserDataStripeDepth", stripeDepth);
    filler.add("UserDataStripeDepthMin", stripeDepth);
    filler.add("UserDataStripeDepthMax", stripeDepth);
    filler.add("NoSinglePointOfFailure", CIMValue(Boolean(setting.NoSinglePointOfFailure)));
    filler.add("ParityLayout", hasParity(setting.VolumeOrganization) ? CIMValue(PARITY_LAYOUT_ROTATED)
                                                                     : CIMValue(CIMTYPE_UINT16, false));
    filler.add("StorageEfficiencyHint", CIMValue(Uint16(setting.StorageEfficiencyHint)));
    filler.add("AccessBandwidthWeight", CIMValue(Uint16(setting.AccessBandwidthWeight)));
    setPath(path);
}

PEGASUS_NAMESPACE_END
