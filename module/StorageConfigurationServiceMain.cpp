// The module's entry point: the CIM server asks for each provider by its registered name.
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Provider/CIMProvider.h>

#include "AffectedJobElementProvider.h"
#include "CimNames.h"
#include "ConcreteJobProvider.h"
#include "OwningJobElementProvider.h"
#include "StorageConfigurationServiceProvider.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationServiceMain"

PEGASUS_USING_PEGASUS;

extern "C" PEGASUS_EXPORT CIMProvider* PegasusCreateProvider(const String& providerName)
{
    if (String::equalNoCase(providerName, PROVIDER_AffectedJobElementProvider))
    {
        SCS_TRACE(TRACE_NORMAL, "Starting up the AffectedJobElement provider");
        return new AffectedJobElementProvider();
    }
    if (String::equalNoCase(providerName, PROVIDER_OwningJobElementProvider))
    {
        SCS_TRACE(TRACE_NORMAL, "Starting up the OwningJobElement provider");
        return new OwningJobElementProvider();
    }
    if (String::equalNoCase(providerName, PROVIDER_ConcreteJobProvider))
    {
        SCS_TRACE(TRACE_NORMAL, "Starting up the ConcreteJob provider");
        return new ConcreteJobProvider();
    }
    if (String::equalNoCase(providerName, PROVIDER_StorageConfigurationServiceProvider))
    {
        SCS_TRACE(TRACE_NORMAL, "Starting up the StorageConfigurationService provider");
        return new StorageConfigurationServiceProvider();
    }
    return 0;
}
