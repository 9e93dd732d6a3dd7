// What every method handler of the service does the same way: finding in-parameters, turning
// references into engine object IDs, delivering output parameters and jobs, and turning engine
// results into return values or exceptions.
#ifndef SCS_HandlerSupport_h
#define SCS_HandlerSupport_h

#include <cstring>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/ResponseHandler.h>
#include <KVELOperationFailedException.h>
#include <KVELErrorCodes.h>

PEGASUS_NAMESPACE_BEGIN

// The name loop: every in-parameter whose name is exactly `name` (case-sensitive) is read into
// `value` with the typed getter, so the last occurrence wins. Returns whether one was given.
template <class T> bool readParameter(const Array<CIMParamValue>& inParameters, const char* name, T& value)
{
    bool given = false;
    for (Uint32 i = 0; i < inParameters.size(); ++i)
    {
        if (inParameters[i].getParameterName() == name)
        {
            inParameters[i].getValue().get(value);
            given = true;
        }
    }
    return given;
}

// The value of the first key binding of the reference whose name is keyName (ignoring case),
// or null when there is none.
const CIMKeyBinding* findKey(const Array<CIMKeyBinding>& keys, const CIMName& keyName);

// The object ID in the "DeviceID" key of a reference (KVELObjectID of the empty text when the
// key is missing); the key text goes to keyText.
Uint32 deviceObjectID(const CIMObjectPath& reference, String& keyText);

// A CIM_StorageVolume reference of this array with the given DeviceID text.
CIMObjectPath storageVolumeReference(const String& deviceID);

void deliverOutput(MethodResultResponseHandler& handler, const char* name, const CIMValue& value);
// "Job": the job of the task. Returns false, delivering nothing, when the task has already ended
// and is gone (a client deleted it, or a short task outlived its retention before the call
// returned): the work was scheduled, but there is no job left to refer to, so the caller answers
// as for work done without a job.
bool deliverJob(MethodResultResponseHandler& handler, Uint32 taskID);

// The engine's text for a result code, and the exception that carries both.
String engineResultText(Uint32 kvelRc);
KVELOperationFailedException engineFailure(Uint32 kvelRc);

// Runs an engine call whose failures are results: a KVELOperationFailedException gives its
// result code, any other exception the generic failure 25.
template <class Call> Uint32 guardedEngineCall(Call call)
{
    try
    {
        return call();
    }
    catch (KVELOperationFailedException& e)
    {
        return e.getResultCode();
    }
    catch (...)
    {
        return KVEL_RC_OPERATION_FAILED;
    }
}

// The answer of the disk line mode and of persistence writes: 2 success, 1 refused in the
// controller's state (engine result 4), 3 any other result.
inline Uint32 pairOutcome(Uint32 engineRc)
{
    if (engineRc == KVEL_RC_SUCCESS) return 2;
    return engineRc == KVEL_RC_CONTROLLER_STATE ? 1 : 3;
}

// Engine results at or above this are failures reported by exception rather than return value.
const Uint32 ENGINE_RC_EXCEPTION_THRESHOLD = 10;

PEGASUS_NAMESPACE_END

#endif
