#include "ProviderRegistry.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>

#include "NameKey.h"
#include "ValueMap.h"

namespace cimhost
{

using Pegasus::CIMInstance;
using Pegasus::CIMValue;
using Pegasus::Uint32;

const char* const ProviderRegistry::INTEROP_NAMESPACE = "root/PG_InterOp";

namespace
{

const char* const kInterfaceType = "C++Default";

std::string describe(const CIMInstance& instance)
{
    return utf8(instance.getPath().toString());
}

[[noreturn]] void refuse(const CIMInstance& instance, const std::string& problem)
{
    throw RegistrationError(describe(instance) + ": " + problem);
}

// The value of a property, or a null value when the instance does not give it.
CIMValue valueOf(const CIMInstance& instance, const char* name)
{
    const Uint32 index = instance.findProperty(Pegasus::CIMName(name));
    return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

std::string optionalString(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    if (value.isNull()) return std::string();
    if (value.getType() != Pegasus::CIMTYPE_STRING || value.isArray())
        refuse(instance, std::string("property '") + name + "' must be a string");
    Pegasus::String text;
    value.get(text);
    return utf8(text);
}

std::string requiredString(const CIMInstance& instance, const char* name)
{
    std::string text = optionalString(instance, name);
    if (text.empty()) refuse(instance, std::string("property '") + name + "' is missing");
    return text;
}

std::vector<std::string> stringArray(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    std::vector<std::string> texts;
    if (value.isNull()) return texts;
    if (value.getType() != Pegasus::CIMTYPE_STRING || !value.isArray())
        refuse(instance, std::string("property '") + name + "' must be a string array");
    Pegasus::Array<Pegasus::String> items;
    value.get(items);
    for (Uint32 i = 0; i < items.size(); ++i)
        texts.push_back(utf8(items[i]));
    return texts;
}

// ProviderType is uint16[] in the registration classes; any unsigned integer array is read.
std::vector<Pegasus::Uint64> unsignedArray(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    std::vector<Pegasus::Uint64> numbers;
    if (value.isNull()) return numbers;
    if (!value.isArray()) refuse(instance, std::string("property '") + name + "' must be an array");
    auto read = [&](auto sample)
    {
        Pegasus::Array<decltype(sample)> items;
        value.get(items);
        for (Uint32 i = 0; i < items.size(); ++i)
            numbers.push_back(items[i]);
    };
    switch (value.getType())
    {
    case Pegasus::CIMTYPE_UINT8:
        read(Pegasus::Uint8());
        break;
    case Pegasus::CIMTYPE_UINT16:
        read(Pegasus::Uint16());
        break;
    case Pegasus::CIMTYPE_UINT32:
        read(Pegasus::Uint32());
        break;
    case Pegasus::CIMTYPE_UINT64:
        read(Pegasus::Uint64());
        break;
    default:
        refuse(instance, std::string("property '") + name + "' must be an unsigned integer array");
    }
    return numbers;
}

// The Values text that the property's ValueMap gives the number, or "" when it has none.
std::string valueText(const Pegasus::CIMConstClass& cimClass, const char* property, const std::string& number)
{
    for (const auto& [key, text] : valueMap(cimClass, property))
        if (key == number) return text;
    return std::string();
}

// "SNIA:Array" -> organization SNIA, name Array.
RegisteredProfileName profileName(const CIMInstance& instance, const Pegasus::CIMConstClass& cimClass,
                                  const char* property, const std::string& number, const std::string& version)
{
    const std::string text = valueText(cimClass, property, number);
    const std::string::size_type colon = text.find(':');
    if (colon == std::string::npos)
        refuse(instance,
               property + std::string(" ") + number + " is not an organization:name the class declares");
    return {text.substr(0, colon), text.substr(colon + 1), version};
}

} // namespace

// PG_ProviderProfileCapabilities: profiles of the registered providers. Profiles of the "Other"
// kind (names given as text) are not advertised by this host.
void ProviderRegistry::readProfiles(const ClassRepository& repository)
{
    const Pegasus::CIMNamespaceName interop(INTEROP_NAMESPACE);
    const Pegasus::CIMConstClass cimClass =
        repository.resolvedClassView(interop, Pegasus::CIMName("PG_ProviderProfileCapabilities"));
    if (cimClass.isUninitialized()) return;
    for (const CIMInstance& instance :
         repository.declaredInstances(interop, "PG_ProviderProfileCapabilities"))
    {
        ProfileCapability profile;
        profile.moduleName = requiredString(instance, "ProviderModuleName");
        profile.providerName = requiredString(instance, "ProviderName");
        const Pegasus::CIMName conformance("CIM_ElementConformsToProfile");
        for (const ProviderCapability& capability : _capabilities)
            if (nameKey(capability.moduleName.c_str()) == nameKey(profile.moduleName.c_str()) &&
                nameKey(capability.providerName.c_str()) == nameKey(profile.providerName.c_str()))
                for (const Pegasus::CIMNamespaceName& nameSpace : capability.namespaces)
                {
                    if (std::find(profile.namespaces.begin(), profile.namespaces.end(), nameSpace) ==
                        profile.namespaces.end())
                        profile.namespaces.push_back(nameSpace);
                    if (!nameSpace.equal(interop) && !capability.className.equal(conformance) &&
                        repository.isA(nameSpace, capability.className, conformance))
                        profile.conformanceClasses.push_back({nameSpace, capability.className});
                }
        if (profile.namespaces.empty())
            refuse(instance, "names provider '" + profile.providerName + "', which serves no class");

        const CIMValue number = valueOf(instance, "RegisteredProfile");
        if (number.isNull()) refuse(instance, "property 'RegisteredProfile' is missing");
        profile.profile = profileName(instance, cimClass, "RegisteredProfile", utf8(number.toString()),
                                      requiredString(instance, "ProfileVersion"));
        const std::vector<Pegasus::Uint64> subProfiles = unsignedArray(instance, "RegisteredSubProfiles");
        const std::vector<std::string> versions = stringArray(instance, "SubProfileVersions");
        if (versions.size() != subProfiles.size())
            refuse(instance, "needs one SubProfileVersions entry for each RegisteredSubProfiles entry");
        for (size_t i = 0; i < subProfiles.size(); ++i)
            profile.subProfiles.push_back(profileName(instance, cimClass, "RegisteredSubProfiles",
                                                      std::to_string(subProfiles[i]), versions[i]));
        for (const std::string& name : stringArray(instance, "ConformingElements"))
        {
            if (!Pegasus::CIMName::legal(name.c_str())) refuse(instance, "invalid class name '" + name + "'");
            profile.conformingElements.push_back(Pegasus::CIMName(name.c_str()));
        }
        _profiles.push_back(std::move(profile));
    }
}

ProviderRegistry ProviderRegistry::fromRepository(const ClassRepository& repository)
{
    ProviderRegistry registry;
    const Pegasus::CIMNamespaceName interop(INTEROP_NAMESPACE);
    if (!repository.hasNamespace(interop)) return registry;

    std::map<std::string, std::string> modules; // key -> name as registered
    for (const CIMInstance& instance : repository.declaredInstances(interop, "PG_ProviderModule"))
    {
        ProviderModuleInfo module;
        module.name = requiredString(instance, "Name");
        module.location = requiredString(instance, "Location");
        const std::string interfaceType = optionalString(instance, "InterfaceType");
        if (!interfaceType.empty() && interfaceType != kInterfaceType)
            refuse(instance,
                   "interface type '" + interfaceType + "' is not supported (only " + kInterfaceType + ")");
        if (!modules.emplace(nameKey(module.name.c_str()), module.name).second)
            refuse(instance, "provider module '" + module.name + "' is registered twice");
        registry._modules.push_back(module);
    }

    // (module key, provider key) -> provider name as registered
    std::map<std::pair<std::string, std::string>, std::string> providers;
    for (const CIMInstance& instance : repository.declaredInstances(interop, "PG_Provider"))
    {
        const std::string name = requiredString(instance, "Name");
        const std::string moduleName = requiredString(instance, "ProviderModuleName");
        if (modules.count(nameKey(moduleName.c_str())) == 0)
            refuse(instance, "names the unregistered provider module '" + moduleName + "'");
        if (!providers.emplace(std::make_pair(nameKey(moduleName.c_str()), nameKey(name.c_str())), name)
                 .second)
            refuse(instance, "provider '" + name + "' is registered twice in module '" + moduleName + "'");
    }

    // (namespace key, class key, provider type) taken, so two providers never claim the same work.
    std::set<std::tuple<std::string, std::string, int>> claimed;
    for (const CIMInstance& instance : repository.declaredInstances(interop, "PG_ProviderCapabilities"))
    {
        ProviderCapability capability;
        const std::string moduleName = requiredString(instance, "ProviderModuleName");
        const std::string providerName = requiredString(instance, "ProviderName");
        auto provider =
            providers.find(std::make_pair(nameKey(moduleName.c_str()), nameKey(providerName.c_str())));
        if (provider == providers.end())
            refuse(instance, "names provider '" + providerName + "' of module '" + moduleName +
                                 "', which is not registered");
        capability.moduleName = modules.at(nameKey(moduleName.c_str()));
        capability.providerName = provider->second;

        const std::string className = requiredString(instance, "ClassName");
        try
        {
            capability.className = Pegasus::CIMName(className.c_str());
        }
        catch (const Pegasus::Exception&)
        {
            refuse(instance, "invalid class name '" + className + "'");
        }

        for (const Pegasus::Uint64 type : unsignedArray(instance, "ProviderType"))
        {
            capability.instance = capability.instance || type == 2;
            capability.association = capability.association || type == 3;
            capability.method = capability.method || type == 5;
            capability.indication = capability.indication || type == 4;
        }

        const std::vector<std::string> namespaces = stringArray(instance, "Namespaces");
        if (namespaces.empty()) refuse(instance, "names no namespace");
        for (const std::string& name : namespaces)
        {
            Pegasus::CIMNamespaceName nameSpace;
            try
            {
                nameSpace = Pegasus::CIMNamespaceName(name.c_str());
            }
            catch (const Pegasus::Exception&)
            {
                refuse(instance, "invalid namespace '" + name + "'");
            }
            const Pegasus::CIMClass cimClass = repository.resolvedClass(nameSpace, capability.className);
            if (cimClass.isUninitialized())
                refuse(instance, "class '" + className + "' does not exist in namespace '" + name + "'");
            if (capability.association && !cimClass.isAssociation())
                refuse(instance, "registers an association provider for '" + className +
                                     "', which is not an association");
            capability.className = cimClass.getClassName();
            const std::string namespaceKey = nameKey(nameSpace.getString());
            const std::string classKey = nameKey(capability.className.getString());
            const int types[] = {capability.instance ? 2 : 0, capability.association ? 3 : 0,
                                 capability.method ? 5 : 0};
            for (int type : types)
                if (type != 0 && !claimed.emplace(namespaceKey, classKey, type).second)
                    refuse(instance, "class '" + className + "' in namespace '" + name +
                                         "' already has a provider of type " + std::to_string(type));
            capability.namespaces.push_back(nameSpace);
        }
        // Other provider types (query, consumer, ...) are not served; such a capability adds nothing.
        if (capability.instance || capability.association || capability.method || capability.indication)
            registry._capabilities.push_back(capability);
    }
    registry.readProfiles(repository);
    return registry;
}

} // namespace cimhost
