// The array and its two controller blades as CIM_ComputerSystem: the system that hosts the pools,
// and the controllers that methods such as "GetBasePool" take as "Controller".
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

const char* const SYSTEM_CLASS = "CIM_ComputerSystem";
const Uint16 OPERATIONAL_STATUS_OK = 2;
const Uint16 DEDICATED_STORAGE = 3;
const Uint16 DEDICATED_BLOCK_SERVER = 15;

// The array is the first of the three; the blades follow in slot order.
bool isArray(Uint32 objectID)
{
    return objectID == KVELiPtrComputerSystem::makeSystem().getIPtr();
}

Uint32 slotOf(Uint32 objectID)
{
    return objectID == KVELiPtrComputerSystem::makeBlade(0).getIPtr() ? 0 : 1;
}

bool isSystemOfThisArray(Uint32 objectID)
{
    return isArray(objectID) || objectID == KVELiPtrComputerSystem::makeBlade(0).getIPtr() ||
           objectID == KVELiPtrComputerSystem::makeBlade(1).getIPtr();
}

String systemName(Uint32 objectID)
{
    return isArray(objectID) ? String(KVELEngine::_ZarvoSystemNamePtr)
                             : KVELiPtrComputerSystem::bladeName(slotOf(objectID));
}

class ComputerSystemKind : public ElementKind
{
public:
    ComputerSystemKind()
        : ElementKind(SYSTEM_CLASS, "Name",
                      {"CIM_System", "CIM_EnabledLogicalElement", "CIM_LogicalElement",
                       "CIM_ManagedSystemElement", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override { return engine().enumerateObjects(CLASSID_COMPUTERSYSTEM); }
    // The Name key is compared with the array's system name, which the engine sets when it loads.
    Uint32 objectIDOf(const CIMObjectPath& path) const override
    {
        if (!names(path.getClassName())) return 0;
        engine();
        try
        {
            return KVELiPtrComputerSystem(path).getIPtr();
        }
        catch (const CIMInvalidParameterException&)
        {
            return 0; // no Name key, or a name that is not of this array
        }
    }
    CIMObjectPath path(Uint32 objectID) const override
    {
        require(objectID);
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding(CIMName("CreationClassName"), String(SYSTEM_CLASS), CIMKeyBinding::STRING));
        keys.append(CIMKeyBinding(CIMName("Name"), systemName(objectID), CIMKeyBinding::STRING));
        return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), CIMNamespaceName("root/snia"),
                             CIMName(SYSTEM_CLASS), keys);
    }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        const CIMObjectPath systemPath = path(objectID);
        CIMInstance instance{CIMName(SYSTEM_CLASS)};
        InstanceProperties properties(instance, includeQualifiers, propertyList);
        properties.addKey("CreationClassName", CIMValue(String(SYSTEM_CLASS)));
        properties.addKey("Name", CIMValue(systemName(objectID)));
        properties.add("NameFormat", CIMValue(String("Other")));
        properties.add("OperationalStatus", CIMValue(Array<Uint16>(&OPERATIONAL_STATUS_OK, 1)));
        if (isArray(objectID))
        {
            properties.add("ElementName", CIMValue(systemName(objectID)));
            properties.add("Description", CIMValue(String("Storage array")));
            const Uint16 dedicated[] = {DEDICATED_STORAGE, DEDICATED_BLOCK_SERVER};
            properties.add("Dedicated", CIMValue(Array<Uint16>(dedicated, 2)));
        }
        else
        {
            String elementName("Storage controller SP");
            elementName.appendPrintf("%u", slotOf(objectID));
            properties.add("ElementName", CIMValue(elementName));
            properties.add("Description", CIMValue(String("Storage controller blade of the array")));
            properties.add("Dedicated", CIMValue(Array<Uint16>(&DEDICATED_STORAGE, 1)));
        }
        instance.setPath(systemPath);
        return instance;
    }

private:
    static void require(Uint32 objectID)
    {
        engine();
        if (!isSystemOfThisArray(objectID))
            throw CIMObjectNotFoundException(String("Computer system 0x") +
                                             KVELiPtr(objectID).getKeyString(KVELiPtr::RADIX_16) +
                                             String(" is not one of this array"));
    }
};

} // namespace

const ElementKind& computerSystems()
{
    static const ComputerSystemKind kind;
    return kind;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
