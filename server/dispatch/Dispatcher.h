// Executes CIM operations against the schema and the providers, as a CIM server does: class
// operations from the repository, instance and method operations by class (with deep
// inheritance fanning out to subclasses' providers), association operations by association
// class. Also the server side of the providers' CIMOMHandle (nested calls, in-process).
#ifndef CIMHOST_Dispatcher_h
#define CIMHOST_Dispatcher_h

#include <memory>
#include <string>

#include <Pegasus/Common/OperationContext.h>
#include <Pegasus/Provider/CIMOMHandle.h>

#include "CimMessages.h"
#include "ClassRepository.h"
#include "ProviderManager.h"

namespace cimhost
{

class CimOperations;

// The machine's name as gethostname gives it ("localhost" when it has none).
std::string machineHostName();

class Dispatcher
{
public:
    // Returned paths carry this machine's host name.
    Dispatcher(const ClassRepository& repository, ProviderManager& providers);
    // The same with the host name returned paths carry.
    Dispatcher(const ClassRepository& repository, ProviderManager& providers, const std::string& hostName);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    // The host name that returned paths carry.
    const std::string& hostName() const;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Never throws: every failure becomes an error response with its CIM status code
    // (unknown namespace 3, unknown class 5, unconvertible parameter 4, unsupported operation 7,
    // anything unexpected 1).
    CimResponse execute(const CimRequest& request, const Pegasus::OperationContext& context);

    // A handle whose calls come back into this dispatcher (safe to use from inside a provider
    // operation: no lock is held while a provider runs).
    Pegasus::CIMOMHandle makeHandle();

private:
    // Shared with the handles given out, which may outlive this object.
    std::shared_ptr<const CimOperations> _operations;
};

} // namespace cimhost

#endif
