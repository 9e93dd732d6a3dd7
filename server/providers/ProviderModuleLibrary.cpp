#include "ProviderModuleLibrary.h"

#include <dlfcn.h>

#include <exception>

#include "ProviderManager.h"

namespace cimhost
{

namespace
{

std::string lastDlError()
{
    const char* text = dlerror();
    return text ? text : "unknown dynamic loader error";
}

} // namespace

ProviderModuleLibrary::ProviderModuleLibrary(const std::string& path) : _path(path)
{
    dlerror(); // clear a stale message so the one reported belongs to this call
    _handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!_handle) throw StartupError("cannot load provider module " + path + ": " + lastDlError());

    dlerror();
    void* symbol = dlsym(_handle, "PegasusCreateProvider");
    if (!symbol)
    {
        std::string reason = lastDlError();
        dlclose(_handle);
        throw StartupError("provider module " + path + " has no PegasusCreateProvider: " + reason);
    }
    _entry = reinterpret_cast<EntryPoint>(symbol);
}

ProviderModuleLibrary::~ProviderModuleLibrary()
{
    dlclose(_handle);
}

Pegasus::CIMProvider* ProviderModuleLibrary::createProvider(const std::string& providerName) const
{
    try
    {
        return _entry(Pegasus::String(providerName.c_str()));
    }
    catch (const Pegasus::Exception& e)
    {
        throw StartupError("PegasusCreateProvider(\"" + providerName + "\") of " + _path +
                           " failed: " + std::string(e.getMessage().getCString()));
    }
    catch (const std::exception& e)
    {
        throw StartupError("PegasusCreateProvider(\"" + providerName + "\") of " + _path +
                           " failed: " + e.what());
    }
    catch (...)
    {
        throw StartupError("PegasusCreateProvider(\"" + providerName + "\") of " + _path +
                           " failed with an unknown exception");
    }
}

} // namespace cimhost
