// Loads the registered provider modules (dlopen), creates their providers by registered name,
// initialises them with a CIMOMHandle into this host, and finds the provider for a class.
#ifndef CIMHOST_ProviderManager_h
#define CIMHOST_ProviderManager_h

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMIndicationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>

#include "ProviderRegistry.h"

namespace cimhost
{

class StartupError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct RegisteredAssociation
{
    Pegasus::CIMName associationClass;
    Pegasus::CIMAssociationProvider* provider;
};

struct RegisteredIndicationProvider
{
    Pegasus::CIMName indicationClass;
    Pegasus::CIMIndicationProvider* provider;
};

class ProviderManager
{
public:
    ProviderManager(const ProviderRegistry& registry, const std::string& providerDirectory);
    ~ProviderManager(); // terminates what is still loaded
    ProviderManager(const ProviderManager&) = delete;
    ProviderManager& operator=(const ProviderManager&) = delete;

    // Loads every module, creates every registered provider and initialises it with the handle.
    // A module that does not load, or an entry point that answers null, throws StartupError
    // naming the file and dlerror().
    void loadAll(const Pegasus::CIMOMHandle& handle);
    // Registers a provider of the host itself for the given capabilities (their module and
    // provider names only label it). loadAll initialises it after the modules' providers; it is
    // owned here. Call before loadAll.
    void addBuiltIn(std::unique_ptr<Pegasus::CIMProvider> provider,
                    std::vector<ProviderCapability> capabilities);
    // Calls terminate() on every provider once; providers are not deleted (terminate does that).
    void terminateAll();

    // The provider registered for exactly this class in the namespace, or null.
    Pegasus::CIMInstanceProvider* instanceProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                                   const Pegasus::CIMName& className) const;
    Pegasus::CIMMethodProvider* methodProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                               const Pegasus::CIMName& className) const;
    Pegasus::CIMAssociationProvider* associationProvider(const Pegasus::CIMNamespaceName& nameSpace,
                                                         const Pegasus::CIMName& associationClass) const;
    // Every association class registered in the namespace, with its provider.
    std::vector<RegisteredAssociation> associations(const Pegasus::CIMNamespaceName& nameSpace) const;
    // Every indication class registered in the namespace, with its provider, in registration order
    // (a class may have several providers, a provider several classes).
    std::vector<RegisteredIndicationProvider>
    indicationProviders(const Pegasus::CIMNamespaceName& nameSpace) const;
    // Classes registered with an instance provider in the namespace.
    std::vector<Pegasus::CIMName> instanceClasses(const Pegasus::CIMNamespaceName& nameSpace) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
