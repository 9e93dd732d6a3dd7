// Controller operations: two-step shutdown, forced failover, two-step firmware upgrade. They
// answer 0 when the engine succeeds and 4 otherwise, as sint32.
#include "StorageConfigurationServiceProvider.h"

#include <KVELEngine.h>

#include "HandlerSupport.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

CIMValue controllerOutcome(Uint32 engineRc)
{
    return CIMValue(Sint32(engineRc == KVEL_RC_SUCCESS ? 0 : 4));
}

} // namespace

// An absent "Restart", "ImageSize" or "Environment" is passed as false or 0; the engine decides
// what that means (an image size of 0 is refused there).
void StorageConfigurationServiceProvider::_handleInitiateShutdown(const CIMObjectPath&,
                                                                  const Array<CIMParamValue>& inParameters,
                                                                  MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleInitiateShutdown");
    Boolean restart = false;
    readParameter(inParameters, "Restart", restart);
    handler.deliver(controllerOutcome(_engine->initiateShutdown(restart)));
}

void StorageConfigurationServiceProvider::_handleCompleteShutdown(const CIMObjectPath&,
                                                                  const Array<CIMParamValue>&,
                                                                  MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleCompleteShutdown");
    _engine->completeShutdown();
    handler.deliver(CIMValue(Sint32(0)));
}

void StorageConfigurationServiceProvider::_handleForceControllerFailover(const CIMObjectPath&,
                                                                         const Array<CIMParamValue>&,
                                                                         MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleForceControllerFailover");
    handler.deliver(controllerOutcome(_engine->forceLocalReset()));
}

void StorageConfigurationServiceProvider::_handleInitiateFirmwareUpgrade(
    const CIMObjectPath&, const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleInitiateFirmwareUpgrade");
    Uint32 imageSize = 0;
    readParameter(inParameters, "ImageSize", imageSize);
    handler.deliver(controllerOutcome(_engine->initiateFirmwareUpgrade(imageSize)));
}

void StorageConfigurationServiceProvider::_handleCompleteFirmwareUpgrade(
    const CIMObjectPath&, const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleCompleteFirmwareUpgrade");
    Uint32 environment = 0;
    readParameter(inParameters, "Environment", environment);
    handler.deliver(controllerOutcome(_engine->activateFirmwareUpgrade(environment)));
}

PEGASUS_NAMESPACE_END
