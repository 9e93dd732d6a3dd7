// The associations a client follows between the array's elements.
#include "ArrayAssociation.h"

#include <memory>

#include <Pegasus/Common/CIMValue.h>
#include <KVELDrive.h>
#include <KVELiPtr.h>
#include <KVELVolume.h>

#include "EngineRecords.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

ArrayAssociation::ArrayAssociation(const char* className, const std::vector<const char*>& lineage,
                                   AssociationEnd first, AssociationEnd second)
    : _className(className), _first(first), _second(second)
{
    for (const char* name : lineage)
        _lineage.push_back(CIMName(name));
}

ArrayAssociation::~ArrayAssociation() {}

bool ArrayAssociation::isA(const CIMName& className) const
{
    if (_className.equal(className)) return true;
    for (const CIMName& name : _lineage)
        if (name.equal(className)) return true;
    return false;
}

std::vector<Link> ArrayAssociation::linksOf(int endIndex, Uint32 objectID) const
{
    std::vector<Link> chosen;
    for (const Link& link : links())
        if (link.objectIDs[endIndex] == objectID) chosen.push_back(link);
    return chosen;
}

void ArrayAssociation::addProperties(const Link&, InstanceProperties&) const {}

namespace
{

// A pool and the volumes made in it, with the raw space each takes (redundancy included).
class AllocatedFromStoragePool : public ArrayAssociation
{
public:
    AllocatedFromStoragePool()
        : ArrayAssociation("CIM_AllocatedFromStoragePool", {"CIM_Dependency"}, {"Antecedent", storagePools()},
                           {"Dependent", storageVolumes()})
    {
    }
    std::vector<Link> links() const override
    {
        std::vector<Link> links;
        const Array<Uint32> volumes = engine().enumerateObjects(CLASSID_VOLUME);
        for (Uint32 i = 0; i < volumes.size(); ++i)
        {
            std::unique_ptr<KVELVolume> volume = fetchRecord<KVELVolume>(CLASSID_VOLUME, volumes[i]);
            if (volume && !volume->IsSetting)
            {
                Link link{{volume->PoolObjectID, volumes[i]}};
                link.value = volume->ConsumedBlocks * 512;
                links.push_back(link);
            }
        }
        return links;
    }
    void addProperties(const Link& link, InstanceProperties& properties) const override
    {
        properties.add("SpaceConsumed", CIMValue(link.value));
    }
};

// The array hosts every pool.
class HostedStoragePool : public ArrayAssociation
{
public:
    HostedStoragePool()
        : ArrayAssociation("CIM_HostedStoragePool", {"CIM_SystemComponent", "CIM_Component"},
                           {"GroupComponent", computerSystems()}, {"PartComponent", storagePools()})
    {
    }
    std::vector<Link> links() const override
    {
        std::vector<Link> links;
        const Uint32 system = KVELiPtrComputerSystem::makeSystem().getIPtr();
        const Array<Uint32> pools = engine().enumerateObjects(CLASSID_STORAGEPOOL);
        for (Uint32 i = 0; i < pools.size(); ++i)
            links.push_back(Link{{system, pools[i]}});
        return links;
    }
};

// Each pool and its capabilities, which share its object ID.
class ElementCapabilities : public ArrayAssociation
{
public:
    ElementCapabilities()
        : ArrayAssociation("CIM_ElementCapabilities", {}, {"ManagedElement", storagePools()},
                           {"Capabilities", storageCapabilities()})
    {
    }
    std::vector<Link> links() const override
    {
        std::vector<Link> links;
        const Array<Uint32> pools = engine().enumerateObjects(CLASSID_STORAGEPOOL);
        for (Uint32 i = 0; i < pools.size(); ++i)
            links.push_back(Link{{pools[i], pools[i]}});
        return links;
    }
    void addProperties(const Link&, InstanceProperties& properties) const override
    {
        // The capabilities describe what the pool offers now, and what a new setting starts from.
        const Uint16 characteristics[] = {2, 3}; // Default, Current
        properties.add("Characteristics", CIMValue(Array<Uint16>(characteristics, 2)));
    }
};

// The storage configuration service and its capabilities, both under the array system's ID.
class ServiceCapabilities : public ArrayAssociation
{
public:
    ServiceCapabilities()
        : ArrayAssociation("CIM_ElementCapabilities", {}, {"ManagedElement", storageConfigurationServices()},
                           {"Capabilities", storageConfigurationCapabilities()})
    {
    }
    std::vector<Link> links() const override
    {
        const Uint32 system = KVELiPtrComputerSystem::makeSystem().getIPtr();
        return {Link{{system, system}}};
    }
    void addProperties(const Link&, InstanceProperties& properties) const override
    {
        const Uint16 current = 3;
        properties.add("Characteristics", CIMValue(Array<Uint16>(&current, 1)));
    }
};

// Each volume and its own setting, which shares its object ID.
class ElementSettingData : public ArrayAssociation
{
public:
    ElementSettingData()
        : ArrayAssociation("CIM_ElementSettingData", {}, {"ManagedElement", storageVolumes()},
                           {"SettingData", volumeSettings()})
    {
    }
    std::vector<Link> links() const override
    {
        std::vector<Link> links;
        const Array<Uint32> volumes = volumeRecordIDs(false);
        for (Uint32 i = 0; i < volumes.size(); ++i)
            links.push_back(Link{{volumes[i], volumes[i]}});
        return links;
    }
    std::vector<Link> linksOf(int, Uint32 objectID) const override
    {
        std::unique_ptr<KVELVolume> volume = fetchRecord<KVELVolume>(CLASSID_VOLUME, objectID);
        if (!volume || volume->IsSetting) return {};
        return {Link{{objectID, objectID}}};
    }
    void addProperties(const Link&, InstanceProperties& properties) const override
    {
        const Uint16 isCurrent = 1; // the setting follows the volume through reconfigurations
        properties.add("IsCurrent", CIMValue(isCurrent));
    }
};

// A pool and the drives in it.
class ConcreteComponent : public ArrayAssociation
{
public:
    ConcreteComponent()
        : ArrayAssociation("CIM_ConcreteComponent", {"CIM_Component"}, {"GroupComponent", storagePools()},
                           {"PartComponent", diskDrives()})
    {
    }
    std::vector<Link> links() const override
    {
        std::vector<Link> links;
        const Array<Uint32> drives = engine().enumerateObjects(CLASSID_DRIVE);
        for (Uint32 i = 0; i < drives.size(); ++i)
            if (std::unique_ptr<KVELDrive> drive = fetchRecord<KVELDrive>(CLASSID_DRIVE, drives[i]))
                links.push_back(Link{{drive->PoolObjectID, drives[i]}});
        return links;
    }
};

} // namespace

const ArrayAssociation& allocatedFromStoragePool()
{
    static const AllocatedFromStoragePool association;
    return association;
}

const ArrayAssociation& hostedStoragePool()
{
    static const HostedStoragePool association;
    return association;
}

const ArrayAssociation& elementCapabilities()
{
    static const ElementCapabilities association;
    return association;
}

const ArrayAssociation& concreteComponent()
{
    static const ConcreteComponent association;
    return association;
}

const ArrayAssociation& serviceCapabilities()
{
    static const ServiceCapabilities association;
    return association;
}

const ArrayAssociation& elementSettingData()
{
    static const ElementSettingData association;
    return association;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
