// Volume methods with the layout given as plain parameters: "GetMaxiumumVolumeSize",
// "CreateVolume", "ReconfigureVolume", and "ReturnToStoragePool".
#include "StorageConfigurationServiceProvider.h"

#include <memory>
#include <vector>

#include <KVELEngine.h>
#include <KVELiPtr.h>
#include <SMIMO_Util.h>

#include "CimNames.h"
#include "HandlerSupport.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Uint64 BLOCK_SIZE = 512;

struct VolumeLayout
{
    Uint32 chunkBlocks = 0;
    Uint8 stripeWidth = 0;
    Uint8 mirrorCount = 0;
    Uint32 poolPtr = 0;
    KVELVolume::VolumeOrganizationEnum organization = KVELVolume::VOLUME_ORGANIZATION_STRIPED;
    std::vector<Uint32> drives;
};

template <class T> T parameterValue(const Array<CIMParamValue>& inParameters, const char* name)
{
    T value = T();
    SMIMO_Util::getParamValue(inParameters, name).get(value);
    return value;
}

// Read in this order: ChunkSize, StripeWidth, MirrorCount, Pool, VolumeOrganization, StorageDevice.
VolumeLayout readLayout(const Array<CIMParamValue>& inParameters)
{
    VolumeLayout layout;
    Uint32 chunkBytes = parameterValue<Uint32>(inParameters, "ChunkSize");
    layout.chunkBlocks = chunkBytes / 512 + (chunkBytes % 512 != 0); // rounded up, without 32-bit overflow
    layout.stripeWidth = parameterValue<Uint8>(inParameters, "StripeWidth");
    layout.mirrorCount = parameterValue<Uint8>(inParameters, "MirrorCount");
    layout.poolPtr = SMIMO_Util::getIptrFromPath(parameterValue<CIMObjectPath>(inParameters, "Pool"),
                                                 KEY_InstanceID.getCstr());
    layout.organization =
        KVELVolume::VolumeOrganizationEnum(parameterValue<Uint16>(inParameters, "VolumeOrganization"));
    if (SMIMO_Util::findParamIndex(inParameters, "StorageDevice") != SMIMO_Util::NOT_FOUND)
    {
        Array<CIMObjectPath> devices = parameterValue<Array<CIMObjectPath>>(inParameters, "StorageDevice");
        for (Uint32 i = 0; i < devices.size(); ++i)
            layout.drives.push_back(SMIMO_Util::getIptrFromPath(devices[i], KEY_DeviceID.getCstr()));
    }
    return layout;
}

// The common engine-result rule: true when the call succeeded; otherwise the mapped code has been
// delivered (results below 10) or the failure thrown.
bool acceptEngineResult(Uint32 engineRc, Uint32 returnValue, MethodResultResponseHandler& handler)
{
    if (returnValue == 0) return true;
    if (engineRc >= ENGINE_RC_EXCEPTION_THRESHOLD) throw engineFailure(engineRc);
    handler.deliver(CIMValue(returnValue));
    return false;
}

// Outputs after a create or reconfigure that succeeded: "Job" when a task runs, the volume
// reference, its size, and the return value.
void deliverNewVolume(KVELEngine& engine, MethodResultResponseHandler& handler, const KVELTask& task,
                      const char* referenceName, Uint32 volumeID)
{
    Uint32 returnValue = 0;
    if (task.getTaskID() != 0 && deliverJob(handler, task.getTaskID())) returnValue = 4096;
    deliverOutput(handler, referenceName,
                  CIMValue(storageVolumeReference(KVELiPtr(volumeID).getKeyString(KVELiPtr::RADIX_16))));
    std::unique_ptr<ManagedObject> record(engine.getObject(CLASSID_VOLUME, volumeID));
    if (KVELVolume* volume = dynamic_cast<KVELVolume*>(record.get()))
        deliverOutput(handler, "Size", CIMValue(Uint64(volume->Size * BLOCK_SIZE)));
    handler.deliver(CIMValue(returnValue));
}

} // namespace

void StorageConfigurationServiceProvider::_handleGetMaxVolumeSize(const CIMObjectPath&,
                                                                  const Array<CIMParamValue>& inParameters,
                                                                  MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleGetMaxVolumeSize");
    VolumeLayout layout = readLayout(inParameters);
    Uint64 maxBlocks = 0;
    Uint32 engineRc = guardedEngineCall(
        [&]
        {
            return _engine->getMaxVolumeSizeBlocks(layout.chunkBlocks, layout.stripeWidth, layout.mirrorCount,
                                                   layout.organization, layout.poolPtr, layout.drives,
                                                   maxBlocks);
        });
    if (!acceptEngineResult(engineRc, cimrcFromKvelRc(engineRc), handler)) return;
    deliverOutput(handler, "MaxVolumeSize", CIMValue(Uint64(maxBlocks * BLOCK_SIZE)));
    handler.deliver(CIMValue(Uint32(0)));
}

void StorageConfigurationServiceProvider::_handleCreateVolume(const CIMObjectPath&,
                                                              const Array<CIMParamValue>& inParameters,
                                                              MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleCreateVolume");
    String elementName = parameterValue<String>(inParameters, "ElementName");
    Uint64 size = parameterValue<Uint64>(inParameters, "Size");
    VolumeLayout layout = readLayout(inParameters);
    KVELTask task;
    Uint32 newVolumeID = 0;
    Uint32 engineRc = guardedEngineCall(
        [&]
        {
            CString name = elementName.getCString();
            return _engine->createVolumeAtomic(name, (size + 511) / 512, layout.poolPtr, layout.stripeWidth,
                                               layout.mirrorCount, layout.chunkBlocks, layout.organization,
                                               layout.drives, &task, newVolumeID);
        });
    if (acceptEngineResult(engineRc, cimrcFromKvelRc(engineRc), handler))
        deliverNewVolume(*_engine, handler, task, "StorageVolume", newVolumeID);
}

void StorageConfigurationServiceProvider::_handleReconfigureVolume(const CIMObjectPath&,
                                                                   const Array<CIMParamValue>& inParameters,
                                                                   MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleReconfigureVolume");
    Uint32 volumePtr = SMIMO_Util::getIptrFromPath(parameterValue<CIMObjectPath>(inParameters, "Volume"),
                                                   KEY_DeviceID.getCstr());
    Uint64 size = parameterValue<Uint64>(inParameters, "Size");
    VolumeLayout layout = readLayout(inParameters);
    KVELTask task;
    Uint32 shadowVolumeID = 0;
    Uint32 engineRc = guardedEngineCall(
        [&]
        {
            return _engine->reconfigureVolumeAtomic(
                volumePtr, (size + 511) / 512, layout.poolPtr, layout.stripeWidth, layout.mirrorCount,
                layout.chunkBlocks, layout.organization, layout.drives, &task, shadowVolumeID);
        });
    if (acceptEngineResult(engineRc, cimrcFromKvelRc(engineRc), handler))
        deliverNewVolume(*_engine, handler, task, "ShadowVolume", shadowVolumeID);
}

void StorageConfigurationServiceProvider::_handleReturnToStoragePool(const CIMObjectPath&,
                                                                     const Array<CIMParamValue>& inParameters,
                                                                     MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleReturnToStoragePool");
    CIMObjectPath element;
    readParameter(inParameters, "TheElement", element);
    if (!(element.getClassName() == CLASS_CIM_StorageVolume.getCIMName()))
    {
        handler.deliver(CIMValue(Uint32(5)));
        return;
    }
    String deviceID;
    Uint32 volumeID = deviceObjectID(element, deviceID);
    KVELTask task;
    Uint32 engineRc = _engine->deleteVolume(volumeID, &task);
    Uint32 returnValue = cimrcFromKvelRc(engineRc);
    if (engineRc == KVEL_RC_SUCCESS && task.getTaskID() != 0 && deliverJob(handler, task.getTaskID()))
        returnValue = 4096;
    handler.deliver(CIMValue(returnValue));
}

PEGASUS_NAMESPACE_END
