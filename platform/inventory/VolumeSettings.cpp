// The setting each volume was made from. A volume setting record becomes the volume made from it,
// under the same object ID, and stops being a CIM_StorageSettingWithHints: it was used up. The
// layout it asked for lives on in the volume record, and is served as the volume's own setting,
// a Zarvo_StorageVolumeSetting under the volume's ID that no client can change (the volume
// changes through the service's methods). A reconfiguration writes the new layout into the same
// record, so the setting always describes the volume as it is.
#include <memory>

#include <Pegasus/Provider/ProviderException.h>
#include <KVELiPtr.h>
#include <SMIMOBuilders.h>

#include "ElementKind.h"
#include "EngineRecords.h"
#include "InstanceProperties.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

const char* const VOLUME_SETTING_CLASS = "Zarvo_StorageVolumeSetting";
const Uint16 CHANGEABLE_NOT_PERSISTENT = 3; // "Not Changeable - Persistent"

std::unique_ptr<KVELVolume> requireVolume(Uint32 objectID)
{
    std::unique_ptr<KVELVolume> volume = fetchRecord<KVELVolume>(CLASSID_VOLUME, objectID);
    if (!volume || volume->IsSetting)
        throw CIMObjectNotFoundException(String("Volume 0x") +
                                         KVELiPtr(objectID).getKeyString(KVELiPtr::RADIX_16) +
                                         String(" does not exist"));
    return volume;
}

CIMObjectPath volumeSettingPath(Uint32 volumeID)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("InstanceID"), KVELiPtr(volumeID).getKeyString(KVELiPtr::RADIX_16),
                              CIMKeyBinding::STRING));
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), CIMNamespaceName("root/snia"),
                         CIMName(VOLUME_SETTING_CLASS), keys);
}

class VolumeSettingKind : public ElementKind
{
public:
    VolumeSettingKind()
        : ElementKind(
              VOLUME_SETTING_CLASS, "InstanceID",
              {"CIM_StorageSettingWithHints", "CIM_StorageSetting", "CIM_SettingData", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override { return volumeRecordIDs(false); }
    CIMObjectPath path(Uint32 volumeID) const override
    {
        requireVolume(volumeID);
        return volumeSettingPath(volumeID);
    }
    // The properties a setting record has, read from the volume record as if it were one.
    CIMInstance instance(Uint32 volumeID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        std::unique_ptr<KVELVolume> record = requireVolume(volumeID);
        record->IsSetting = true;
        const StorageSettingInstance asSetting(includeQualifiers, propertyList, *record);

        CIMInstance instance{CIMName(VOLUME_SETTING_CLASS)};
        for (Uint32 i = 0; i < asSetting.getPropertyCount(); ++i)
            instance.addProperty(asSetting.getProperty(i).clone());
        InstanceProperties properties(instance, includeQualifiers, propertyList);
        properties.replace("ChangeableType", CIMValue(CHANGEABLE_NOT_PERSISTENT));
        instance.setPath(volumeSettingPath(volumeID));
        return instance;
    }
};

} // namespace

const ElementKind& volumeSettings()
{
    static const VolumeSettingKind kind;
    return kind;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
