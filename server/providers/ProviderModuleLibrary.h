// One provider module's shared library, opened with dlopen and closed when the object goes.
#ifndef CIMHOST_ProviderModuleLibrary_h
#define CIMHOST_ProviderModuleLibrary_h

#include <string>

#include <Pegasus/Common/String.h>
#include <Pegasus/Provider/CIMProvider.h>

namespace cimhost
{

class ProviderModuleLibrary
{
public:
    // Opens the library (RTLD_NOW | RTLD_LOCAL) and finds PegasusCreateProvider. Throws
    // StartupError naming the file and dlerror().
    explicit ProviderModuleLibrary(const std::string& path);
    ~ProviderModuleLibrary();
    ProviderModuleLibrary(const ProviderModuleLibrary&) = delete;
    ProviderModuleLibrary& operator=(const ProviderModuleLibrary&) = delete;

    const std::string& path() const { return _path; }
    // What the module's entry point answers for the registered name (null when it has no such
    // provider). Exceptions from the entry point become StartupError.
    Pegasus::CIMProvider* createProvider(const std::string& providerName) const;

private:
    using EntryPoint = Pegasus::CIMProvider* (*)(const Pegasus::String&);
    std::string _path;
    void* _handle = nullptr;
    EntryPoint _entry = nullptr;
};

} // namespace cimhost

#endif
