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
#include "EnumerationContexts.h"
#include "ProviderManager.h"

namespace cimhost
{

class AnswerOutput;
class CimOperations;

// The machine's name as gethostname gives it ("localhost" when it has none).
std::string machineHostName();

class Dispatcher
{
public:
    // Returned paths carry this machine's host name. The pull operations' contexts are held
    // within the limits.
    Dispatcher(const ClassRepository& repository, ProviderManager& providers,
               const PullLimits& pullLimits = PullLimits());
    // The same with the host name returned paths carry.
    Dispatcher(const ClassRepository& repository, ProviderManager& providers, const std::string& hostName,
               const PullLimits& pullLimits = PullLimits(),
               EnumerationContexts::Clock clock = &std::chrono::steady_clock::now);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    // The host name that returned paths carry.
    const std::string& hostName() const;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Never throws: every failure becomes an error response with its CIM status code
    // (unknown namespace 3, unknown class 5, unconvertible parameter 4, unsupported operation 7,
    // anything unexpected 1).
    CimResponse execute(const CimRequest& request, const Pegasus::OperationContext& context);

    // True for the enumerations whose answer executeStreamed() can encode as the providers
    // deliver (see StreamedIntrinsic), pulled chunks included.
    bool streams(const CimRequest& request) const;
    // The same from the intrinsic method's name alone (ignoring case), before the request is decoded.
    static bool streamsMethod(const std::string& methodName);
    // Such an enumeration, its answer's XML written into out as it is made: the opening, each
    // object, the closing. Returns the response without its objects; when it is an error, what
    // out received is not an answer (the caller answers the error instead, if it still can).
    // Never throws.
    CimResponse executeStreamed(const CimRequest& request, const Pegasus::OperationContext& context,
                                AnswerOutput& out);

    // The host stops: open enumerations are dropped, and pull operations from now on answer
    // CIM_ERR_SERVER_IS_SHUTTING_DOWN.
    void shutDown();
    // Once no request runs any more: waits at most `limit` for the provider calls of the dropped
    // enumerations to return, which they do at their next delivery. False if some still run:
    // the providers must not be terminated under them.
    bool awaitEnumerations(std::chrono::milliseconds limit);
    // Enumeration contexts held now (expired ones freed first).
    std::size_t openEnumerations();

    // A handle whose calls come back into this dispatcher (safe to use from inside a provider
    // operation: no lock is held while a provider runs).
    Pegasus::CIMOMHandle makeHandle();

private:
    // Shared with the handles given out, which may outlive this object.
    std::shared_ptr<const CimOperations> _operations;
    EnumerationContexts _contexts;
};

} // namespace cimhost

#endif
