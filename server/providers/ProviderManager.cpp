#include "ProviderManager.h"

#include <exception>
#include <iostream>
#include <map>
#include <utility>

#include <Pegasus/Common/String.h>

#include "NameKey.h"
#include "ProviderModuleLibrary.h"

namespace cimhost
{

namespace
{

// CIM names compare ignoring case; the maps key on the folded text (nameKey).
using ClassKey = std::pair<std::string, std::string>; // (namespace, class), both folded

ClassKey classKey(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className)
{
    return ClassKey(nameKey(nameSpace.getString()), nameKey(className.getString()));
}

// A class to look up without folding copies of its names: every request looks its provider up.
struct ClassRef
{
    const Pegasus::String& nameSpace;
    const Pegasus::String& className;
};

ClassRef classRef(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& className)
{
    return ClassRef{nameSpace.getString(), className.getString()};
}

int compareKeyWithClass(const ClassKey& key, const ClassRef& ref)
{
    const int byNamespace = compareKeyWithName(key.first, ref.nameSpace);
    return byNamespace != 0 ? byNamespace : compareKeyWithName(key.second, ref.className);
}

struct ClassKeyLess
{
    using is_transparent = void;
    bool operator()(const ClassKey& x, const ClassKey& y) const { return x < y; }
    bool operator()(const ClassKey& key, const ClassRef& ref) const
    {
        return compareKeyWithClass(key, ref) < 0;
    }
    bool operator()(const ClassRef& ref, const ClassKey& key) const
    {
        return compareKeyWithClass(key, ref) > 0;
    }
};

std::string exceptionText()
{
    try
    {
        throw;
    }
    catch (const Pegasus::Exception& e)
    {
        return std::string(e.getMessage().getCString());
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "unknown exception";
    }
}

struct LoadedProvider
{
    std::string label; // "module/provider", for messages
    Pegasus::CIMProvider* provider = nullptr;
    // Kept here rather than on the stack: a provider may hold on to the reference it was given.
    Pegasus::CIMOMHandle handle;
    bool terminated = false;
};

template <class Interface>
void registerInterface(std::map<ClassKey, Interface*, ClassKeyLess>& table, const ClassKey& key,
                       Interface* provider, const ProviderCapability& capability, const char* kind)
{
    auto found = table.find(key);
    if (found != table.end() && found->second != provider)
        throw StartupError("class " + std::string(capability.className.getString().getCString()) +
                           " in namespace " + key.first + " has two " + kind + " providers (the second is " +
                           capability.moduleName + "/" + capability.providerName + ")");
    table[key] = provider;
}

} // namespace

struct ProviderManager::Impl
{
    std::vector<ProviderModuleInfo> modules;
    std::vector<ProviderCapability> capabilities;
    std::string directory;

    // Declared before the providers so that they are closed after every provider is gone.
    std::map<std::string, std::unique_ptr<ProviderModuleLibrary>> libraries; // by folded module name
    std::vector<std::unique_ptr<LoadedProvider>> providers;                  // in creation order
    // The host's own providers and what they serve, registered by loadAll.
    std::vector<std::pair<std::unique_ptr<Pegasus::CIMProvider>, std::vector<ProviderCapability>>> builtIns;
    std::map<std::string, LoadedProvider*> providersByName; // "module\nprovider", folded

    std::map<ClassKey, Pegasus::CIMInstanceProvider*, ClassKeyLess> instanceProviders;
    std::map<ClassKey, Pegasus::CIMMethodProvider*, ClassKeyLess> methodProviders;
    std::map<ClassKey, Pegasus::CIMAssociationProvider*, ClassKeyLess> associationProviders;
    // Registration order, for the association fan-out and instanceClasses().
    std::vector<std::pair<std::string, RegisteredAssociation>> associationList;
    std::vector<std::pair<std::string, Pegasus::CIMName>> instanceClassList;
    std::vector<std::pair<std::string, RegisteredIndicationProvider>> indicationList;

    std::string libraryPath(const ProviderModuleInfo& module) const
    {
        std::string file = "lib" + module.location + ".so";
        return directory.empty() ? file : directory + "/" + file;
    }

    LoadedProvider& provider(const ProviderCapability& capability, const Pegasus::CIMOMHandle& handle);
    void registerCapability(const ProviderCapability& capability, LoadedProvider& loaded);
};

LoadedProvider& ProviderManager::Impl::provider(const ProviderCapability& capability,
                                                const Pegasus::CIMOMHandle& handle)
{
    std::string key =
        nameKey(capability.moduleName.c_str()) + "\n" + nameKey(capability.providerName.c_str());
    auto known = providersByName.find(key);
    if (known != providersByName.end()) return *known->second;

    auto library = libraries.find(nameKey(capability.moduleName.c_str()));
    if (library == libraries.end())
        throw StartupError("provider " + capability.providerName + " names the unregistered module " +
                           capability.moduleName);

    auto loaded = std::make_unique<LoadedProvider>();
    loaded->label = capability.moduleName + "/" + capability.providerName;
    loaded->provider = library->second->createProvider(capability.providerName);
    if (!loaded->provider)
        throw StartupError("provider module " + library->second->path() + " has no provider named " +
                           capability.providerName);
    loaded->handle = handle;
    try
    {
        loaded->provider->initialize(loaded->handle);
    }
    catch (...)
    {
        std::string reason = exceptionText();
        // Never initialised, so terminate() is not owed; the module allocated it with new.
        delete loaded->provider;
        throw StartupError("provider " + loaded->label + " failed to initialize: " + reason);
    }
    LoadedProvider& result = *loaded;
    providers.push_back(std::move(loaded));
    providersByName[key] = &result;
    return result;
}

void ProviderManager::Impl::registerCapability(const ProviderCapability& capability, LoadedProvider& loaded)
{
    auto* instance = dynamic_cast<Pegasus::CIMInstanceProvider*>(loaded.provider);
    auto* method = dynamic_cast<Pegasus::CIMMethodProvider*>(loaded.provider);
    auto* association = dynamic_cast<Pegasus::CIMAssociationProvider*>(loaded.provider);
    auto* indication = dynamic_cast<Pegasus::CIMIndicationProvider*>(loaded.provider);
    auto missing = [&](const char* interface)
    {
        return StartupError("provider " + loaded.label + " is registered as " + interface +
                            " provider but does not implement that interface");
    };
    if (capability.instance && !instance) throw missing("an instance");
    if (capability.method && !method) throw missing("a method");
    if (capability.association && !association) throw missing("an association");
    if (capability.indication && !indication) throw missing("an indication");

    for (const Pegasus::CIMNamespaceName& nameSpace : capability.namespaces)
    {
        ClassKey key = classKey(nameSpace, capability.className);
        if (capability.instance)
        {
            if (!instanceProviders.count(key))
                instanceClassList.emplace_back(key.first, capability.className);
            registerInterface(instanceProviders, key, instance, capability, "instance");
        }
        if (capability.method) registerInterface(methodProviders, key, method, capability, "method");
        if (capability.association)
        {
            if (!associationProviders.count(key))
                associationList.emplace_back(key.first,
                                             RegisteredAssociation{capability.className, association});
            registerInterface(associationProviders, key, association, capability, "association");
        }
        if (capability.indication)
            indicationList.emplace_back(key.first,
                                        RegisteredIndicationProvider{capability.className, indication});
    }
}

ProviderManager::ProviderManager(const ProviderRegistry& registry, const std::string& providerDirectory)
    : _impl(std::make_unique<Impl>())
{
    _impl->modules = registry.modules();
    _impl->capabilities = registry.capabilities();
    _impl->directory = providerDirectory;
}

ProviderManager::~ProviderManager()
{
    terminateAll();
}

void ProviderManager::loadAll(const Pegasus::CIMOMHandle& handle)
{
    for (const ProviderModuleInfo& module : _impl->modules)
    {
        std::string key = nameKey(module.name.c_str());
        if (!_impl->libraries.count(key))
            _impl->libraries[key] = std::make_unique<ProviderModuleLibrary>(_impl->libraryPath(module));
    }
    for (const ProviderCapability& capability : _impl->capabilities)
        _impl->registerCapability(capability, _impl->provider(capability, handle));
    for (auto& [provider, capabilities] : _impl->builtIns)
    {
        auto loaded = std::make_unique<LoadedProvider>();
        loaded->label = capabilities.empty() ? "cimhost" : capabilities.front().moduleName;
        loaded->provider = provider.get();
        loaded->handle = handle;
        loaded->provider->initialize(loaded->handle);
        for (const ProviderCapability& capability : capabilities)
            _impl->registerCapability(capability, *loaded);
        _impl->providers.push_back(std::move(loaded));
    }
}

void ProviderManager::addBuiltIn(std::unique_ptr<Pegasus::CIMProvider> provider,
                                 std::vector<ProviderCapability> capabilities)
{
    _impl->builtIns.emplace_back(std::move(provider), std::move(capabilities));
}

void ProviderManager::terminateAll()
{
    // Nothing may find a provider once terminate() has deleted it.
    _impl->instanceProviders.clear();
    _impl->methodProviders.clear();
    _impl->associationProviders.clear();
    _impl->associationList.clear();
    _impl->instanceClassList.clear();
    _impl->indicationList.clear();

    for (auto it = _impl->providers.rbegin(); it != _impl->providers.rend(); ++it)
    {
        LoadedProvider& loaded = **it;
        if (loaded.terminated) continue;
        loaded.terminated = true;
        try
        {
            loaded.provider->terminate();
        }
        catch (...)
        {
            std::cerr << "cimhost: provider " << loaded.label << " failed to terminate: " << exceptionText()
                      << std::endl;
        }
        loaded.provider = nullptr;
    }
}

Pegasus::CIMInstanceProvider* ProviderManager::instanceProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                                                const Pegasus::CIMName& className) const
{
    auto found = _impl->instanceProviders.find(classRef(nameSpace, className));
    return found == _impl->instanceProviders.end() ? nullptr : found->second;
}

Pegasus::CIMMethodProvider* ProviderManager::methodProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                                            const Pegasus::CIMName& className) const
{
    auto found = _impl->methodProviders.find(classRef(nameSpace, className));
    return found == _impl->methodProviders.end() ? nullptr : found->second;
}

Pegasus::CIMAssociationProvider*
ProviderManager::associationProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                     const Pegasus::CIMName& associationClass) const
{
    auto found = _impl->associationProviders.find(classRef(nameSpace, associationClass));
    return found == _impl->associationProviders.end() ? nullptr : found->second;
}

std::vector<RegisteredAssociation>
ProviderManager::associations(const Pegasus::CIMNamespaceName& nameSpace) const
{
    std::string key = nameKey(nameSpace.getString());
    std::vector<RegisteredAssociation> result;
    for (const auto& entry : _impl->associationList)
        if (entry.first == key) result.push_back(entry.second);
    return result;
}

std::vector<RegisteredIndicationProvider>
ProviderManager::indicationProviders(const Pegasus::CIMNamespaceName& nameSpace) const
{
    std::string key = nameKey(nameSpace.getString());
    std::vector<RegisteredIndicationProvider> result;
    for (const auto& entry : _impl->indicationList)
        if (entry.first == key) result.push_back(entry.second);
    return result;
}

std::vector<Pegasus::CIMName>
ProviderManager::instanceClasses(const Pegasus::CIMNamespaceName& nameSpace) const
{
    std::string key = nameKey(nameSpace.getString());
    std::vector<Pegasus::CIMName> result;
    for (const auto& entry : _impl->instanceClassList)
        if (entry.first == key) result.push_back(entry.second);
    return result;
}

} // namespace cimhost
