// "CreateOrModifyElementFromStoragePool": create a volume in a pool after a prepared volume
// setting ("Goal"), or grow / reconfigure an existing volume ("TheElement"); and the two pool
// methods that are placeholders.
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

const Uint64 STORAGE_K_SYSTEM_BLOCK_SIZE = 512;

Uint64 blocksOf(Uint64 bytes)
{
    return (bytes + STORAGE_K_SYSTEM_BLOCK_SIZE - 1) / STORAGE_K_SYSTEM_BLOCK_SIZE;
}

std::unique_ptr<KVELVolume> fetchVolumeRecord(KVELEngine& engine, Uint32 objectID)
{
    std::unique_ptr<ManagedObject> record(engine.getObject(CLASSID_VOLUME, objectID));
    if (!dynamic_cast<KVELVolume*>(record.get())) return nullptr;
    return std::unique_ptr<KVELVolume>(static_cast<KVELVolume*>(record.release()));
}

struct PoolMethodParameters
{
    Uint64 size = 0;
    bool sizeGiven = false;
    String elementName;
    bool elementNameGiven = false;
    CIMObjectPath goal, inPool, theElement;
    bool goalGiven = false, inPoolGiven = false, theElementGiven = false;

    explicit PoolMethodParameters(const Array<CIMParamValue>& inParameters)
    {
        const CIMObjectPath empty;
        for (Uint32 i = 0; i < inParameters.size(); ++i)
        {
            String name = inParameters[i].getParameterName();
            CIMValue value = inParameters[i].getValue();
            if (name == "Size")
            {
                value.get(size);
                sizeGiven = true;
            }
            else if (name == "ElementName")
            {
                value.get(elementName);
                elementNameGiven = elementNameGiven || elementName.size() > 0;
            }
            else if (name == "Goal")
            {
                value.get(goal);
                goalGiven = !goal.identical(empty);
            }
            else if (name == "InPool")
            {
                value.get(inPool);
                inPoolGiven = !inPool.identical(empty);
            }
            else if (name == "TheElement")
            {
                value.get(theElement);
                theElementGiven = !theElement.identical(empty);
            }
        }
    }
};

// The value of the first key binding, whatever its name; false when there is none.
bool firstKeyValue(const CIMObjectPath& reference, String& value)
{
    const Array<CIMKeyBinding>& keys = reference.getKeyBindings();
    if (keys.size() == 0) return false;
    value = keys[0].getValue();
    return true;
}

// Traces a layout field that the setting changes; returns whether it differs.
template <class Field>
bool traceLayoutChange(int line, const char* fieldName, Field volumeValue, Field settingValue)
{
    if (volumeValue == settingValue) return false;
    traceLine(SCS_TRACE_FILE, line, TRACE_NORMAL, fieldName, " changing from: ", Uint32(volumeValue),
              " to: ", Uint32(settingValue));
    return true;
}

} // namespace

void StorageConfigurationServiceProvider::_handleCreateOrModifyElementFromStoragePool(
    const CIMObjectPath&, const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleCreateOrModifyElementFromStoragePool");
    const PoolMethodParameters in(inParameters);
    const bool modifying = in.theElementGiven;

    Uint32 engineRc = KVEL_RC_SUCCESS;
    Uint32 returnValue = 0;
    Uint32 poolID = 0, volumeID = 0, settingID = 0;
    Uint64 currentBlocks = 0;
    String volumeDeviceID, goalKeyText, poolKeyText;
    std::unique_ptr<KVELVolume> volume, setting;

    const bool poolHasKey = in.inPoolGiven && firstKeyValue(in.inPool, poolKeyText);
    const bool goalHasKey = in.goalGiven && firstKeyValue(in.goal, goalKeyText);
    if (poolHasKey) poolID = KVELObjectID(poolKeyText);
    if (modifying)
    {
        volumeID = deviceObjectID(in.theElement, volumeDeviceID);
        volume = fetchVolumeRecord(*_engine, volumeID);
        if (!volume)
        {
            SCS_TRACE(TRACE_NORMAL, "The Volume to be reconfigured could not be found!");
            returnValue = 2;
        }
        else
            currentBlocks = volume->Size;
    }
    SCS_TRACE(TRACE_NORMAL, "CreateOrModifyElementFromStoragePool: vol: ", volumeID, ", pool: ", poolID);

    // Parameter checks; the first that fails decides.
    const char* fault = nullptr;
    const char* detail = nullptr;
    if (!in.sizeGiven)
        fault = "CreateOrModifyElementFromStoragePool invoked without a Volume Size value specified.";
    else if (!modifying && !in.elementNameGiven)
        fault = "CreateOrModifyElementFromStoragePool invoked without a Volume Name specified.";
    else if (!modifying && !in.goalGiven)
        fault = "CreateOrModifyElementFromStoragePool invoked without a Volume Setting Object.";
    else if (!modifying && !in.inPoolGiven)
        fault = "CreateOrModifyElementFromStoragePool invoked to auto create a Volume, but without any Pool "
                "being "
                "specified!";
    else if (volume && blocksOf(in.size) < currentBlocks)
        fault =
            "CreateOrModifyElementFromStoragePool invoked with new size smaller than current size - must be "
            "equal or greater ";
    else if (volume && in.inPoolGiven && poolID != volume->PoolObjectID)
    {
        fault = "CreateOrModifyElementFromStoragePool invoked to reconfigure a Volume, but with a different "
                "destination Pool!";
        detail = "The destination pool objectID is: 0x";
    }
    // A reference without keys names nothing; refuse it rather than read a key that is not there.
    else if ((in.goalGiven && !goalHasKey) || (in.inPoolGiven && !poolHasKey))
        fault = "CreateOrModifyElementFromStoragePool invoked with a Goal or InPool reference without keys.";
    if (fault)
    {
        SCS_TRACE(TRACE_ERROR, fault);
        if (detail) SCS_TRACE(TRACE_ERROR, detail, poolID);
        returnValue = 5;
    }
    else if (volume && !in.inPoolGiven)
        poolID = volume->PoolObjectID;

    if (returnValue == 0)
    {
        const Uint64 blocks = blocksOf(in.size);
        bool grow = false;
        if (modifying)
        {
            grow = blocks > currentBlocks;
            SCS_TRACE(TRACE_NORMAL, " size=", in.size,
                      " STORAGE_K_SYSTEM_BLOCK_SIZE=", STORAGE_K_SYSTEM_BLOCK_SIZE,
                      " numberOfBlocks=", blocks, " currentNumberOfBlocks=", currentBlocks);
        }

        if (in.goalGiven)
        {
            settingID = KVELObjectID(goalKeyText);
            SCS_TRACE(TRACE_NORMAL, "The Volume Setting ObjectID is: 0x", settingID);
            setting = fetchVolumeRecord(*_engine, settingID);
            if (!setting)
            {
                // Nothing to fill in and hand to the engine: refuse before any engine operation.
                SCS_TRACE(TRACE_ERROR,
                          "CreateOrModifyElementFromStoragePool invoked with a Volume Setting Object "
                          "that does not exist.");
                returnValue = 5;
            }
            else
            {
                SCS_TRACE(TRACE_NORMAL, "Setting the Volume's pool ObjectID to: 0x", poolID);
                setting->Size = blocks;
                setting->PoolObjectID = poolID;
            }
        }
        else
        {
            SCS_TRACE(TRACE_NORMAL, "The Reconfigure Volume ObjectID is: 0x", volumeID);
            volume->Size = blocks;
        }

        KVELTask task;
        bool grew = false;
        if (returnValue == 0 && !modifying)
        {
            if (in.elementName.size() > 0) setting->Name = (const char*)in.elementName.getCString();
            setting->ManualCreate = false;
            task = KVELTask();
            engineRc = guardedEngineCall([&] { return _engine->createVolume(setting.get(), &task); });
        }
        else if (returnValue == 0)
        {
            SCS_TRACE(TRACE_NORMAL, "Volume Reconfigure operation.");
            bool sameLayout = true;
            if (setting)
            {
                // Every differing field is traced, so no short-circuit here.
                bool differs = false;
                differs |= traceLayoutChange(__LINE__, "NoSinglePointOfFailure",
                                             volume->NoSinglePointOfFailure, setting->NoSinglePointOfFailure);
                differs |= traceLayoutChange(__LINE__, "DataRedundancy", volume->DataRedundancy,
                                             setting->DataRedundancy);
                differs |= traceLayoutChange(__LINE__, "PackageRedundancy", volume->PackageRedundancy,
                                             setting->PackageRedundancy);
                differs |= traceLayoutChange(__LINE__, "StorageEfficiencyHint", volume->StorageEfficiencyHint,
                                             setting->StorageEfficiencyHint);
                differs |= traceLayoutChange(__LINE__, "AccessBandwidthWeight", volume->AccessBandwidthWeight,
                                             setting->AccessBandwidthWeight);
                sameLayout = !differs;
                setting->ManualCreate = false;
            }
            task = KVELTask();
            if (sameLayout && !grow)
                SCS_TRACE(TRACE_NORMAL,
                          "CreateOrModifyElementFromStoragePool with no changes in configuration would "
                          "have been a DEFRAG request, but it's now a NO-OP Success");
            else if (sameLayout)
            {
                volume->Size = blocks;
                engineRc =
                    guardedEngineCall([&] { return _engine->growVolume(volumeID, volume.get(), &task); });
                grew = true;
            }
            else
                engineRc = guardedEngineCall(
                    [&] { return _engine->reconfigureVolume(volumeID, setting.get(), &task); });
        }

        if (returnValue == 0)
        {
            returnValue = cimrcFromKvelRc(engineRc);
            if (grew && setting)
            {
                Uint32 usedSettingID = setting->getObjectID();
                SCS_TRACE(TRACE_NORMAL, "About to delete the Setting Volume: ", usedSettingID);
                KVELTask deleteTask;
                guardedEngineCall([&] { return _engine->deleteVolume(usedSettingID, &deleteTask); });
            }

            Uint32 taskID = task.getTaskID();
            bool hasTask = modifying ? (taskID != 0 && (taskID & 0xFFFFFF) != 0xFFFFFF) : taskID != 0;
            if (returnValue == 0 && hasTask && deliverJob(handler, taskID)) returnValue = 4096;

            // The result names the modified volume when modifying, and the new volume (which keeps
            // the setting's object ID) when creating.
            setting.reset();
            const String& resultDeviceID = modifying ? volumeDeviceID : goalKeyText;
            const Uint32 resultObjectID = modifying ? volumeID : settingID;
            deliverOutput(handler, "TheElement", CIMValue(storageVolumeReference(resultDeviceID)));
            if (std::unique_ptr<KVELVolume> result = fetchVolumeRecord(*_engine, resultObjectID))
                deliverOutput(handler, "Size", CIMValue(Uint64(result->Size * STORAGE_K_SYSTEM_BLOCK_SIZE)));
        }
    }

    volume.reset();
    if (engineRc >= ENGINE_RC_EXCEPTION_THRESHOLD) throw engineFailure(engineRc);
    handler.deliver(CIMValue(returnValue));
}

void StorageConfigurationServiceProvider::_handleCreateOrModifyStoragePool(const CIMObjectPath&,
                                                                           const Array<CIMParamValue>&,
                                                                           MethodResultResponseHandler&)
{
    SCS_TRACE(TRACE_NORMAL, "StorageConfigurationService::CreateOrModifyStoragePool");
}

void StorageConfigurationServiceProvider::_handleDeleteStoragePool(const CIMObjectPath&,
                                                                   const Array<CIMParamValue>&,
                                                                   MethodResultResponseHandler&)
{
    SCS_TRACE(TRACE_NORMAL, "StorageConfigurationService::DeleteStoragePool");
}

PEGASUS_NAMESPACE_END
