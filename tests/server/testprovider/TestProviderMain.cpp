// The module's entry point; an unknown name gets null, as a module answers for a provider it
// does not have.
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Provider/CIMProvider.h>

#include "TestProviders.h"

extern "C" PEGASUS_EXPORT Pegasus::CIMProvider* PegasusCreateProvider(const Pegasus::String& providerName)
{
    using Pegasus::String;
    if (String::equalNoCase(providerName, "WidgetProvider")) return testprovider::createWidgetProvider();
    if (String::equalNoCase(providerName, "MembershipProvider"))
        return testprovider::createAssociationProvider(false);
    if (String::equalNoCase(providerName, "PairingProvider"))
        return testprovider::createAssociationProvider(true);
    if (String::equalNoCase(providerName, "BrokenProvider")) return testprovider::createBrokenProvider();
    if (String::equalNoCase(providerName, "ThrowingProvider"))
        throw Pegasus::Exception("this provider cannot be created");
    return 0;
}
