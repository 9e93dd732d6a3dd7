// What a client finds from the array's computer system: the service it hosts, its devices
// (volumes and drives) and its two controllers.
#include "ArrayAssociation.h"

#include <KVELiPtr.h>

#include "EngineRecords.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

Uint32 arraySystemID()
{
    return KVELiPtrComputerSystem::makeSystem().getIPtr();
}

// The array paired with each of the elements listed.
std::vector<Link> fromArray(const Array<Uint32>& parts)
{
    std::vector<Link> links;
    const Uint32 system = arraySystemID();
    for (Uint32 i = 0; i < parts.size(); ++i)
        links.push_back(Link{{system, parts[i]}});
    return links;
}

// The array hosts its storage configuration service, which is named under the array's ID.
class HostedService : public ArrayAssociation
{
public:
    HostedService()
        : ArrayAssociation("CIM_HostedService", {"CIM_HostedDependency", "CIM_Dependency"},
                           {"Antecedent", computerSystems()}, {"Dependent", storageConfigurationServices()})
    {
    }
    std::vector<Link> links() const override { return fromArray(storageConfigurationServices().objectIDs()); }
};

// The array's logical devices: one association class over two kinds of device.
class SystemDevice : public ArrayAssociation
{
public:
    explicit SystemDevice(const ElementKind& devices)
        : ArrayAssociation("CIM_SystemDevice", {"CIM_SystemComponent", "CIM_Component"},
                           {"GroupComponent", computerSystems()}, {"PartComponent", devices}),
          _devices(devices)
    {
    }
    std::vector<Link> links() const override { return fromArray(_devices.objectIDs()); }

private:
    const ElementKind& _devices;
};

// The array is made of its controllers, which are computer systems too.
class ComponentCS : public ArrayAssociation
{
public:
    ComponentCS()
        : ArrayAssociation("CIM_ComponentCS", {"CIM_SystemComponent", "CIM_Component"},
                           {"GroupComponent", computerSystems()}, {"PartComponent", computerSystems()})
    {
    }
    std::vector<Link> links() const override
    {
        const Array<Uint32> systems = computerSystems().objectIDs();
        Array<Uint32> controllers;
        for (Uint32 i = 0; i < systems.size(); ++i)
            if (systems[i] != arraySystemID()) controllers.append(systems[i]);
        return fromArray(controllers);
    }
};

} // namespace

const ArrayAssociation& hostedService()
{
    static const HostedService association;
    return association;
}

const ArrayAssociation& systemVolumes()
{
    static const SystemDevice association(storageVolumes());
    return association;
}

const ArrayAssociation& systemDrives()
{
    static const SystemDevice association(diskDrives());
    return association;
}

const ArrayAssociation& componentControllers()
{
    static const ComponentCS association;
    return association;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
