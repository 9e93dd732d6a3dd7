// The volume setting records: their element kind and their provider.
#include "StorageSettingProvider.h"

#include <memory>

#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/ProviderException.h>
#include <SMIMOBuilders.h>

#include "EngineRecords.h"
#include "SettingChanges.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

// Served as CIM_StorageSettingWithHints; a path of the superclass names a record as well, as
// clients that know only CIM_StorageSetting write it.
class StorageSettingKind : public ElementKind
{
public:
    StorageSettingKind()
        : ElementKind("CIM_StorageSettingWithHints", "InstanceID",
                      {"CIM_StorageSetting", "CIM_SettingData", "CIM_ManagedElement"}, {"CIM_StorageSetting"})
    {
    }
    Array<Uint32> objectIDs() const override { return volumeRecordIDs(true); }
    CIMObjectPath path(Uint32 objectID) const override { return StorageSettingPath(objectID); }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        return StorageSettingInstance(includeQualifiers, propertyList, objectID);
    }
};

std::unique_ptr<KVELVolume> requireSettingRecord(Uint32 objectID, const CIMObjectPath& path)
{
    std::unique_ptr<KVELVolume> record = fetchRecord<KVELVolume>(CLASSID_VOLUME, objectID);
    if (!record || !record->IsSetting)
        throw CIMObjectNotFoundException(path.toString() + String(" names no volume setting record"));
    return record;
}

} // namespace

const ElementKind& storageSettings()
{
    static const StorageSettingKind kind;
    return kind;
}

void StorageSettingProvider::modifyInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                            const CIMInstance& instanceObject, const Boolean,
                                            const CIMPropertyList& propertyList, ResponseHandler& handler)
{
    handler.processing();
    const Uint32 objectID = requireObjectID(instanceReference);
    std::unique_ptr<KVELVolume> record = requireSettingRecord(objectID, instanceReference);
    applySettingChanges(*record, instanceObject, propertyList);

    const Uint32 rc = engine().modifyObject(CLASSID_VOLUME, record.get());
    switch (rc)
    {
    case KVEL_RC_SUCCESS:
    case KVEL_RC_SUCCESS_NO_CHANGE:
        break;
    case KVEL_RC_INVALID_LAYOUT:
        throw CIMInvalidParameterException(String("The array cannot lay out a volume as ") +
                                           describeLayout(*record) + String(": ") + engineText(rc));
    case KVEL_RC_INVALID_NAME:
        throw CIMInvalidParameterException(String("ElementName: ") + engineText(rc));
    case KVEL_RC_NO_SUCH_VOLUME:
    case KVEL_RC_NOT_SUPPORTED: // the record became a volume meanwhile
        throw CIMObjectNotFoundException(instanceReference.toString() +
                                         String(" names no volume setting record"));
    default:
        throw CIMOperationFailedException(String("The array did not change the setting: ") + engineText(rc));
    }
    handler.complete();
}

void StorageSettingProvider::deleteInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                            ResponseHandler& handler)
{
    handler.processing();
    const Uint32 objectID = requireObjectID(instanceReference);
    requireSettingRecord(objectID, instanceReference);
    const Uint32 rc = engine().deleteObject(CLASSID_VOLUME, objectID);
    if (rc == KVEL_RC_NO_SUCH_VOLUME || rc == KVEL_RC_SETTING_IN_USE)
        throw CIMObjectNotFoundException(instanceReference.toString() +
                                         String(" names no volume setting record"));
    if (rc != KVEL_RC_SUCCESS)
        throw CIMOperationFailedException(String("The array did not delete the setting: ") + engineText(rc));
    handler.complete();
}

} // namespace inventory

PEGASUS_NAMESPACE_END
