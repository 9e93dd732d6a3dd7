// The array's storage configuration service as the inventory names it, and what it can do. The
// storage configuration module serves the service itself; the inventory needs its path and
// instance only to link it with the array system and with its capabilities. Both kinds live
// under the array system's object ID: one array, one service.
#include <Pegasus/Provider/ProviderException.h>
#include <KVELiPtr.h>

#include "ElementKind.h"
#include "EngineRecords.h"
#include "InstanceProperties.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

const char* const SERVICE_CLASS = "Zarvo_StorageConfigurationService";
const char* const SYSTEM_CLASS = "CIM_ComputerSystem";
const char* const CAPABILITIES_CLASS = "CIM_StorageConfigurationCapabilities";

Uint32 arraySystemID()
{
    return KVELiPtrComputerSystem::makeSystem().getIPtr();
}

String systemName()
{
    engine(); // the engine sets the name as it loads its array
    return String(KVELEngine::_ZarvoSystemNamePtr);
}

void requireArraySystem(Uint32 objectID, const char* what)
{
    if (objectID != arraySystemID())
        throw CIMObjectNotFoundException(String(what) + String(" 0x") +
                                         KVELiPtr(objectID).getKeyString(KVELiPtr::RADIX_16) +
                                         String(" is not one of this array"));
}

CIMObjectPath rootSniaPath(const char* className, const Array<CIMKeyBinding>& keys)
{
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), CIMNamespaceName("root/snia"),
                         CIMName(className), keys);
}

// The service's four keys, in the order the storage configuration module writes them.
struct ServiceKey
{
    const char* name;
    String value;
    bool isClassName; // class names compare ignoring case, names exactly
};

std::vector<ServiceKey> serviceKeys()
{
    return {{"SystemCreationClassName", String(SYSTEM_CLASS), true},
            {"SystemName", systemName(), false},
            {"CreationClassName", String(SERVICE_CLASS), true},
            {"Name", systemName(), false}};
}

class StorageConfigurationServiceKind : public ElementKind
{
public:
    StorageConfigurationServiceKind()
        : ElementKind(SERVICE_CLASS, "Name",
                      {"CIM_StorageConfigurationService", "CIM_Service", "CIM_EnabledLogicalElement",
                       "CIM_LogicalElement", "CIM_ManagedSystemElement", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override
    {
        Array<Uint32> ids;
        ids.append(arraySystemID());
        return ids;
    }
    // Every key must be present and name this array's service.
    Uint32 objectIDOf(const CIMObjectPath& path) const override
    {
        if (!names(path.getClassName())) return 0;
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        for (const ServiceKey& expected : serviceKeys())
        {
            bool matched = false;
            for (Uint32 i = 0; i < keys.size() && !matched; ++i)
                matched = keys[i].getName().equal(CIMName(expected.name)) &&
                          (expected.isClassName ? String::equalNoCase(keys[i].getValue(), expected.value)
                                                : keys[i].getValue() == expected.value);
            if (!matched) return 0;
        }
        return arraySystemID();
    }
    CIMObjectPath path(Uint32 objectID) const override
    {
        requireArraySystem(objectID, "Storage configuration service");
        Array<CIMKeyBinding> keys;
        for (const ServiceKey& key : serviceKeys())
            keys.append(CIMKeyBinding(CIMName(key.name), key.value, CIMKeyBinding::STRING));
        return rootSniaPath(SERVICE_CLASS, keys);
    }
    // The storage configuration module's instance carries its keys and nothing else.
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        const CIMObjectPath servicePath = path(objectID);
        CIMInstance instance{CIMName(SERVICE_CLASS)};
        InstanceProperties properties(instance, includeQualifiers, propertyList);
        for (const ServiceKey& key : serviceKeys())
            properties.addKey(key.name, CIMValue(key.value));
        instance.setPath(servicePath);
        return instance;
    }
};

// DMTF values of CIM_StorageConfigurationCapabilities.
const Uint16 ACTION_ELEMENT_CREATION = 5;
const Uint16 ACTION_ELEMENT_RETURN = 6;
const Uint16 ACTION_ELEMENT_MODIFICATION = 7;
const Uint16 ELEMENT_TYPE_STORAGE_VOLUME = 2;
const Uint16 FEATURE_VOLUME_CREATION = 3;
const Uint16 FEATURE_VOLUME_MODIFICATION = 5;
const Uint16 FEATURE_SINGLE_IN_POOL = 6;

Array<Uint16> values(std::initializer_list<Uint16> list)
{
    Array<Uint16> result;
    for (Uint16 value : list)
        result.append(value);
    return result;
}

class StorageConfigurationCapabilitiesKind : public ElementKind
{
public:
    StorageConfigurationCapabilitiesKind()
        : ElementKind(CAPABILITIES_CLASS, "InstanceID", {"CIM_Capabilities", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override
    {
        Array<Uint32> ids;
        ids.append(arraySystemID());
        return ids;
    }
    Uint32 objectIDOf(const CIMObjectPath& path) const override
    {
        if (!names(path.getClassName())) return 0;
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        for (Uint32 i = 0; i < keys.size(); ++i)
            if (keys[i].getName().equal(CIMName("InstanceID")) && keys[i].getValue() == instanceID())
                return arraySystemID();
        return 0;
    }
    CIMObjectPath path(Uint32 objectID) const override
    {
        requireArraySystem(objectID, "Storage configuration capabilities");
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding(CIMName("InstanceID"), instanceID(), CIMKeyBinding::STRING));
        return rootSniaPath(CAPABILITIES_CLASS, keys);
    }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        const CIMObjectPath capabilitiesPath = path(objectID);
        CIMInstance instance{CIMName(CAPABILITIES_CLASS)};
        InstanceProperties properties(instance, includeQualifiers, propertyList);
        properties.addKey("InstanceID", CIMValue(instanceID()));
        properties.add("ElementName", CIMValue(String("Storage configuration of ") + systemName()));
        properties.add("SupportedStorageElementTypes", CIMValue(values({ELEMENT_TYPE_STORAGE_VOLUME})));
        properties.add(
            "SupportedStorageElementFeatures",
            CIMValue(values({FEATURE_VOLUME_CREATION, FEATURE_VOLUME_MODIFICATION, FEATURE_SINGLE_IN_POOL})));
        // The service creates no pools and deletes none: the four pools are fixed, and drives
        // move between them with TransferDrive.
        properties.add("SupportedStoragePoolFeatures", CIMValue(Array<Uint16>()));
        // Every creation and every return of a volume runs as an engine task, answered 4096 with
        // its job. A modification does too when data moves (a larger size, another layout); one
        // that changes only the hints, or nothing, completes at once with 0, so modification is
        // in both lists.
        properties.add(
            "SupportedAsynchronousActions",
            CIMValue(values({ACTION_ELEMENT_CREATION, ACTION_ELEMENT_RETURN, ACTION_ELEMENT_MODIFICATION})));
        properties.add("SupportedSynchronousActions", CIMValue(values({ACTION_ELEMENT_MODIFICATION})));
        instance.setPath(capabilitiesPath);
        return instance;
    }

private:
    static String instanceID() { return systemName() + String(":StorageConfigurationCapabilities"); }
};

} // namespace

const ElementKind& storageConfigurationServices()
{
    static const StorageConfigurationServiceKind kind;
    return kind;
}

const ElementKind& storageConfigurationCapabilities()
{
    static const StorageConfigurationCapabilitiesKind kind;
    return kind;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
