// The module's entry point: the CIM server asks for each provider by its registered name.
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Provider/CIMProvider.h>

#include "AssociationProvider.h"
#include "ElementInstanceProvider.h"
#include "IndicationProvider.h"
#include "ProfileConformanceProvider.h"
#include "StorageCapabilitiesProvider.h"
#include "StorageSettingProvider.h"

PEGASUS_USING_PEGASUS;

namespace
{

CIMProvider* makeProvider(const String& name)
{
    using namespace inventory;
    if (String::equalNoCase(name, "StoragePoolProvider")) return new ElementInstanceProvider(storagePools());
    if (String::equalNoCase(name, "StorageVolumeProvider"))
        return new ElementInstanceProvider(storageVolumes());
    if (String::equalNoCase(name, "DiskDriveProvider")) return new ElementInstanceProvider(diskDrives());
    if (String::equalNoCase(name, "ComputerSystemProvider"))
        return new ElementInstanceProvider(computerSystems());
    if (String::equalNoCase(name, "StorageSettingProvider")) return new StorageSettingProvider();
    if (String::equalNoCase(name, "StorageCapabilitiesProvider")) return new StorageCapabilitiesProvider();
    if (String::equalNoCase(name, "AllocatedFromStoragePoolProvider"))
        return new AssociationProvider(allocatedFromStoragePool());
    if (String::equalNoCase(name, "HostedStoragePoolProvider"))
        return new AssociationProvider(hostedStoragePool());
    if (String::equalNoCase(name, "ElementCapabilitiesProvider"))
        return new AssociationProvider({&elementCapabilities(), &serviceCapabilities()});
    if (String::equalNoCase(name, "ConcreteComponentProvider"))
        return new AssociationProvider(concreteComponent());
    if (String::equalNoCase(name, "StorageConfigurationCapabilitiesProvider"))
        return new ElementInstanceProvider(storageConfigurationCapabilities());
    if (String::equalNoCase(name, "VolumeSettingProvider"))
        return new ElementInstanceProvider(volumeSettings());
    if (String::equalNoCase(name, "HostedServiceProvider")) return new AssociationProvider(hostedService());
    if (String::equalNoCase(name, "SystemDeviceProvider"))
        return new AssociationProvider({&systemVolumes(), &systemDrives()});
    if (String::equalNoCase(name, "ComponentCSProvider"))
        return new AssociationProvider(componentControllers());
    if (String::equalNoCase(name, "ElementSettingDataProvider"))
        return new AssociationProvider(elementSettingData());
    if (String::equalNoCase(name, "ProfileConformanceProvider")) return new ProfileConformanceProvider();
    if (String::equalNoCase(name, "ArrayIndicationProvider")) return new ArrayIndicationProvider();
    return 0;
}

} // namespace

extern "C" PEGASUS_EXPORT CIMProvider* PegasusCreateProvider(const String& providerName)
{
    return makeProvider(providerName);
}
