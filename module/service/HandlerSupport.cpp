#include "HandlerSupport.h"

#include <KVELEngine.h>
#include <KVELiPtr.h>
#include <SMIMOBuilders.h>

#include "CimNames.h"
#include "VanishedTasks.h"

PEGASUS_NAMESPACE_BEGIN

const CIMKeyBinding* findKey(const Array<CIMKeyBinding>& keys, const CIMName& keyName)
{
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName() == keyName) return &keys[i];
    return nullptr;
}

Uint32 deviceObjectID(const CIMObjectPath& reference, String& keyText)
{
    const CIMKeyBinding* key = findKey(reference.getKeyBindings(), PROPERTY_DeviceID);
    keyText = key ? key->getValue() : String();
    return KVELObjectID(keyText);
}

CIMObjectPath storageVolumeReference(const String& deviceID)
{
    Array<CIMKeyBinding> keys;
    keys.append(
        CIMKeyBinding(PROPERTY_SystemCreationClassName, String("CIM_ComputerSystem"), CIMKeyBinding::STRING));
    keys.append(
        CIMKeyBinding(PROPERTY_SystemName, String(KVELEngine::_ZarvoSystemNamePtr), CIMKeyBinding::STRING));
    keys.append(
        CIMKeyBinding(PROPERTY_CreationClassName, String("CIM_StorageVolume"), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(PROPERTY_DeviceID, deviceID, CIMKeyBinding::STRING));
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), NAMESPACE_ROOT_SNIA,
                         CLASS_CIM_StorageVolume.getCIMName(), keys);
}

void deliverOutput(MethodResultResponseHandler& handler, const char* name, const CIMValue& value)
{
    handler.deliverParamValue(CIMParamValue(name, value, true));
}

bool deliverJob(MethodResultResponseHandler& handler, Uint32 taskID)
{
    return deliverUnlessVanished(
        [&] { deliverOutput(handler, "Job", CIMValue(CIMObjectPath(ConcreteJobPath(taskID)))); });
}

String engineResultText(Uint32 kvelRc)
{
    return KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(kvelRc));
}

KVELOperationFailedException engineFailure(Uint32 kvelRc)
{
    return KVELOperationFailedException(kvelRc, engineResultText(kvelRc));
}

PEGASUS_NAMESPACE_END
