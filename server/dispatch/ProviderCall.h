// Running one provider operation: whatever the provider throws becomes a CIMException (a
// CIMException keeps its code and message; anything else is CIM_ERR_FAILED), and a provider that
// returns without having kept the handler protocol fails with CIM_ERR_FAILED.
#ifndef CIMHOST_ProviderCall_h
#define CIMHOST_ProviderCall_h

#include <string>

#include "ResponseCollectors.h"

namespace cimhost
{

// Call from inside a catch block: throws the CIMException that stands for the current exception.
[[noreturn]] void rethrowAsCimException(const std::string& operation);

template <class Call>
void callProvider(const std::string& operation, const ProtocolChecker& handler, Call&& call)
{
    try
    {
        call();
    }
    catch (...)
    {
        rethrowAsCimException(operation);
    }
    handler.requireCompleted(operation);
}

} // namespace cimhost

#endif
