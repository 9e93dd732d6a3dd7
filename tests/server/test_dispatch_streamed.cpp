// The enumerations encoded as the providers deliver (Dispatcher::executeStreamed) answer the
// same bytes as the classic answer gathered whole, leave the providers' instances as they were,
// and fail with the same errors; so do pulled chunks.
#include "test_dispatch_fixture.h"

#include "ResponseEncoder.h"
#include "ResultSinks.h"

namespace dispatchtest
{
namespace
{

using cimhost::CimResponse;
using cimhost::IParam;
using Pegasus::CIMName;

const Pegasus::CIMObjectPath G1 = objectPath("Test_Group", "Name", "g1");
const Pegasus::CIMObjectPath G2 = objectPath("Test_Group", "Name", "g2");

// Keeps the whole answer and counts the elements written.
struct WholeOutput : cimhost::AnswerOutput
{
    bool elementDone() override
    {
        ++elements;
        return true;
    }
    int elements = 0;
};

// Takes nothing after the first element, as a client that left.
struct LeavingOutput : cimhost::AnswerOutput
{
    bool elementDone() override { return ++elements < 1; }
    int elements = 0;
};

cimhost::CimRequest requestOf(const char* method, std::vector<IParam> params)
{
    cimhost::CimRequest request;
    request.messageId = "77";
    request.methodName = method;
    request.nameSpace = NS;
    request.iparams = std::move(params);
    return request;
}

struct StreamedCase
{
    const char* method;
    std::vector<IParam> params;
    int objects;
};

TEST(DispatchStreamed, EveryEnumerationAnswersTheBytesOfItsClassicAnswer)
{
    Host host;
    Pegasus::CIMInstance labelled = newWidget("w7", 7);
    labelled.addProperty(
        Pegasus::CIMProperty(CIMName("Label"), Pegasus::CIMValue(Pegasus::String("a & <b>"))));
    EXPECT_CIM_OK(host.call("CreateInstance", {instanceParam("NewInstance", labelled, false)}));

    const std::vector<StreamedCase> cases = {
        {"EnumerateInstances", {classParam("ClassName", "Test_Widget")}, 4},
        {"EnumerateInstances",
         {classParam("ClassName", "Test_Widget"), listParam("PropertyList", {"Size", "Label"})},
         4},
        {"EnumerateInstances",
         {classParam("ClassName", "Test_Widget"), textParam("DeepInheritance", "false"),
          textParam("IncludeClassOrigin", "true"), textParam("IncludeQualifiers", "true")},
         4},
        {"EnumerateInstances", {classParam("ClassName", "Test_Widget"), listParam("PropertyList", {})}, 4},
        {"EnumerateInstanceNames", {classParam("ClassName", "Test_Widget")}, 4},
        {"Associators", {pathParam("ObjectName", G1)}, 3},
        {"Associators", {pathParam("ObjectName", G1), listParam("PropertyList", {"Name"})}, 3},
        {"AssociatorNames", {pathParam("ObjectName", G1)}, 3},
        {"References", {pathParam("ObjectName", G2)}, 2},
        {"ReferenceNames", {pathParam("ObjectName", G2), classParam("ResultClass", "Test_Membership")}, 1},
    };
    for (const StreamedCase& c : cases)
    {
        SCOPED_TRACE(c.method);
        const cimhost::CimRequest request = requestOf(c.method, c.params);
        ASSERT_TRUE(host.dispatcher->streams(request));
        const CimResponse classic = host.dispatcher->execute(request, Pegasus::OperationContext());
        EXPECT_CIM_OK(classic);

        WholeOutput out;
        const CimResponse streamed =
            host.dispatcher->executeStreamed(request, Pegasus::OperationContext(), out);
        EXPECT_CIM_OK(streamed);
        EXPECT_EQ(out.elements, c.objects);
        EXPECT_EQ(out.text, cimhost::encodeResponse(classic));
    }
}

TEST(DispatchStreamed, ThePropertyListShapesTheAnswerNotTheProvidersInstances)
{
    Host host;
    WholeOutput out;
    host.dispatcher->executeStreamed(requestOf("EnumerateInstances", {classParam("ClassName", "Test_Widget"),
                                                                      listParam("PropertyList", {})}),
                                     Pegasus::OperationContext(), out);
    EXPECT_EQ(out.text.find("<PROPERTY "), std::string::npos) << "an empty list shows no property";

    // The provider keeps its widgets in memory and hands them over as they are.
    const CimResponse whole = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))});
    ASSERT_EQ(whole.instances.size(), 1u);
    EXPECT_TRUE(hasProperty(whole.instances[0], "Size"));
}

TEST(DispatchStreamed, FailuresAreTheClassicAnswersErrors)
{
    Host host(registration("CimhostTestProvider", {{"WidgetProvider", "Test_Widget", "2"},
                                                   {"BrokenProvider", "Test_SpecialWidget", "2"}}));
    const std::vector<std::pair<cimhost::CimRequest, Pegasus::CIMStatusCode>> cases = {
        {requestOf("EnumerateInstances", {classParam("ClassName", "Test_Nothing")}),
         Pegasus::CIM_ERR_INVALID_CLASS},
        // Test_Widget's own widgets are encoded before its subclass's provider fails.
        {requestOf("EnumerateInstanceNames", {classParam("ClassName", "Test_Widget")}),
         Pegasus::CIM_ERR_FAILED},
        {requestOf("Associators", {classParam("ObjectName", "Test_Group")}), Pegasus::CIM_ERR_NOT_SUPPORTED},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first.methodName);
        const CimResponse classic = host.dispatcher->execute(c.first, Pegasus::OperationContext());
        WholeOutput out;
        const CimResponse streamed =
            host.dispatcher->executeStreamed(c.first, Pegasus::OperationContext(), out);
        EXPECT_CIM_ERROR(classic, c.second);
        EXPECT_CIM_ERROR(streamed, c.second);
        EXPECT_EQ(streamed.errorDescription, classic.errorDescription);
    }
}

TEST(DispatchStreamed, NothingMoreIsEncodedOnceTheClientLeft)
{
    Host host;
    LeavingOutput out;
    const CimResponse streamed = host.dispatcher->executeStreamed(
        requestOf("EnumerateInstances", {classParam("ClassName", "Test_Widget")}),
        Pegasus::OperationContext(), out);
    EXPECT_CIM_OK(streamed);
    EXPECT_EQ(out.elements, 1);
    const size_t first = out.text.find("<VALUE.NAMEDINSTANCE>");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(out.text.find("<VALUE.NAMEDINSTANCE>", first + 1), std::string::npos) << "one element only";
}

// The text with every occurrence of the context's name taken out.
std::string withoutName(std::string text, const std::string& name)
{
    if (name.empty()) return text;
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
        text.erase(at, name.size());
    return text;
}

TEST(DispatchStreamed, PulledChunksAnswerTheBytesOfTheAnswerHeldWhole)
{
    Host host;
    const Pegasus::OperationContext none;
    const auto open = [](const char* count)
    {
        return requestOf("OpenEnumerateInstances",
                         {classParam("ClassName", "Test_Widget"), textParam("MaxObjectCount", count)});
    };
    const auto pull = [](const std::string& name)
    {
        return requestOf("PullInstancesWithPath",
                         {textParam("EnumerationContext", name), textParam("MaxObjectCount", "10")});
    };
    const CimResponse held = host.dispatcher->execute(open("2"), none);
    WholeOutput out;
    const CimResponse streamed = host.dispatcher->executeStreamed(open("2"), none, out);
    EXPECT_CIM_OK(streamed);
    ASSERT_FALSE(streamed.enumerationContext.empty());
    EXPECT_EQ(withoutName(out.text, streamed.enumerationContext),
              withoutName(cimhost::encodeResponse(held), held.enumerationContext));

    const CimResponse heldRest = host.dispatcher->execute(pull(held.enumerationContext), none);
    WholeOutput rest;
    const CimResponse streamedRest =
        host.dispatcher->executeStreamed(pull(streamed.enumerationContext), none, rest);
    EXPECT_TRUE(streamedRest.endOfSequence);
    EXPECT_EQ(rest.text, cimhost::encodeResponse(heldRest));

    // A pull whose client leaves while it is answered ends its enumeration.
    const CimResponse opened = host.dispatcher->execute(open("0"), none);
    LeavingOutput leaving;
    EXPECT_CIM_OK(host.dispatcher->executeStreamed(pull(opened.enumerationContext), none, leaving));
    EXPECT_CIM_ERROR(host.dispatcher->execute(pull(opened.enumerationContext), none),
                     Pegasus::CIM_ERR_INVALID_ENUMERATION_CONTEXT);
    EXPECT_EQ(0u, host.dispatcher->openEnumerations());
}

TEST(DispatchStreamed, OnlyTheLongEnumerationsStream)
{
    Host host;
    EXPECT_FALSE(host.dispatcher->streams(requestOf("GetInstance", {})));
    EXPECT_TRUE(host.dispatcher->streams(requestOf("OpenEnumerateInstances", {})));
    EXPECT_FALSE(host.dispatcher->streams(requestOf("CloseEnumeration", {})));
    cimhost::CimRequest broken = requestOf("EnumerateInstances", {});
    broken.hasDecodeError = true;
    EXPECT_FALSE(host.dispatcher->streams(broken));
    EXPECT_TRUE(host.dispatcher->streams(requestOf("referencenames", {})));
}

} // namespace
} // namespace dispatchtest
