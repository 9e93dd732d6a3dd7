// invokeMethod: trace the call, check the target's class, and route the method by name.
#include "StorageConfigurationServiceProvider.h"

#include <KVELEngine.h>
#include <KVELiPtr.h>
#include <SMIMO_Util.h>
#include <SMIMOBuilders.h>

#include "CatchLadder.h"
#include "CimNames.h"
#include "HandlerSupport.h"
#include "OperationTrace.h"
#include "ServiceClasses.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

typedef StorageConfigurationServiceProvider SCSP;

// Tried in this order; the first name that matches (ignoring case) wins.
const SCSP::DispatchRow SCSP::_dispatchTable[] = {
    {"CreateOrModifyStoragePool", &SCSP::_handleCreateOrModifyStoragePool},
    {"CreateOrModifyElementFromStoragePool", &SCSP::_handleCreateOrModifyElementFromStoragePool},
    {"DeleteStoragePool", &SCSP::_handleDeleteStoragePool},
    {"ReturnToStoragePool", &SCSP::_handleReturnToStoragePool},
    {"CreateOrModifyElementFromElements", &SCSP::_handleCreateOrModifyElementFromElements},
    {"CreateVolume", &SCSP::_handleCreateVolume},
    {"ReconfigureVolume", &SCSP::_handleReconfigureVolume},
    {"GetMaxiumumVolumeSize", &SCSP::_handleGetMaxVolumeSize},
    {"RebuildStorageElement", &SCSP::_handleRebuildStorageElement},
    {"ScanStorageElement", &SCSP::_handleScanStorageElement},
    {"InitializeStorageDevice", &SCSP::_handleInitializeStorageDevice},
    {"RemoveStorageDevice", &SCSP::_handleRemoveStorageDevice},
    {"TransferDrive", &SCSP::_handleTransferDrive},
    {"TransferDriveByRef", &SCSP::_handleTransferDriveByRef},
    {"InitiateShutdown", &SCSP::_handleInitiateShutdown},
    {"CompleteShutdown", &SCSP::_handleCompleteShutdown},
    {"ForceControllerFailover", &SCSP::_handleForceControllerFailover},
    {"InitiateFirmwareUpgrade", &SCSP::_handleInitiateFirmwareUpgrade},
    {"CompleteFirmwareUpgrade", &SCSP::_handleCompleteFirmwareUpgrade},
    {"SetDiskLineMode", &SCSP::_handleSetDiskLineMode},
    {"SuspendTask", &SCSP::_handleSuspendTask},
    {"ResumeTask", &SCSP::_handleResumeTask},
    {"AbortTask", &SCSP::_handleAbortTask},
    {"RescheduleTask", &SCSP::_handleRescheduleTask},
    {"DeleteTask", &SCSP::_handleDeleteTask},
    {"ReadPersistenceData", &SCSP::_handleReadPersistenceData},
    {"WritePersistenceData", &SCSP::_handleWritePersistenceData},
    {"GetUnavailablePool", nullptr},
    {"GetAvailablePool", nullptr},
    {"GetSparePool", nullptr},
    {"GetBasePool", nullptr},
};

namespace
{

void traceMethodCall(int line, const CIMName& methodName, const Array<CIMParamValue>& inParameters)
{
    if (!traceTracingAllowed()) return;
    TraceLine out(SCS_TRACE_FILE, line, TRACE_NORMAL);
    TraceTextWriter& text = out.text();
    text.put("..");
    text.put("methodName='");
    text.put(methodName);
    text.put("' ");
    text.put(" Params(");
    text.put(inParameters.size());
    text.put(")=={");
    for (Uint32 i = 0; i < inParameters.size(); ++i)
    {
        text.put(inParameters[i].getParameterName());
        text.put("='");
        text.put(inParameters[i].getValue().toString());
        text.put("' ");
    }
    text.put("}");
}

void deliverPool(MethodResultResponseHandler& handler, Uint32 poolID)
{
    deliverOutput(handler, "Pool", CIMValue(CIMObjectPath(StoragePoolPath(poolID))));
}

// The base pool serves both controllers; any other system has none.
bool isControllerOfThisArray(const CIMObjectPath& controller)
{
    Uint32 slot = KVELEngine::_getControllerSlotId();
    Uint32 thisBlade = KVELiPtrComputerSystem::makeBlade(slot).getIPtr();
    KVELiPtrComputerSystem chosen(thisBlade);
    try
    {
        chosen = KVELiPtrComputerSystem(controller);
    }
    catch (CIMInvalidParameterException&)
    {
        // A reference the engine cannot read stands for this controller.
    }
    return chosen.getIPtr() == thisBlade ||
           chosen.getIPtr() == KVELiPtrComputerSystem::makeBlade(1 - slot).getIPtr();
}

} // namespace

const CIMName& SCSP::_dispatchName(Uint32 row)
{
    static const struct Names
    {
        CIMName names[_dispatchRows];
        Names()
        {
            for (Uint32 i = 0; i < _dispatchRows; ++i)
                names[i] = CIMName(_dispatchTable[i].methodName);
        }
    } table;
    return table.names[row];
}

Uint32 SCSP::_dispatchRowOf(const CIMName& methodName)
{
    for (Uint32 row = 0; row < _dispatchRows; ++row)
        if (methodName.equal(_dispatchName(row))) return row;
    return _dispatchRows;
}

void SCSP::_answerPoolLookup(Uint32 row, const Array<CIMParamValue>& inParameters,
                             MethodResultResponseHandler& handler)
{
    static const Uint32 fixedPools[] = {KVELPool::UNAVAILABLE_POOL_ID, KVELPool::AVAILABLE_POOL_ID,
                                        KVELPool::SPARE_POOL_ID};
    const Uint32 firstPoolRow = _dispatchRows - 4;
    if (row < firstPoolRow + 3)
    {
        deliverPool(handler, fixedPools[row - firstPoolRow]);
        handler.deliver(CIMValue(Sint32(0)));
        return;
    }
    CIMObjectPath controller;
    SMIMO_Util::getParamValue(inParameters, "Controller").get(controller);
    if (!isControllerOfThisArray(controller))
    {
        handler.deliver(CIMValue(Sint32(5)));
        return;
    }
    deliverPool(handler, KVELPool::BASE_POOL_ID);
    handler.deliver(CIMValue(Sint32(0)));
}

void SCSP::invokeMethod(const OperationContext&, const CIMObjectPath& objectReference,
                        const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                        MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::invokeMethod");
    runInCatchLadder(SCS_LADDER_SITE("invokeMethod"),
                     [&]
                     {
                         SCS_TRACE_PATH(objectReference);
                         traceMethodCall(__LINE__, methodName, inParameters);
                         handler.processing();
                         SCS_TRACE(TRACE_NORMAL, "Configuration Class is : ", objectReference.getClassName());
                         if (isServiceClass(objectReference.getClassName()))
                         {
                             const Uint32 row = _dispatchRowOf(methodName);
                             if (row == _dispatchRows)
                             {
                                 String message("StorageConfigurationService: Unhandled method: ");
                                 message.append(methodName.getString());
                                 SCS_TRACE(TRACE_ERROR, message);
                                 throw CIMInvalidParameterException(message);
                             }
                             if (_dispatchTable[row].handler)
                                 (this->*_dispatchTable[row].handler)(objectReference, inParameters, handler);
                             else
                                 _answerPoolLookup(row, inParameters, handler);
                         }
                         handler.complete();
                     });
}

PEGASUS_NAMESPACE_END
