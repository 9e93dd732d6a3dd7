// Methods that act on one volume or drive: initialise, rebuild, remove, scan; moving a drive
// between pools; the disk line mode of the controller pair.
#include "StorageConfigurationServiceProvider.h"

#include <cstdio>

#include <KVELEngine.h>
#include <KVELiPtr.h>
#include <JobDateTime.h>
#include <SMIEventServices.h>
#include <SMIMO_Util.h>

#include "CimNames.h"
#include "HandlerSupport.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Uint32 RETURN_NOT_SUPPORTED = 1;
const Uint32 RETURN_INVALID_PARAMETER = 5;

// The element methods serve the array's own service class only.
bool elementClassAccepted(int line, const CIMObjectPath& objectReference)
{
    if (objectReference.getClassName() == CLASS_Zarvo_StorageConfigurationService.getCIMName()) return true;
    traceLine(SCS_TRACE_FILE, line, TRACE_NORMAL,
              "objectReference.getClassName(): ", objectReference.getClassName());
    return false;
}

// The text of the first key binding named like one of the given names; empty when none is.
String elementKeyText(const CIMObjectPath& element, const CIMName& name, const CIMName* otherName = nullptr)
{
    const Array<CIMKeyBinding>& keys = element.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName() == name || (otherName && keys[i].getName() == *otherName))
            return keys[i].getValue();
    return String();
}

// Engine result 1: "Job" when a task was started and 4096, else 0. Any other result: the
// method's failure value.
void deliverElementOutcome(MethodResultResponseHandler& handler, Uint32 engineRc, const KVELTask& task,
                           Uint32 failureValue)
{
    Uint32 returnValue = failureValue;
    if (engineRc == KVEL_RC_SUCCESS)
    {
        returnValue = 0;
        if (task.getTaskID() != 0 && deliverJob(handler, task.getTaskID())) returnValue = 4096;
    }
    handler.deliver(CIMValue(returnValue));
}

} // namespace

void StorageConfigurationServiceProvider::_handleInitializeStorageDevice(
    const CIMObjectPath& objectReference, const Array<CIMParamValue>& inParameters,
    MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleInitializeStorageDevice");
    Uint16 elementType = 0;
    CIMObjectPath device;
    const bool accepted = elementClassAccepted(__LINE__, objectReference);
    if (accepted)
    {
        readParameter(inParameters, "ElementType", elementType);
        readParameter(inParameters, "StorageDevice", device);
    }
    SCS_TRACE(TRACE_NORMAL, "elementType is supposed to be 4, it is: ", elementType);
    if (!accepted || elementType != 4)
    {
        handler.deliver(CIMValue(accepted ? RETURN_INVALID_PARAMETER : RETURN_NOT_SUPPORTED));
        return;
    }
    const CIMName tag("Tag");
    String keyText = elementKeyText(device, tag, &PROPERTY_DeviceID);
    Uint32 driveID = KVELObjectID(keyText);
    SCS_TRACE(TRACE_NORMAL, "InitializeDevice: deviceID: 0x", driveID, ", keyValue: 0x", keyText);
    KVELTask task;
    Uint32 engineRc = _engine->initializeDrive(driveID, &task);
    deliverElementOutcome(handler, engineRc, task, cimrcFromKvelRc(engineRc));
}

void StorageConfigurationServiceProvider::_handleRebuildStorageElement(
    const CIMObjectPath& objectReference, const Array<CIMParamValue>& inParameters,
    MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleRebuildStorageElement");
    if (!elementClassAccepted(__LINE__, objectReference))
    {
        handler.deliver(CIMValue(RETURN_NOT_SUPPORTED));
        return;
    }
    Uint16 elementType = 0;
    CIMObjectPath element;
    readParameter(inParameters, "ElementType", elementType);
    readParameter(inParameters, "StorageElement", element);
    if (elementType != 0 && elementType != 3)
    {
        char keyValue[32];
        std::snprintf(keyValue, sizeof keyValue, "elementType=%d", int(elementType));
        SMIEventServices::publishKeyValueEvent(
            0, EMP_TYPE_WARNING, "RebuildStorageElement invoked with unknown elementType.", keyValue, 29,
            __LINE__, "_handleRebuildStorageElement", SCS_TRACE_FILE);
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return;
    }
    Uint32 volumeID = KVELObjectID(elementKeyText(element, PROPERTY_DeviceID));
    KVELTask task;
    Uint32 engineRc = _engine->rebuildVolume(volumeID, &task);
    deliverElementOutcome(handler, engineRc, task, cimrcFromKvelRc(engineRc));
}

void StorageConfigurationServiceProvider::_handleRemoveStorageDevice(const CIMObjectPath& objectReference,
                                                                     const Array<CIMParamValue>& inParameters,
                                                                     MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleRemoveStorageDevice");
    if (!elementClassAccepted(__LINE__, objectReference))
    {
        handler.deliver(CIMValue(RETURN_NOT_SUPPORTED));
        return;
    }
    CIMObjectPath device;
    readParameter(inParameters, "StorageDevice", device);
    const CIMName tag("Tag");
    String keyText = elementKeyText(device, tag, &PROPERTY_DeviceID);
    Uint32 driveID = KVELObjectID(keyText);
    SCS_TRACE(TRACE_NORMAL, "DeviceID: 0x", driveID, ", keyValue: 0x", keyText);
    KVELTask task;
    Uint32 engineRc = _engine->downDrive(driveID, &task);
    deliverElementOutcome(handler, engineRc, task, cimrcFromKvelRc(engineRc));
}

void StorageConfigurationServiceProvider::_handleScanStorageElement(const CIMObjectPath& objectReference,
                                                                    const Array<CIMParamValue>& inParameters,
                                                                    MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleScanStorageElement");
    if (!elementClassAccepted(__LINE__, objectReference))
    {
        handler.deliver(CIMValue(RETURN_NOT_SUPPORTED));
        return;
    }
    KVELTask task;
    Uint16 scanType = 0, periodicityType = 0, periodicity = 0;
    CIMObjectPath element;
    String name;
    Uint32 priority = task.Priority; // absent: the engine's default priority
    JobDateTime startTime;           // absent: now
    readParameter(inParameters, "ScanType", scanType);
    readParameter(inParameters, "StorageElement", element);
    readParameter(inParameters, "Name", name);
    readParameter(inParameters, "ScheduledTaskPriority", priority);
    readParameter(inParameters, "ScheduledTaskStartTime", startTime);
    readParameter(inParameters, "PeriodicityType", periodicityType);
    const bool periodicityGiven = readParameter(inParameters, "Periodicity", periodicity);
    // A recurring scan needs to know how often it recurs.
    if ((scanType != 2 && scanType != 3) || (periodicityType >= 2 && !periodicityGiven))
    {
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return;
    }

    Uint32 volumeID = KVELObjectID(elementKeyText(element, PROPERTY_DeviceID));
    if (scanType == 3)
        SCS_TRACE(TRACE_NORMAL, "Volume ObjectID for Media Scan is: 0x", volumeID);
    else
        SCS_TRACE(TRACE_NORMAL, "Volume ObjectID for Parity Scan is: 0x", volumeID);
    task.Name = (const char*)name.getCString();
    if (periodicityType <= 1)
    {
        if (!startTime.isInThePast())
        {
            SCS_TRACE(TRACE_NORMAL, "future startTime=", startTime.toString());
            task.setTaskScheduling(Uint16(priority), startTime.getMpuTime());
        }
        else
            SCS_TRACE(TRACE_NORMAL, "immediate/past startTime=", startTime.toString());
    }
    else
    {
        SCS_TRACE(TRACE_NORMAL, "periodicityType=", periodicityType, " periodicity=", periodicity);
        task.setTaskSchedulingRecurring(Uint16(priority), startTime.getMpuTime(),
                                        KVELTask::TaskSchedulingPeriodicityUnitsEnum(periodicityType),
                                        periodicity);
    }
    Uint32 engineRc = _engine->scanVolume(volumeID, &task);
    deliverElementOutcome(handler, engineRc, task, 4);
}

void StorageConfigurationServiceProvider::_handleTransferDrive(const CIMObjectPath&,
                                                               const Array<CIMParamValue>& inParameters,
                                                               MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleTransferDrive");
    Uint32 poolID = 0, driveID = 0;
    const bool poolGiven = readParameter(inParameters, "Pool", poolID);
    const bool driveGiven = readParameter(inParameters, "Drive", driveID);
    if (!poolGiven || !driveGiven)
    {
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return;
    }
    handler.deliver(CIMValue(cimrcFromKvelRc(_engine->transferDrive(driveID, poolID))));
}

void StorageConfigurationServiceProvider::_handleTransferDriveByRef(const CIMObjectPath&,
                                                                    const Array<CIMParamValue>& inParameters,
                                                                    MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleTransferDriveByRef");
    if (SMIMO_Util::findParamIndex(inParameters, "Pool") == SMIMO_Util::NOT_FOUND)
        throw CIMInvalidParameterException("Missing reference argument 'Pool'");
    CIMObjectPath pool;
    SMIMO_Util::getParamValue(inParameters, "Pool").get(pool);
    Uint32 poolID = SMIMO_Util::getIptrFromPath(pool, KEY_InstanceID.getCstr());
    if (SMIMO_Util::findParamIndex(inParameters, "Drive") == SMIMO_Util::NOT_FOUND)
        throw CIMInvalidParameterException("Missing reference argument 'Drive'");
    CIMObjectPath drive;
    SMIMO_Util::getParamValue(inParameters, "Drive").get(drive);
    Uint32 driveID = SMIMO_Util::getIptrFromPath(drive, KEY_DeviceID.getCstr());
    handler.deliver(CIMValue(cimrcFromKvelRc(_engine->transferDrive(driveID, poolID))));
}

void StorageConfigurationServiceProvider::_handleSetDiskLineMode(const CIMObjectPath&,
                                                                 const Array<CIMParamValue>& inParameters,
                                                                 MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleSetDiskLineMode");
    Uint16 mode = 0;
    if (!readParameter(inParameters, "DiskLineMode", mode))
    {
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return;
    }
    SCS_TRACE(TRACE_NORMAL, "SCS:DiskLineMode", mode);
    Uint32 engineRc = _engine->setDiskLineMode(KVELRedundantPair::DiskLineModeEnum(mode));
    handler.deliver(CIMValue(pairOutcome(engineRc)));
}

PEGASUS_NAMESPACE_END
