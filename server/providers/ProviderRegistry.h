// The provider registration, read from the PG_ProviderModule, PG_Provider and
// PG_ProviderCapabilities instances that the schema declares (the same MOF a real CIM server
// takes), in the interop namespace.
#ifndef CIMHOST_ProviderRegistry_h
#define CIMHOST_ProviderRegistry_h

#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMName.h>

#include "ClassRepository.h"

namespace cimhost
{

class RegistrationError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ProviderModuleInfo
{
    std::string name;     // PG_ProviderModule.Name
    std::string location; // PG_ProviderModule.Location: the library's base name ("X" loads libX.so)
};

struct ProviderCapability
{
    std::string moduleName;   // PG_ProviderCapabilities.ProviderModuleName
    std::string providerName; // PG_ProviderCapabilities.ProviderName, passed to PegasusCreateProvider
    Pegasus::CIMName className;
    std::vector<Pegasus::CIMNamespaceName> namespaces;
    bool instance = false;    // ProviderType 2
    bool association = false; // ProviderType 3
    bool method = false;      // ProviderType 5
    bool indication = false;  // ProviderType 4: several providers may serve one indication class
};

// A profile a provider implements (PG_ProviderProfileCapabilities), its organization and name
// read from the registration class's Values ("SNIA:Array" is organization SNIA, name Array).
struct RegisteredProfileName
{
    std::string organization;
    std::string name;
    std::string version;
};

// A class served in a namespace.
struct ServedClass
{
    Pegasus::CIMNamespaceName nameSpace;
    Pegasus::CIMName className;
};

// How the server finds a profile's conforming elements, by one of two rules: every instance of
// the conformingElements classes in the provider's namespaces; or, when that list is empty, the
// ManagedElement of each instance of the provider's own subclasses of CIM_ElementConformsToProfile
// whose ConformantStandard names the profile.
struct ProfileCapability
{
    std::string moduleName;
    std::string providerName;
    RegisteredProfileName profile;
    std::vector<RegisteredProfileName> subProfiles;
    std::vector<Pegasus::CIMName> conformingElements;
    // Where the provider serves its classes: where its conforming elements are found.
    std::vector<Pegasus::CIMNamespaceName> namespaces;
    // The provider's subclasses of CIM_ElementConformsToProfile outside the interop namespace.
    std::vector<ServedClass> conformanceClasses;
};

class ProviderRegistry
{
public:
    static const char* const INTEROP_NAMESPACE; // "root/PG_InterOp"

    // Reads the registration instances; every capability must name a registered provider of a
    // registered module, and every class must exist in each namespace it names. Throws
    // RegistrationError naming the offending instance.
    static ProviderRegistry fromRepository(const ClassRepository& repository);

    const std::vector<ProviderModuleInfo>& modules() const { return _modules; }
    const std::vector<ProviderCapability>& capabilities() const { return _capabilities; }
    const std::vector<ProfileCapability>& profiles() const { return _profiles; }

private:
    void readProfiles(const ClassRepository& repository);

    std::vector<ProviderModuleInfo> _modules;
    std::vector<ProviderCapability> _capabilities;
    std::vector<ProfileCapability> _profiles;
};

} // namespace cimhost

#endif
