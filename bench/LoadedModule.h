// What the module benchmarks share: a provider module loaded with dlopen and its providers made
// through the entry point, as a CIM server makes them, and a handler that only counts answers.
#ifndef SCS_BENCH_LoadedModule_h
#define SCS_BENCH_LoadedModule_h

#include <dlfcn.h>

#include <cstdlib>

#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/CIMOMHandle.h>
#include <Pegasus/Provider/CIMProvider.h>

namespace scs_bench
{

// A provider of the module at modulePath (loaded once per process), initialised. Aborts when the
// module cannot be loaded: there is nothing to measure then.
inline Pegasus::CIMProvider* makeProvider(const char* modulePath, const char* name)
{
    typedef Pegasus::CIMProvider* (*CreateProvider)(const Pegasus::String&);
    void* module = dlopen(modulePath, RTLD_NOW | RTLD_LOCAL);
    if (!module) std::abort();
    CreateProvider create = reinterpret_cast<CreateProvider>(dlsym(module, "PegasusCreateProvider"));
    if (!create) std::abort();
    Pegasus::CIMProvider* provider = create(name);
    if (!provider) std::abort();
    Pegasus::CIMOMHandle handle;
    provider->initialize(handle);
    return provider;
}

// Counts the paths or instances delivered and keeps none of them.
struct CountingHandler : public Pegasus::ObjectPathResponseHandler, public Pegasus::InstanceResponseHandler
{
    Pegasus::Uint32 count = 0;
    void processing() override {}
    void complete() override {}
    void deliver(const Pegasus::CIMObjectPath&) override { ++count; }
    void deliver(const Pegasus::Array<Pegasus::CIMObjectPath>& paths) override { count += paths.size(); }
    void deliver(const Pegasus::CIMInstance&) override { ++count; }
    void deliver(const Pegasus::Array<Pegasus::CIMInstance>& instances) override
    {
        count += instances.size();
    }
};

} // namespace scs_bench

#endif
