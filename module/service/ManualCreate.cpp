// "CreateOrModifyElementFromElements": build a volume on the drives the client names, after a
// prepared volume setting ("Goal").
#include "StorageConfigurationServiceProvider.h"

#include <memory>

#include <KVELEngine.h>
#include <KVELiPtr.h>

#include "CimNames.h"
#include "HandlerSupport.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

template <class Record> std::unique_ptr<Record> fetchRecord(KVELEngine& engine, CLASSID_e classID, Uint32 id)
{
    std::unique_ptr<ManagedObject> record(engine.getObject(classID, id));
    if (!dynamic_cast<Record*>(record.get())) return nullptr;
    return std::unique_ptr<Record>(static_cast<Record*>(record.release()));
}

} // namespace

void StorageConfigurationServiceProvider::_handleCreateOrModifyElementFromElements(
    const CIMObjectPath&, const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleCreateOrModifyElementFromElements");
    CIMObjectPath goal;
    Array<CIMObjectPath> drives;
    String elementName;
    Uint64 size = 0;
    readParameter(inParameters, "Goal", goal);
    readParameter(inParameters, "InElements", drives);
    readParameter(inParameters, "ElementName", elementName);
    const bool sizeGiven = readParameter(inParameters, "Size", size);
    const Uint16 driveCount = Uint16(drives.size());

    // Without a goal key there is no setting to build on, and without a size nothing to build.
    const Array<CIMKeyBinding>& goalKeys = goal.getKeyBindings();
    if (goalKeys.size() == 0 || !sizeGiven)
    {
        SCS_TRACE(TRACE_NORMAL, goalKeys.size() == 0
                                    ? "ERROR: Manual Create requires a Goal reference with a key!"
                                    : "ERROR: Manual Create requires a Size!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    const String goalKeyText = goalKeys[0].getValue();
    const Uint32 goalID = KVELObjectID(goalKeyText);
    std::unique_ptr<KVELVolume> setting = fetchRecord<KVELVolume>(*_engine, CLASSID_VOLUME, goalID);
    if (!setting)
    {
        SCS_TRACE(TRACE_NORMAL, "ERROR: Manual Create requires an existing Volume Setting Object!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    setting->ManualCreate = true;

    SCS_TRACE(TRACE_NORMAL, "invokeMethod(): number of Drives: ", driveCount,
              ", ChunkSize: ", setting->ChunkSize);
    SCS_TRACE(TRACE_NORMAL, "ManualCreate - DataRedundancy: ", setting->DataRedundancy,
              ", StripeWidth: ", setting->StripeWidth);
    if (driveCount == 0)
    {
        SCS_TRACE(TRACE_NORMAL, "ERROR: Manual Create requires drives to be specified!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    if (Uint32(setting->DataRedundancy) * setting->StripeWidth > driveCount)
    {
        SCS_TRACE(TRACE_NORMAL,
                  "ERROR: Manual Create requires the number of drives to be >= MirrorCnt*StripeWidth!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    // The record's drive list has a fixed capacity; more drives are refused, never written past it.
    if (drives.size() > KVELVolume::MAX_DRIVES)
    {
        SCS_TRACE(TRACE_NORMAL, "ERROR: Manual Create accepts at most ", KVELVolume::MAX_DRIVES, " drives!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }

    setting->Size = (size + 511) / 512;
    if (elementName.size() > 0) setting->Name = (const char*)elementName.getCString();
    for (Uint32 i = 0; i < driveCount; ++i)
    {
        const CIMKeyBinding* key = findKey(drives[i].getKeyBindings(), PROPERTY_DeviceID);
        if (!key)
        {
            SCS_TRACE(TRACE_NORMAL, "Number of DeviceID values specified (", i,
                      ") is less than number of Drives (", driveCount, ").");
            handler.deliver(CIMValue(Uint32(5)));
            return;
        }
        Uint32 driveID = KVELObjectID(key->getValue());
        SCS_TRACE(TRACE_NORMAL, "driveID for Drive is: 0x", driveID);
        setting->DriveIDs[i] = driveID;
    }
    for (Uint32 i = driveCount; i < KVELVolume::MAX_DRIVES; ++i)
        setting->DriveIDs[i] = 0;

    std::unique_ptr<KVELDrive> firstDrive =
        fetchRecord<KVELDrive>(*_engine, CLASSID_DRIVE, setting->DriveIDs[0]);
    if (!firstDrive)
    {
        SCS_TRACE(TRACE_NORMAL, "ERROR: Manual Create names a first drive that does not exist!");
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    Uint32 poolID = firstDrive->PoolObjectID;
    firstDrive.reset();
    SCS_TRACE(TRACE_NORMAL, "poolObjectID for 1st Drive is: 0x", poolID);
    setting->PoolObjectID = poolID;

    SCS_TRACE(TRACE_NORMAL, "invokeMethod(): creating the Volume.");
    KVELTask task;
    // The engine refuses a create by throwing, which the client receives as the engine failure;
    // when it returns, the volume was made (its state perhaps not saved), so its result is not read.
    _engine->createVolume(setting.get(), &task);
    Uint32 returnValue = 0;
    if (task.getTaskID() != 0 && deliverJob(handler, task.getTaskID())) returnValue = 4096;
    SCS_TRACE(TRACE_NORMAL, "invokeMethod(): generating return reference for Volume.");
    deliverOutput(handler, "TheElement", CIMValue(storageVolumeReference(goalKeyText)));
    if (std::unique_ptr<KVELVolume> volume = fetchRecord<KVELVolume>(*_engine, CLASSID_VOLUME, goalID))
    {
        Uint64 actualSize = volume->Size * 512;
        SCS_TRACE(TRACE_NORMAL, "invokeMethod(): actualSize: ", actualSize);
        deliverOutput(handler, "Size", CIMValue(actualSize));
    }
    setting.reset();
    handler.deliver(CIMValue(returnValue));
}

PEGASUS_NAMESPACE_END
