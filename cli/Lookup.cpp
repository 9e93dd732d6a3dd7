#include "Lookup.h"

#include "Failures.h"
#include "InstanceFields.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

// The instance whose key property is the text, or else the one whose ElementName is.
CIMInstance findByIdOrName(CimClient& client, const char* className, const char* keyProperty,
                           const std::string& idOrName, const char* what)
{
    const Array<CIMInstance> instances = client.enumerateInstances(className);
    std::vector<CIMInstance> named;
    for (Uint32 i = 0; i < instances.size(); ++i)
    {
        if (stringField(instances[i], keyProperty) == idOrName) return instances[i];
        if (stringField(instances[i], "ElementName") == idOrName) named.push_back(instances[i]);
    }
    if (named.size() == 1) return named[0];
    if (named.empty())
        throw Failure(ExitRefused, std::string("no ") + what + " has the ID or name \"" + idOrName + "\"");
    throw Failure(ExitRefused, std::to_string(named.size()) + " " + what + "s are named \"" + idOrName +
                                   "\"; name it by its ID");
}

} // namespace

CIMInstance findPool(CimClient& client, const std::string& idOrName)
{
    return findByIdOrName(client, "CIM_StoragePool", "InstanceID", idOrName, "pool");
}

CIMInstance basePool(CimClient& client)
{
    const Array<CIMInstance> pools = client.enumerateInstances("CIM_StoragePool");
    for (Uint32 i = 0; i < pools.size(); ++i)
        if (booleanField(pools[i], "Primordial") == false) return pools[i];
    throw Failure(ExitRefused, "the array has no pool to make volumes in; name one with --pool");
}

CIMInstance findVolume(CimClient& client, const std::string& idOrName)
{
    return findByIdOrName(client, "CIM_StorageVolume", "DeviceID", idOrName, "volume");
}

CIMObjectPath jobPath(const std::string& id)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("InstanceID"), String(id.c_str()), CIMKeyBinding::STRING));
    return CIMObjectPath(String(), CIMNamespaceName(), CIMName("CIM_ConcreteJob"), keys);
}

CIMInstance findJob(CimClient& client, const std::string& id)
{
    try
    {
        return client.getInstance(client.local(jobPath(id)));
    }
    catch (const CimError& error)
    {
        if (error.code != CIM_ERR_NOT_FOUND) throw;
        throw explained(error, "no job has the ID " + id +
                                   " (a finished job goes after a while; scsctl jobs "
                                   "lists those there are)");
    }
}

CIMObjectPath configurationService(CimClient& client)
{
    const Array<CIMInstance> services = client.enumerateInstances("CIM_StorageConfigurationService");
    if (services.size() == 0)
        throw Failure(ExitRefused, "the server offers no storage configuration service");
    return services[0].getPath();
}

} // namespace scsctl
