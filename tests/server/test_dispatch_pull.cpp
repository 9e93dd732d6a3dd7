// The pull operations over the test module: each Open answers, in chunks, what its classic
// counterpart answers; enumeration contexts expire on the host's clock, are capped, belong to the
// user that opened them and go with the host's shutdown; every refusal has its own status code.
#include "test_dispatch_fixture.h"

#include "ResponseDecoder.h"
#include "ResponseEncoder.h"

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

const CIMObjectPath G1 = objectPath("Test_Group", "Name", "g1");

// Pulled objects come encoded: the answer read back as a client reads it.
CimResponse readBack(const CimResponse& response)
{
    if (response.encodedObjects.empty()) return response;
    return cimhost::decodeResponse(cimhost::encodeResponse(response));
}

CimResponse call(Host& host, const char* method, std::vector<cimhost::IParam> params)
{
    return readBack(host.call(method, std::move(params)));
}

cimhost::IParam count(const char* name, const std::string& value)
{
    return textParam(name, value);
}

CimResponse callAs(Host& host, const std::string& user, const char* method,
                   std::vector<cimhost::IParam> params)
{
    cimhost::CimRequest request;
    request.messageId = "5";
    request.methodName = method;
    request.nameSpace = NS;
    request.iparams = std::move(params);
    OperationContext context;
    context.insert(IdentityContainer(String(user.c_str())));
    return readBack(host.dispatcher->execute(request, context));
}

CimResponse pull(Host& host, const char* method, const std::string& context, unsigned maxObjectCount,
                 const std::string& user = "")
{
    return callAs(
        host, user, method,
        {textParam("EnumerationContext", context), count("MaxObjectCount", std::to_string(maxObjectCount))});
}

// Every path of an answer, whatever form it took, as text.
std::multiset<std::string> pathsOf(const CimResponse& response)
{
    std::multiset<std::string> paths;
    for (Uint32 i = 0; i < response.instances.size(); ++i)
        paths.insert(text(response.instances[i].getPath().toString()));
    for (Uint32 i = 0; i < response.objects.size(); ++i)
        paths.insert(text(response.objects[i].getPath().toString()));
    for (Uint32 i = 0; i < response.paths.size(); ++i)
        paths.insert(text(response.paths[i].toString()));
    return paths;
}

// Opens, then pulls one object at a time to the end: every path, and how many answers it took.
std::multiset<std::string> pulledInChunksOfOne(Host& host, const char* open,
                                               std::vector<cimhost::IParam> params, const char* pullMethod,
                                               unsigned& answers)
{
    params.push_back(count("MaxObjectCount", "1"));
    CimResponse response = call(host, open, params);
    EXPECT_CIM_OK(response);
    std::multiset<std::string> paths = pathsOf(response);
    for (answers = 1; response.isPull && !response.endOfSequence && answers < 100; ++answers)
    {
        EXPECT_FALSE(response.enumerationContext.empty());
        EXPECT_LE(response.instances.size() + response.paths.size(), 1u);
        response = pull(host, pullMethod, response.enumerationContext, 1);
        EXPECT_CIM_OK(response);
        const std::multiset<std::string> more = pathsOf(response);
        paths.insert(more.begin(), more.end());
    }
    EXPECT_TRUE(response.endOfSequence);
    EXPECT_TRUE(response.enumerationContext.empty());
    return paths;
}

} // namespace

TEST(DispatchPull, EachOpenPullsInChunksWhatItsClassicOperationAnswers)
{
    Host host;
    struct Case
    {
        const char* open;
        const char* classic;
        std::vector<cimhost::IParam> openParams;
        std::vector<cimhost::IParam> classicParams;
        const char* pullMethod;
        CimResponse::ReturnKind kind;
    };
    const std::vector<Case> cases = {
        {"OpenEnumerateInstances",
         "EnumerateInstances",
         {classParam("ClassName", "Test_Widget")},
         {classParam("ClassName", "Test_Widget")},
         "PullInstancesWithPath",
         CimResponse::InstancesWithPath},
        {"OpenEnumerateInstancePaths",
         "EnumerateInstanceNames",
         {classParam("ClassName", "Test_Widget")},
         {classParam("ClassName", "Test_Widget")},
         "PullInstancePaths",
         CimResponse::InstancePaths},
        {"OpenAssociatorInstances",
         "Associators",
         {pathParam("InstanceName", G1)},
         {pathParam("ObjectName", G1)},
         "PullInstancesWithPath",
         CimResponse::InstancesWithPath},
        {"OpenAssociatorInstancePaths",
         "AssociatorNames",
         {pathParam("InstanceName", G1), classParam("AssocClass", "Test_Membership")},
         {pathParam("ObjectName", G1), classParam("AssocClass", "Test_Membership")},
         "PullInstancePaths",
         CimResponse::InstancePaths},
        {"OpenReferenceInstances",
         "References",
         {pathParam("InstanceName", G1)},
         {pathParam("ObjectName", G1)},
         "PullInstancesWithPath",
         CimResponse::InstancesWithPath},
        {"OpenReferenceInstancePaths",
         "ReferenceNames",
         {pathParam("InstanceName", G1), textParam("Role", "Group")},
         {pathParam("ObjectName", G1), textParam("Role", "Group")},
         "PullInstancePaths",
         CimResponse::InstancePaths},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.open);
        const CimResponse classic = call(host, c.classic, c.classicParams);
        EXPECT_CIM_OK(classic);
        const std::multiset<std::string> expected = pathsOf(classic);
        ASSERT_GE(expected.size(), 2u) << "enough objects to need a pull";

        unsigned answers = 0;
        EXPECT_EQ(expected, pulledInChunksOfOne(host, c.open, c.openParams, c.pullMethod, answers));
        EXPECT_EQ(expected.size(), answers) << "one object an answer, the last one ending the sequence";

        std::vector<cimhost::IParam> all = c.openParams;
        all.push_back(count("MaxObjectCount", "1000"));
        const CimResponse whole = call(host, c.open, all);
        EXPECT_EQ(c.kind, whole.returnKind);
        EXPECT_TRUE(whole.endOfSequence) << "everything in the first answer";
        EXPECT_EQ(expected, pathsOf(whole));
    }
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
}

TEST(DispatchPull, InstancesKeepTheClassicFiltersAndAnOpenWithoutCountAnswersNone)
{
    Host host;
    const CimResponse open =
        call(host, "OpenEnumerateInstances",
             {classParam("ClassName", "Test_Widget"), listParam("PropertyList", {"Size"})});
    EXPECT_CIM_OK(open);
    EXPECT_EQ(0u, open.instances.size());
    EXPECT_FALSE(open.endOfSequence);

    const CimResponse zero = pull(host, "PullInstancesWithPath", open.enumerationContext, 0);
    EXPECT_EQ(0u, zero.instances.size());
    EXPECT_EQ(open.enumerationContext, zero.enumerationContext);

    const CimResponse rest = pull(host, "PullInstancesWithPath", open.enumerationContext, 10);
    ASSERT_EQ(3u, rest.instances.size());
    EXPECT_TRUE(rest.endOfSequence);
    for (Uint32 i = 0; i < rest.instances.size(); ++i)
    {
        EXPECT_TRUE(hasProperty(rest.instances[i], "Size"));
        EXPECT_FALSE(hasProperty(rest.instances[i], "Label")) << "the property list applies";
        EXPECT_EQ(HOST, text(rest.instances[i].getPath().getHost()));
    }
}

TEST(DispatchPull, EveryRefusalAnswersItsCode)
{
    Host host;
    const CimResponse paths = call(host, "OpenEnumerateInstancePaths",
                                   {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
    ASSERT_FALSE(paths.endOfSequence);
    const CimResponse closed = call(host, "OpenEnumerateInstances",
                                    {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
    EXPECT_CIM_OK(
        call(host, "CloseEnumeration", {textParam("EnumerationContext", closed.enumerationContext)}));

    const cimhost::IParam widgets = classParam("ClassName", "Test_Widget");
    struct Case
    {
        const char* what;
        const char* method;
        std::vector<cimhost::IParam> params;
        CIMStatusCode code;
    };
    const std::vector<Case> cases = {
        {"a filter query",
         "OpenEnumerateInstances",
         {widgets, textParam("FilterQueryLanguage", "DMTF:FQL"), textParam("FilterQuery", "Size > 1")},
         CIM_ERR_FILTERED_ENUMERATION_NOT_SUPPORTED},
        {"a query language alone",
         "OpenEnumerateInstancePaths",
         {widgets, textParam("FilterQueryLanguage", "DMTF:FQL")},
         CIM_ERR_FILTERED_ENUMERATION_NOT_SUPPORTED},
        {"ContinueOnError",
         "OpenAssociatorInstances",
         {pathParam("InstanceName", G1), textParam("ContinueOnError", "TRUE")},
         CIM_ERR_CONTINUATION_ON_ERROR_NOT_SUPPORTED},
        {"no timeout",
         "OpenEnumerateInstances",
         {widgets, count("OperationTimeout", "0")},
         CIM_ERR_INVALID_OPERATION_TIMEOUT},
        {"a timeout over the maximum",
         "OpenReferenceInstances",
         {pathParam("InstanceName", G1), count("OperationTimeout", "301")},
         CIM_ERR_INVALID_OPERATION_TIMEOUT},
        {"a timeout that is no number",
         "OpenEnumerateInstances",
         {widgets, count("OperationTimeout", "soon")},
         CIM_ERR_INVALID_PARAMETER},
        {"a negative count",
         "OpenEnumerateInstances",
         {widgets, count("MaxObjectCount", "-1")},
         CIM_ERR_INVALID_PARAMETER},
        {"a classic parameter the open does not take",
         "OpenEnumerateInstances",
         {widgets, textParam("LocalOnly", "FALSE")},
         CIM_ERR_INVALID_PARAMETER},
        {"an unknown class",
         "OpenEnumerateInstances",
         {classParam("ClassName", "Test_Nothing")},
         CIM_ERR_INVALID_CLASS},
        {"an unknown context",
         "PullInstancesWithPath",
         {textParam("EnumerationContext", "0000000000000000.1"), count("MaxObjectCount", "1")},
         CIM_ERR_INVALID_ENUMERATION_CONTEXT},
        {"a closed context",
         "PullInstancesWithPath",
         {textParam("EnumerationContext", closed.enumerationContext), count("MaxObjectCount", "1")},
         CIM_ERR_INVALID_ENUMERATION_CONTEXT},
        {"closing a closed context",
         "CloseEnumeration",
         {textParam("EnumerationContext", closed.enumerationContext)},
         CIM_ERR_INVALID_ENUMERATION_CONTEXT},
        {"a context of paths pulled as instances",
         "PullInstancesWithPath",
         {textParam("EnumerationContext", paths.enumerationContext), count("MaxObjectCount", "1")},
         CIM_ERR_INVALID_ENUMERATION_CONTEXT},
        {"a pull without a count",
         "PullInstancePaths",
         {textParam("EnumerationContext", paths.enumerationContext)},
         CIM_ERR_INVALID_PARAMETER},
        {"a pull without a context",
         "PullInstancePaths",
         {count("MaxObjectCount", "1")},
         CIM_ERR_INVALID_PARAMETER},
        {"a context that is no string",
         "PullInstancePaths",
         {listParam("EnumerationContext", {paths.enumerationContext}), count("MaxObjectCount", "1")},
         CIM_ERR_INVALID_PARAMETER},
        {"a count beyond uint32",
         "PullInstancePaths",
         {textParam("EnumerationContext", paths.enumerationContext), count("MaxObjectCount", "9999999999")},
         CIM_ERR_INVALID_PARAMETER},
        {"counting",
         "EnumerationCount",
         {textParam("EnumerationContext", paths.enumerationContext)},
         CIM_ERR_NOT_SUPPORTED},
        {"a query",
         "OpenQueryInstances",
         {textParam("FilterQuery", "SELECT * FROM Test_Widget")},
         CIM_ERR_NOT_SUPPORTED},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_CIM_ERROR(call(host, c.method, c.params), c.code);
    }
    EXPECT_CIM_ERROR(host.call("OpenEnumerateInstances", {widgets}, CIMNamespaceName("no/where")),
                     CIM_ERR_INVALID_NAMESPACE);

    // The refused pull of the wrong kind left the context as it was.
    const CimResponse rest = pull(host, "PullInstancePaths", paths.enumerationContext, 10);
    EXPECT_CIM_OK(rest);
    EXPECT_EQ(2u, rest.paths.size());
}

TEST(DispatchPull, ContextsExpireAfterTheirTimeoutSinceTheLastAnswer)
{
    Host host;
    const auto open = [&](const char* timeout)
    {
        std::vector<cimhost::IParam> params = {classParam("ClassName", "Test_Widget"),
                                               count("MaxObjectCount", "0")};
        if (timeout) params.push_back(count("OperationTimeout", timeout));
        return call(host, "OpenEnumerateInstancePaths", params).enumerationContext;
    };
    const std::string shortLived = open("10");
    const std::string defaulted = open(nullptr);
    EXPECT_EQ(2u, host.dispatcher->openEnumerations());

    host.now += std::chrono::seconds(9);
    EXPECT_CIM_OK(pull(host, "PullInstancePaths", shortLived, 1)); // its 10 s start again
    host.now += std::chrono::seconds(9);
    EXPECT_CIM_OK(pull(host, "PullInstancePaths", shortLived, 1));
    host.now += std::chrono::seconds(10);
    EXPECT_CIM_ERROR(pull(host, "PullInstancePaths", shortLived, 1), CIM_ERR_INVALID_ENUMERATION_CONTEXT);
    EXPECT_EQ(1u, host.dispatcher->openEnumerations()) << "the default 30 s are not over";
    host.now += std::chrono::seconds(2);
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
    EXPECT_CIM_ERROR(pull(host, "PullInstancePaths", defaulted, 1), CIM_ERR_INVALID_ENUMERATION_CONTEXT);
}

TEST(DispatchPull, TheDefaultTimeoutAndTheCapOnOpenContexts)
{
    cimhost::PullLimits limits = quickPullLimits();
    limits.maxContexts = 2;
    limits.defaultTimeoutSeconds = 20;
    Host host(defaultRegistration(), limits);
    const auto open = [&]
    {
        return call(host, "OpenEnumerateInstances",
                    {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
    };

    const CimResponse first = open();
    const CimResponse second = open();
    EXPECT_CIM_OK(second);
    EXPECT_CIM_ERROR(open(), CIM_ERR_SERVER_LIMITS_EXCEEDED);
    // An open that is answered whole needs no context, but is refused too: the check comes first.
    EXPECT_CIM_ERROR(call(host, "OpenEnumerateInstances",
                          {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "100")}),
                     CIM_ERR_SERVER_LIMITS_EXCEEDED);

    EXPECT_CIM_OK(
        call(host, "CloseEnumeration", {textParam("EnumerationContext", first.enumerationContext)}));
    const CimResponse third = open();
    EXPECT_CIM_OK(third);

    host.now += std::chrono::seconds(19);
    EXPECT_CIM_OK(pull(host, "PullInstancesWithPath", third.enumerationContext, 1));
    host.now += std::chrono::seconds(1);
    EXPECT_EQ(1u, host.dispatcher->openEnumerations()) << "the second expired at 20 s";
    EXPECT_CIM_OK(open());
}

// The test provider holds its lock while it delivers. A context whose client does not pull must
// not keep it from other enumerations: once its window is full for the patience, it takes the
// rest (within the bound of all contexts, see the feed's own tests).
TEST(DispatchPull, AStalledContextLetsItsProviderGo)
{
    cimhost::PullLimits limits = quickPullLimits();
    limits.maxContexts = 4;
    limits.maxHeldObjects = 8;
    limits.windowBytes = limits.leastWindowBytes = limits.windowBytesOfAll = 1; // one object
    Host host(defaultRegistration(), limits);
    const auto open = [&]
    { return call(host, "OpenEnumerateInstancePaths", {classParam("ClassName", "Test_Widget")}); };
    const auto pullAll = [&](const std::string& context)
    {
        std::size_t paths = 0;
        for (CimResponse more; !more.endOfSequence && more.errorCode == CIM_ERR_SUCCESS;)
        {
            more = pull(host, "PullInstancePaths", context, 10);
            EXPECT_CIM_OK(more);
            paths += more.paths.size();
        }
        return paths;
    };

    const CimResponse stalled = open();
    ASSERT_FALSE(stalled.endOfSequence);
    const CimResponse second = open();
    ASSERT_FALSE(second.endOfSequence);
    EXPECT_EQ(3u, pullAll(second.enumerationContext));
    EXPECT_EQ(3u, pullAll(stalled.enumerationContext)) << "what it took past its window is all there";
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
}

TEST(DispatchPull, AContextServesOnlyTheUserThatOpenedIt)
{
    Host host;
    const CimResponse open = callAs(host, "alice", "OpenEnumerateInstances",
                                    {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
    ASSERT_FALSE(open.endOfSequence);
    EXPECT_CIM_ERROR(pull(host, "PullInstancesWithPath", open.enumerationContext, 1, "bob"),
                     CIM_ERR_INVALID_ENUMERATION_CONTEXT);
    EXPECT_CIM_ERROR(pull(host, "PullInstancesWithPath", open.enumerationContext, 1),
                     CIM_ERR_INVALID_ENUMERATION_CONTEXT);
    EXPECT_CIM_ERROR(
        callAs(host, "bob", "CloseEnumeration", {textParam("EnumerationContext", open.enumerationContext)}),
        CIM_ERR_INVALID_ENUMERATION_CONTEXT);
    const CimResponse rest = pull(host, "PullInstancesWithPath", open.enumerationContext, 5, "alice");
    EXPECT_CIM_OK(rest);
    EXPECT_EQ(2u, rest.instances.size());
}

TEST(DispatchPull, AShutDownDropsTheContextsAndRefusesPulls)
{
    cimhost::PullLimits limits = quickPullLimits();
    limits.deliveryPatience = std::chrono::minutes(1);
    limits.windowBytes = limits.leastWindowBytes = limits.windowBytesOfAll = 1; // one object
    Host host(defaultRegistration(), limits);
    const CimResponse open = call(host, "OpenEnumerateInstances",
                                  {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
    // Its provider waits for room; dropped, it returns at once, before the providers are terminated.
    host.dispatcher->shutDown();
    EXPECT_TRUE(host.dispatcher->awaitEnumerations(std::chrono::seconds(10)));
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
    EXPECT_CIM_ERROR(pull(host, "PullInstancesWithPath", open.enumerationContext, 1),
                     CIM_ERR_SERVER_IS_SHUTTING_DOWN);
    EXPECT_CIM_ERROR(call(host, "OpenEnumerateInstancePaths", {classParam("ClassName", "Test_Widget")}),
                     CIM_ERR_SERVER_IS_SHUTTING_DOWN);
    EXPECT_CIM_OK(call(host, "EnumerateInstanceNames", {classParam("ClassName", "Test_Widget")}))
        << "the classic operations still answer";
}

// Under ThreadSanitizer in CI: many clients open, pull, close and pull one another's contexts at
// once; each enumeration still delivers every widget once, and a contested pull answers 21.
TEST(DispatchPull, ManyThreadsPullAtOnce)
{
    Host host;
    const int threads = 4;
    const int rounds = 40;
    std::mutex mutex;
    std::vector<std::string> recent; // contexts other threads may pull from under their owner
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(
            [&, t]
            {
                for (int i = 0; i < rounds; ++i)
                {
                    CimResponse answer =
                        call(host, "OpenEnumerateInstancePaths",
                             {classParam("ClassName", "Test_Widget"), count("MaxObjectCount", "1")});
                    std::multiset<std::string> seen = pathsOf(answer);
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        if (!recent.empty())
                        {
                            const CimResponse stolen =
                                pull(host, "PullInstancePaths", recent[(t + i) % recent.size()], 0);
                            if (stolen.isError && stolen.errorCode != CIM_ERR_INVALID_ENUMERATION_CONTEXT)
                                ++failures;
                        }
                        recent.push_back(answer.enumerationContext);
                    }
                    if (i % 3 == 0)
                    {
                        failures += call(host, "CloseEnumeration",
                                         {textParam("EnumerationContext", answer.enumerationContext)})
                                        .isError;
                        continue;
                    }
                    while (!answer.isError && !answer.endOfSequence)
                    {
                        answer = pull(host, "PullInstancePaths", answer.enumerationContext, 1);
                        const std::multiset<std::string> more = pathsOf(answer);
                        seen.insert(more.begin(), more.end());
                    }
                    failures += answer.isError || seen.size() != 3 ||
                                std::set<std::string>(seen.begin(), seen.end()).size() != 3;
                }
            });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
}
