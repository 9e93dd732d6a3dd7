// scsctl watch's subscription against a canned server: the interop namespace is the first that
// enumerates filters; the destination, the filters and the subscriptions are created in that order
// there, with the paths the server answered; they go in the reverse order; a refusal takes back
// what was made and says so in the operator's words.
#include <gtest/gtest.h>

#include "CannedAnswers.h"
#include "CannedServer.h"
#include "IndicationSubscription.h"
#include "ListenAddress.h"
#include "ResponseEncoder.h"

using namespace scsctl;
using namespace Pegasus;
using cimhost::CimResponse;

namespace
{

std::string created(const char* path)
{
    return cannedAnswer("CreateInstance", CimResponse::NewInstanceName, path);
}

const char DESTINATION[] =
    "CIM_ListenerDestinationCIMXML.CreationClassName=\"CIM_ListenerDestinationCIMXML\","
    "Name=\"run-1\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"array\"";
const char FILTER[] = "CIM_IndicationFilter.CreationClassName=\"CIM_IndicationFilter\",Name=\"run-1:1\","
                      "SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"array\"";

ConnectionOptions options(const CannedServer& server)
{
    ConnectionOptions result;
    result.endpoint = Endpoint::parse(server.url());
    return result;
}

SubscriptionRequest request()
{
    SubscriptionRequest result;
    result.name = "run-1";
    result.destination = "http://127.0.0.1:40001";
    result.sourceNamespace = "root/snia";
    result.queries = {"SELECT * FROM CIM_InstModification WHERE SourceInstance ISA CIM_ConcreteJob"};
    return result;
}

bool holds(const std::string& body, const std::string& text)
{
    return body.find(text) != std::string::npos;
}

} // namespace

TEST(IndicationSubscription, MadeInTheFirstInteropNamespaceThatAnswersAndRemovedInReverse)
{
    const std::string subscription = std::string("CIM_IndicationSubscription.Filter=\"") +
                                     "CIM_IndicationFilter.Name=\\\"run-1:1\\\"" +
                                     "\",Handler=\"CIM_ListenerDestinationCIMXML.Name=\\\"run-1\\\"\"";
    CannedServer server({cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE, "interop"),
                         cannedAnswer("EnumerateInstanceNames", CimResponse::InstanceNames),
                         created(DESTINATION), created(FILTER), created(subscription.c_str()),
                         cannedAnswer("DeleteInstance"), cannedAnswer("DeleteInstance"),
                         cannedAnswer("DeleteInstance")});
    IndicationSubscription subscribed(options(server));
    EXPECT_EQ("root/interop", subscribed.interopNamespace());
    EXPECT_EQ("127.0.0.1", subscribed.localAddress());
    subscribed.subscribe(request());
    EXPECT_TRUE(subscribed.unsubscribe().empty());

    EXPECT_EQ((std::vector<std::string>{"EnumerateInstanceNames", "EnumerateInstanceNames", "CreateInstance",
                                        "CreateInstance", "CreateInstance", "DeleteInstance",
                                        "DeleteInstance", "DeleteInstance"}),
              server.methods());
    const std::vector<std::string> objects = server.objects();
    EXPECT_EQ("interop", objects[0]);
    for (size_t i = 1; i < objects.size(); ++i)
        EXPECT_EQ("root/interop", objects[i]) << i;

    const std::vector<std::string> bodies = server.bodies();
    const struct
    {
        size_t request;
        const char* text;
    } expected[] = {
        {2, "<INSTANCE CLASSNAME=\"CIM_ListenerDestinationCIMXML\">"},
        {2, "<PROPERTY NAME=\"Destination\" TYPE=\"string\"><VALUE>http://127.0.0.1:40001</VALUE>"},
        {2, "<PROPERTY NAME=\"PersistenceType\" TYPE=\"uint16\"><VALUE>3</VALUE>"},
        {3, "<PROPERTY NAME=\"Name\" TYPE=\"string\"><VALUE>run-1:1</VALUE>"},
        {3, "<PROPERTY NAME=\"QueryLanguage\" TYPE=\"string\"><VALUE>DMTF:CQL</VALUE>"},
        {3, "SourceInstance ISA CIM_ConcreteJob</VALUE>"},
        {3,
         "<PROPERTY.ARRAY NAME=\"SourceNamespaces\" TYPE=\"string\"><VALUE.ARRAY><VALUE>root/snia</VALUE>"},
        {4, "<PROPERTY NAME=\"SubscriptionState\" TYPE=\"uint16\"><VALUE>2</VALUE>"},
        // The subscription joins the paths the server made, keys it filled in included.
        {4, "<KEYBINDING NAME=\"Name\"><KEYVALUE VALUETYPE=\"string\">run-1:1</KEYVALUE>"},
        {4, "<KEYBINDING NAME=\"SystemName\"><KEYVALUE VALUETYPE=\"string\">array</KEYVALUE>"},
        {5, "<INSTANCENAME CLASSNAME=\"CIM_IndicationSubscription\">"},
        {6, "<INSTANCENAME CLASSNAME=\"CIM_IndicationFilter\">"},
        {7, "<INSTANCENAME CLASSNAME=\"CIM_ListenerDestinationCIMXML\">"},
    };
    for (const auto& test : expected)
        EXPECT_TRUE(holds(bodies[test.request], test.text)) << test.text << " in\n" << bodies[test.request];
}

TEST(IndicationSubscription, ARefusedFilterTakesBackTheDestination)
{
    CannedServer server(
        {cannedAnswer("EnumerateInstanceNames", CimResponse::InstanceNames), created(DESTINATION),
         cannedRefusal("CreateInstance", CIM_ERR_INVALID_PARAMETER, "ISA applies to SourceInstance"),
         cannedAnswer("DeleteInstance")});
    IndicationSubscription subscribed(options(server));
    try
    {
        subscribed.subscribe(request());
        FAIL() << "a refused filter was taken as made";
    }
    catch (const Failure& failure)
    {
        EXPECT_EQ(ExitRefused, failure.status);
        EXPECT_EQ("the server refused the indication filter \"" + request().queries[0] + "\"",
                  failure.what());
        EXPECT_TRUE(holds(failure.detail, "ISA applies to SourceInstance")) << failure.detail;
    }
    EXPECT_EQ((std::vector<std::string>{"EnumerateInstanceNames", "CreateInstance", "CreateInstance",
                                        "DeleteInstance"}),
              server.methods());
    EXPECT_TRUE(holds(server.bodies()[3], "CIM_ListenerDestinationCIMXML"));
}

TEST(IndicationSubscription, AServerWithoutInteropFiltersIsToldInTheOperatorsWords)
{
    CannedServer server(
        {cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE, "interop"),
         cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE, "root/interop"),
         cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_CLASS, "CIM_IndicationFilter")});
    try
    {
        IndicationSubscription subscribed(options(server));
        FAIL() << "a server without filters was taken as one";
    }
    catch (const Failure& failure)
    {
        EXPECT_EQ(ExitRefused, failure.status);
        EXPECT_STREQ("the server offers no indication subscriptions: none of interop, root/interop and "
                     "root/PG_InterOp has indication filters",
                     failure.what());
        EXPECT_TRUE(holds(failure.detail, "CIM_ERR_INVALID_CLASS")) << failure.detail;
    }
    EXPECT_EQ((std::vector<std::string>{"interop", "root/interop", "root/PG_InterOp"}), server.objects());
}

TEST(ListenAddress, ListenTakesAnAddressAPortOrBoth)
{
    const struct
    {
        const char* text;
        const char* host;
        unsigned short port;
    } cases[] = {
        {"", "", 0},
        {"127.0.0.1", "127.0.0.1", 0},
        {"127.0.0.1:5990", "127.0.0.1", 5990},
        {":5990", "", 5990},
        {"::1", "::1", 0},
        {"[::1]:5990", "::1", 5990},
        {"[fe80::1]", "fe80::1", 0},
    };
    for (const auto& test : cases)
    {
        const ListenAddress address = parseListenAddress(test.text);
        EXPECT_EQ(test.host, address.host) << test.text;
        EXPECT_EQ(test.port, address.port) << test.text;
    }
    for (const char* wrong : {"127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:http", "[::1", "[::1]5990"})
        EXPECT_THROW(parseListenAddress(wrong), Failure) << wrong;
    EXPECT_EQ("http://[::1]:5990", listenerUrl("::1", 5990));
    EXPECT_EQ("http://10.0.0.2:5990", listenerUrl("10.0.0.2", 5990));
    EXPECT_TRUE(isAnyAddress("0.0.0.0"));
    EXPECT_TRUE(isAnyAddress("::"));
    EXPECT_FALSE(isAnyAddress("127.0.0.1"));
}
