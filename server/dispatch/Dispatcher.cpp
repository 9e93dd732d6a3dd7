#include "Dispatcher.h"

#include <unistd.h>

#include <climits>
#include <exception>

#include <Pegasus/Common/Exception.h>

#include "CimOperations.h"
#include "HostCimomHandle.h"
#include "IntrinsicRequests.h"
#include "PullRequests.h"
#include "ResultSinks.h"
#include "StreamedResponse.h"

namespace cimhost
{

std::string machineHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
    return name;
}

namespace
{

// Keeps the whole answer: for a client that cannot take it in chunks.
class HeldOutput : public AnswerOutput
{
public:
    bool elementDone() override { return true; }
};

// A pull operation whose objects can go out as they are made.
const PullOperation* streamedPull(const std::string& methodName)
{
    const PullOperation* pull = findPull(methodName);
    return pull && pull->answersObjects ? pull : nullptr;
}

std::string utf8(const Pegasus::String& text)
{
    return std::string(text.getCString());
}

void executeExtrinsic(const CimOperations& operations, const CimRequest& request,
                      const Pegasus::OperationContext& context, CimResponse& response)
{
    Pegasus::String methodName(request.methodName.c_str());
    if (!Pegasus::CIMName::legal(methodName))
        throw Pegasus::CIMException(Pegasus::CIM_ERR_METHOD_NOT_FOUND, methodName);
    Pegasus::CIMNamespaceName nameSpace =
        request.nameSpace.isNull() ? request.target.getNameSpace() : request.nameSpace;
    response.returnValue = operations.invokeMethod(
        context, nameSpace, request.target, Pegasus::CIMName(methodName), request.params, response.outParams);
}

void executeIntrinsic(const CimOperations& operations, EnumerationContexts& contexts,
                      const CimRequest& request, const Pegasus::OperationContext& context,
                      CimResponse& response)
{
    if (const PullOperation* pull = findPull(request.methodName))
    {
        operations.requireNamespace(request.nameSpace);
        HeldOutput objects;
        pull->handler(operations, contexts, request, context, objects, response);
        response.encodedObjects = std::move(objects.text);
        return;
    }
    IntrinsicHandler handler = findIntrinsic(request.methodName);
    if (!handler)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_NOT_SUPPORTED,
                                    ("operation " + request.methodName + " is not supported").c_str());
    operations.requireNamespace(request.nameSpace);
    handler(operations, request, context, response);
}

} // namespace

Dispatcher::Dispatcher(const ClassRepository& repository, ProviderManager& providers,
                       const PullLimits& pullLimits)
    : Dispatcher(repository, providers, machineHostName(), pullLimits)
{
}

Dispatcher::Dispatcher(const ClassRepository& repository, ProviderManager& providers,
                       const std::string& hostName, const PullLimits& pullLimits,
                       EnumerationContexts::Clock clock)
    : _operations(std::make_shared<const CimOperations>(repository, providers, hostName)),
      _contexts(pullLimits, std::move(clock))
{
}

void Dispatcher::shutDown()
{
    _contexts.shutDown();
}

bool Dispatcher::awaitEnumerations(std::chrono::milliseconds limit)
{
    return _contexts.awaitProviders(limit);
}

std::size_t Dispatcher::openEnumerations()
{
    return _contexts.size();
}

Dispatcher::~Dispatcher() = default;

const std::string& Dispatcher::hostName() const
{
    return _operations->hostName();
}

namespace
{

// Runs the work; whatever it throws becomes the error response with its CIM status code.
template <class Work> CimResponse answered(const CimRequest& request, Work work)
{
    try
    {
        if (request.hasDecodeError)
            return CimResponse::error(request,
                                      request.decodeErrorCode == Pegasus::CIM_ERR_SUCCESS
                                          ? Pegasus::CIM_ERR_FAILED
                                          : request.decodeErrorCode,
                                      request.decodeErrorText);
        CimResponse response;
        response.messageId = request.messageId;
        response.kind = request.kind;
        response.methodName = request.methodName;
        work(response);
        return response;
    }
    catch (const Pegasus::CIMException& e)
    {
        return CimResponse::error(request, e.getCode(), utf8(e.getMessage()));
    }
    catch (const Pegasus::Exception& e)
    {
        return CimResponse::error(request, Pegasus::CIM_ERR_FAILED, utf8(e.getMessage()));
    }
    catch (const std::exception& e)
    {
        return CimResponse::error(request, Pegasus::CIM_ERR_FAILED, e.what());
    }
    catch (...)
    {
        return CimResponse::error(request, Pegasus::CIM_ERR_FAILED, "unexpected failure");
    }
}

} // namespace

CimResponse Dispatcher::execute(const CimRequest& request, const Pegasus::OperationContext& context)
{
    return answered(request,
                    [&](CimResponse& response)
                    {
                        if (request.kind == OperationKind::Extrinsic)
                            executeExtrinsic(*_operations, request, context, response);
                        else
                            executeIntrinsic(*_operations, _contexts, request, context, response);
                    });
}

bool Dispatcher::streams(const CimRequest& request) const
{
    return request.kind == OperationKind::Intrinsic && !request.hasDecodeError &&
           streamsMethod(request.methodName);
}

bool Dispatcher::streamsMethod(const std::string& methodName)
{
    return findStreamedIntrinsic(methodName) != nullptr || streamedPull(methodName) != nullptr;
}

CimResponse Dispatcher::executeStreamed(const CimRequest& request, const Pegasus::OperationContext& context,
                                        AnswerOutput& out)
{
    if (request.kind != OperationKind::Intrinsic) return execute(request, context);
    if (const PullOperation* pull = streamedPull(request.methodName))
        return answered(request,
                        [&](CimResponse& response)
                        {
                            _operations->requireNamespace(request.nameSpace);
                            appendIntrinsicOpening(out.text, request.messageId, request.methodName);
                            pull->handler(*_operations, _contexts, request, context, out, response);
                            appendPullClosing(out.text, response.endOfSequence, response.enumerationContext);
                        });
    const StreamedIntrinsic* streamed = findStreamedIntrinsic(request.methodName);
    if (!streamed) return execute(request, context);
    return answered(request,
                    [&](CimResponse& response)
                    {
                        _operations->requireNamespace(request.nameSpace);
                        appendIntrinsicOpening(out.text, request.messageId, request.methodName);
                        EncodingSink sink(streamed->kind, out);
                        streamed->handler(*_operations, request, context, sink);
                        appendIntrinsicClosing(out.text);
                        response.returnKind = streamed->kind;
                    });
}

Pegasus::CIMOMHandle Dispatcher::makeHandle()
{
    return Pegasus::CIMOMHandleRep::makeHandle(new HostCimomHandle(_operations));
}

} // namespace cimhost
