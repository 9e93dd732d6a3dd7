#include "PullRequests.h"

#include <Pegasus/Common/Exception.h>

#include "CimValueText.h"
#include "IParamReader.h"
#include "ResultSinks.h"

namespace cimhost
{

namespace
{

using Pegasus::OperationContext;

// The parameters every Open shares besides those of its classic counterpart.
#define OPEN_PARAMETERS                                                                                      \
    "FilterQueryLanguage", "FilterQuery", "OperationTimeout", "ContinueOnError", "MaxObjectCount"

bool readUint32(const IParamReader& in, const char* name, std::uint32_t& number)
{
    const IParamValue* value = in.find(name);
    if (!value) return false;
    if (value->kind != IParamValue::Text) throw invalidParameter(name, "a uint32 value expected");
    try
    {
        scalarFromText(Pegasus::CIMTYPE_UINT32, value->text).get(number);
    }
    catch (const ValueTextError& e)
    {
        throw invalidParameter(name, e.what());
    }
    return true;
}

// The owner of a context: the authenticated user, empty when the host has no users.
std::string userOf(const OperationContext& context)
{
    if (!context.contains(Pegasus::IdentityContainer::NAME)) return std::string();
    const Pegasus::IdentityContainer identity(context.get(Pegasus::IdentityContainer::NAME));
    return static_cast<const char*>(identity.getUserName().getCString());
}

struct OpenSettings
{
    std::uint32_t timeoutSeconds = 0;
    std::uint32_t maxObjectCount = 0; // the first chunk; 0 when not given
};

// Checks what an Open asks beyond its classic counterpart, before any provider is called.
OpenSettings readOpenSettings(const IParamReader& in, EnumerationContexts& contexts)
{
    if (in.find("FilterQueryLanguage") || in.find("FilterQuery"))
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FILTERED_ENUMERATION_NOT_SUPPORTED,
                                    "filtered enumerations are not supported");
    if (in.flag("ContinueOnError", false))
        throw Pegasus::CIMException(Pegasus::CIM_ERR_CONTINUATION_ON_ERROR_NOT_SUPPORTED,
                                    "ContinueOnError is not supported");
    OpenSettings settings;
    std::uint32_t timeout = 0;
    const bool hasTimeout = readUint32(in, "OperationTimeout", timeout);
    settings.timeoutSeconds = contexts.checkedTimeout(hasTimeout ? &timeout : nullptr);
    readUint32(in, "MaxObjectCount", settings.maxObjectCount);
    return settings;
}

ResultFilter readFilter(const IParamReader& in)
{
    ResultFilter filter;
    filter.includeClassOrigin = in.flag("IncludeClassOrigin", false);
    filter.propertyList = in.propertyList("PropertyList");
    return filter;
}

// Hands up to maxObjectCount objects of the result on to the answer as its providers make them.
EnumerationFeed::Taken deliverChunk(PendingResult& result, std::uint32_t maxObjectCount,
                                    AnswerOutput& objects, CimResponse& response)
{
    response.returnKind = result.kind == PendingResult::InstancesWithPath ? CimResponse::InstancesWithPath
                                                                          : CimResponse::InstancePaths;
    response.isPull = true;
    const EnumerationFeed::Taken taken = result.feed->take(maxObjectCount, objects);
    response.endOfSequence = taken == EnumerationFeed::Taken::EndOfSequence;
    return taken;
}

// After a chunk: the context waits for the next pull, or is over (ended, or its client left).
void endChunk(EnumerationContexts& contexts, const std::string& name, PendingResult result,
              EnumerationFeed::Taken taken, CimResponse& response)
{
    if (taken != EnumerationFeed::Taken::More)
    {
        contexts.release(name);
        return;
    }
    response.enumerationContext = name;
    contexts.giveBack(name, std::move(result));
}

// Opens the context (before any provider is called, so that a full table refuses the Open at
// once), starts the providers on its feed and answers the first chunk; a failure before the
// first object is the Open's.
void answerOpen(EnumerationContexts& contexts, const OpenSettings& settings, const OperationContext& context,
                const CimRequest& request, PendingResult::Kind kind, std::function<void(ResultSink&)> produce,
                AnswerOutput& objects, CimResponse& response)
{
    const std::string name = contexts.open(userOf(context), settings.timeoutSeconds);
    try
    {
        PendingResult result = contexts.produce(kind, request.nameSpace, std::move(produce));
        const EnumerationFeed::Taken taken = deliverChunk(result, settings.maxObjectCount, objects, response);
        endChunk(contexts, name, std::move(result), taken, response);
    }
    catch (...)
    {
        contexts.release(name);
        throw;
    }
}

AssociationQuery readQuery(const IParamReader& in, bool associators)
{
    AssociationQuery query;
    query.objectName = in.instanceName("InstanceName");
    if (associators) query.assocClass = in.className("AssocClass", false);
    query.resultClass = in.className("ResultClass", false);
    query.role = in.text("Role");
    if (associators) query.resultRole = in.text("ResultRole");
    return query;
}

void openEnumerateInstances(const CimOperations& operations, EnumerationContexts& contexts,
                            const CimRequest& request, const OperationContext& context, AnswerOutput& objects,
                            CimResponse& response)
{
    IParamReader in(request,
                    {"ClassName", "DeepInheritance", "IncludeClassOrigin", "PropertyList", OPEN_PARAMETERS});
    const Pegasus::CIMName className = in.className("ClassName", true);
    const bool deep = in.flag("DeepInheritance", true);
    const ResultFilter filter = readFilter(in);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancesWithPath,
        [&operations, context, nameSpace = request.nameSpace, className, deep, filter](ResultSink& sink)
        { operations.enumerateInstances(context, nameSpace, className, deep, filter, sink); },
        objects, response);
}

void openEnumerateInstancePaths(const CimOperations& operations, EnumerationContexts& contexts,
                                const CimRequest& request, const OperationContext& context,
                                AnswerOutput& objects, CimResponse& response)
{
    IParamReader in(request, {"ClassName", OPEN_PARAMETERS});
    const Pegasus::CIMName className = in.className("ClassName", true);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancePaths,
        [&operations, context, nameSpace = request.nameSpace, className](ResultSink& sink)
        { operations.enumerateInstanceNames(context, nameSpace, className, sink); },
        objects, response);
}

void openAssociatorInstances(const CimOperations& operations, EnumerationContexts& contexts,
                             const CimRequest& request, const OperationContext& context,
                             AnswerOutput& objects, CimResponse& response)
{
    IParamReader in(request, {"InstanceName", "AssocClass", "ResultClass", "Role", "ResultRole",
                              "IncludeClassOrigin", "PropertyList", OPEN_PARAMETERS});
    const AssociationQuery query = readQuery(in, true);
    const ResultFilter filter = readFilter(in);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancesWithPath,
        [&operations, context, nameSpace = request.nameSpace, query, filter](ResultSink& sink)
        { operations.associators(context, nameSpace, query, filter, sink); },
        objects, response);
}

void openAssociatorInstancePaths(const CimOperations& operations, EnumerationContexts& contexts,
                                 const CimRequest& request, const OperationContext& context,
                                 AnswerOutput& objects, CimResponse& response)
{
    IParamReader in(request,
                    {"InstanceName", "AssocClass", "ResultClass", "Role", "ResultRole", OPEN_PARAMETERS});
    const AssociationQuery query = readQuery(in, true);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancePaths,
        [&operations, context, nameSpace = request.nameSpace, query](ResultSink& sink)
        { operations.associatorNames(context, nameSpace, query, sink); },
        objects, response);
}

void openReferenceInstances(const CimOperations& operations, EnumerationContexts& contexts,
                            const CimRequest& request, const OperationContext& context, AnswerOutput& objects,
                            CimResponse& response)
{
    IParamReader in(request, {"InstanceName", "ResultClass", "Role", "IncludeClassOrigin", "PropertyList",
                              OPEN_PARAMETERS});
    const AssociationQuery query = readQuery(in, false);
    const ResultFilter filter = readFilter(in);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancesWithPath,
        [&operations, context, nameSpace = request.nameSpace, query, filter](ResultSink& sink)
        { operations.references(context, nameSpace, query, filter, sink); },
        objects, response);
}

void openReferenceInstancePaths(const CimOperations& operations, EnumerationContexts& contexts,
                                const CimRequest& request, const OperationContext& context,
                                AnswerOutput& objects, CimResponse& response)
{
    IParamReader in(request, {"InstanceName", "ResultClass", "Role", OPEN_PARAMETERS});
    const AssociationQuery query = readQuery(in, false);
    const OpenSettings settings = readOpenSettings(in, contexts);
    answerOpen(
        contexts, settings, context, request, PendingResult::InstancePaths,
        [&operations, context, nameSpace = request.nameSpace, query](ResultSink& sink)
        { operations.referenceNames(context, nameSpace, query, sink); },
        objects, response);
}

// A context name as the client sent it back.
std::string contextName(const IParamReader& in)
{
    const IParamValue* value = in.find("EnumerationContext");
    if (!value) throw invalidParameter("EnumerationContext", "missing");
    if (value->kind != IParamValue::Text) throw invalidParameter("EnumerationContext", "a string expected");
    return value->text;
}

void pull(EnumerationContexts& contexts, const CimRequest& request, const OperationContext& context,
          PendingResult::Kind kind, AnswerOutput& objects, CimResponse& response)
{
    IParamReader in(request, {"EnumerationContext", "MaxObjectCount"});
    const std::string name = contextName(in);
    std::uint32_t maxObjectCount = 0;
    if (!readUint32(in, "MaxObjectCount", maxObjectCount))
        throw invalidParameter("MaxObjectCount", "missing");

    PendingResult result = contexts.take(name, userOf(context));
    // A context of the other kind, or of another namespace, is not one this pull can continue.
    if (result.kind != kind || !result.nameSpace.equal(request.nameSpace))
    {
        contexts.giveBack(name, std::move(result));
        throw Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_ENUMERATION_CONTEXT,
                                    "the enumeration context is not one of this operation or namespace");
    }
    EnumerationFeed::Taken taken;
    try
    {
        taken = deliverChunk(result, maxObjectCount, objects, response);
    }
    catch (...)
    {
        contexts.release(name); // a failed enumeration is over
        throw;
    }
    endChunk(contexts, name, std::move(result), taken, response);
}

void pullInstancesWithPath(const CimOperations&, EnumerationContexts& contexts, const CimRequest& request,
                           const OperationContext& context, AnswerOutput& objects, CimResponse& response)
{
    pull(contexts, request, context, PendingResult::InstancesWithPath, objects, response);
}

void pullInstancePaths(const CimOperations&, EnumerationContexts& contexts, const CimRequest& request,
                       const OperationContext& context, AnswerOutput& objects, CimResponse& response)
{
    pull(contexts, request, context, PendingResult::InstancePaths, objects, response);
}

void closeEnumeration(const CimOperations&, EnumerationContexts& contexts, const CimRequest& request,
                      const OperationContext& context, AnswerOutput&, CimResponse& response)
{
    IParamReader in(request, {"EnumerationContext"});
    const std::string name = contextName(in);
    contexts.take(name, userOf(context));
    contexts.release(name);
    response.returnKind = CimResponse::NoReturn;
}

// EnumerationCount, OpenQueryInstances and PullInstances are not here: CIM_ERR_NOT_SUPPORTED.
const PullOperation PULLS[] = {
    {"OpenEnumerateInstances", openEnumerateInstances, true},
    {"OpenEnumerateInstancePaths", openEnumerateInstancePaths, true},
    {"OpenAssociatorInstances", openAssociatorInstances, true},
    {"OpenAssociatorInstancePaths", openAssociatorInstancePaths, true},
    {"OpenReferenceInstances", openReferenceInstances, true},
    {"OpenReferenceInstancePaths", openReferenceInstancePaths, true},
    {"PullInstancesWithPath", pullInstancesWithPath, true},
    {"PullInstancePaths", pullInstancePaths, true},
    {"CloseEnumeration", closeEnumeration, false},
};

} // namespace

const PullOperation* findPull(const std::string& methodName)
{
    for (const PullOperation& operation : PULLS)
        if (sameName(methodName, operation.name)) return &operation;
    return nullptr;
}

} // namespace cimhost
