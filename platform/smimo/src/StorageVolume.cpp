#include <SMIMOBuilders.h>

#include "BuilderSupport.h"
#include "VolumeIdentifier.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const char* const VOLUME_CLASS = "CIM_StorageVolume";

CIMValue volumeStatus(KVELVolume::VolumeStateEnum state)
{
    switch (state)
    {
    case KVELVolume::VOLUME_STATE_OK:
        return smimo::operationalStatus({smimo::OS_OK});
    case KVELVolume::VOLUME_STATE_INITIALIZING:
        return smimo::operationalStatus({smimo::OS_IN_SERVICE});
    case KVELVolume::VOLUME_STATE_DEGRADED:
        return smimo::operationalStatus({smimo::OS_DEGRADED});
    case KVELVolume::VOLUME_STATE_REBUILDING:
        return smimo::operationalStatus({smimo::OS_DEGRADED, smimo::OS_IN_SERVICE});
    case KVELVolume::VOLUME_STATE_DELETING:
        return smimo::operationalStatus({smimo::OS_STOPPING});
    case KVELVolume::VOLUME_STATE_FAILED:
        return smimo::operationalStatus({smimo::OS_ERROR});
    }
    return smimo::operationalStatus({smimo::OS_UNKNOWN});
}

// Setting records share the volume class but are not volumes yet.
std::unique_ptr<KVELVolume> fetchVolume(Uint32 volumeID)
{
    std::unique_ptr<KVELVolume> volume = smimo::fetchRecord<KVELVolume>(CLASSID_VOLUME, volumeID, "Volume");
    if (volume->IsSetting)
        throw CIMObjectNotFoundException(String("Volume 0x") + smimo::hexID(volumeID) +
                                         String(" is a volume setting record, not a volume"));
    return volume;
}

} // namespace

StorageVolumePath::StorageVolumePath(Uint32 volumeID)
    : CIMObjectPath(smimo::devicePath(VOLUME_CLASS, fetchVolume(volumeID)->getObjectID()))
{
}

StorageVolumeInstance::StorageVolumeInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                             Uint32 volumeID)
    : CIMInstance(CIMName(VOLUME_CLASS))
{
    const std::unique_ptr<KVELVolume> volume = fetchVolume(volumeID);
    const CIMObjectPath path = smimo::devicePath(VOLUME_CLASS, volumeID);
    smimo::InstanceFiller filler(*this, includeQualifiers, propertyList);

    filler.addKeys(path);
    filler.add("ElementName", CIMValue(String(volume->Name.c_str())));
    filler.add("Name",
               CIMValue(String(smimo::volumeNaaName(KVELEngine::_ZarvoSystemNamePtr, volumeID).c_str())));
    filler.add("NameFormat", CIMValue(smimo::VOLUME_NAME_FORMAT_NAA));
    filler.add("NameNamespace", CIMValue(smimo::VOLUME_NAME_NAMESPACE_VPD83_TYPE3));
    filler.add("OperationalStatus", volumeStatus(volume->State));
    filler.add("BlockSize", CIMValue(smimo::BLOCK_SIZE));
    filler.add("NumberOfBlocks", CIMValue(Uint64(volume->Size)));
    filler.add("ConsumableBlocks", CIMValue(Uint64(volume->Size)));
    filler.add("DataRedundancy", CIMValue(Uint16(volume->DataRedundancy)));
    filler.add("PackageRedundancy", CIMValue(Uint16(volume->PackageRedundancy)));
    filler.add("NoSinglePointOfFailure", CIMValue(Boolean(volume->NoSinglePointOfFailure)));
    filler.add("ExtentStripeLength", CIMValue(Uint16(volume->StripeWidth)));
    filler.add("ExtentInterleaveDepth", CIMValue(Uint64(volume->ChunkSize)));
    // The redundancy is the volume's own layout over whole drives, not inherited from below.
    filler.add("IsBasedOnUnderlyingRedundancy", CIMValue(false));
    filler.add("IsComposite", CIMValue(Boolean(volume->getDriveCount() > 1)));
    filler.add("Primordial", CIMValue(false));
    setPath(path);
}

PEGASUS_NAMESPACE_END
