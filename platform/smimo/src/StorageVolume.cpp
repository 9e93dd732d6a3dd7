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

// The property names, made once a thread: a name made from text costs an allocation and a syntax
// check, twenty times a volume in an enumeration of thousands; and a thread copying another
// thread's short Strings copies their text (see String.cpp), so each thread has its own.
struct VolumeNames
{
    const CIMName className{VOLUME_CLASS};
    const CIMName elementName{"ElementName"}, name{"Name"}, nameFormat{"NameFormat"},
        nameNamespace{"NameNamespace"}, operationalStatus{"OperationalStatus"}, blockSize{"BlockSize"},
        numberOfBlocks{"NumberOfBlocks"}, consumableBlocks{"ConsumableBlocks"},
        dataRedundancy{"DataRedundancy"}, packageRedundancy{"PackageRedundancy"},
        noSinglePointOfFailure{"NoSinglePointOfFailure"}, extentStripeLength{"ExtentStripeLength"},
        extentInterleaveDepth{"ExtentInterleaveDepth"},
        isBasedOnUnderlyingRedundancy{"IsBasedOnUnderlyingRedundancy"}, isComposite{"IsComposite"},
        primordial{"Primordial"};
};

const VolumeNames& names()
{
    thread_local const VolumeNames made;
    return made;
}

} // namespace

StorageVolumePath::StorageVolumePath(Uint32 volumeID)
    : CIMObjectPath(smimo::devicePath(VOLUME_CLASS, fetchVolume(volumeID)->getObjectID()))
{
}

StorageVolumeInstance::StorageVolumeInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                             Uint32 volumeID)
    : CIMInstance(names().className)
{
    const VolumeNames& n = names();
    const std::unique_ptr<KVELVolume> volume = fetchVolume(volumeID);
    const CIMObjectPath path = smimo::devicePath(VOLUME_CLASS, volumeID);
    smimo::InstanceFiller filler(*this, includeQualifiers, propertyList);

    filler.addKeys(path);
    filler.add(n.elementName, CIMValue(String(volume->Name.c_str())));
    filler.add(n.name,
               CIMValue(String(smimo::volumeNaaName(KVELEngine::_ZarvoSystemNamePtr, volumeID).c_str())));
    filler.add(n.nameFormat, CIMValue(smimo::VOLUME_NAME_FORMAT_NAA));
    filler.add(n.nameNamespace, CIMValue(smimo::VOLUME_NAME_NAMESPACE_VPD83_TYPE3));
    filler.add(n.operationalStatus, volumeStatus(volume->State));
    filler.add(n.blockSize, CIMValue(smimo::BLOCK_SIZE));
    filler.add(n.numberOfBlocks, CIMValue(Uint64(volume->Size)));
    filler.add(n.consumableBlocks, CIMValue(Uint64(volume->Size)));
    filler.add(n.dataRedundancy, CIMValue(Uint16(volume->DataRedundancy)));
    filler.add(n.packageRedundancy, CIMValue(Uint16(volume->PackageRedundancy)));
    filler.add(n.noSinglePointOfFailure, CIMValue(Boolean(volume->NoSinglePointOfFailure)));
    filler.add(n.extentStripeLength, CIMValue(Uint16(volume->StripeWidth)));
    filler.add(n.extentInterleaveDepth, CIMValue(Uint64(volume->ChunkSize)));
    // The redundancy is the volume's own layout over whole drives, not inherited from below.
    filler.add(n.isBasedOnUnderlyingRedundancy, CIMValue(false));
    filler.add(n.isComposite, CIMValue(Boolean(volume->getDriveCount() > 1)));
    filler.add(n.primordial, CIMValue(false));
    setPath(path);
}

PEGASUS_NAMESPACE_END
