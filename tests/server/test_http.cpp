// cimhost over HTTP: the extension-header checks and the faults they answer with, M-POST, the
// body limit, keep-alive, pipelining and concurrent clients, against a server on a loopback port
// serving a small schema without providers.
#include <chrono>
#include <tuple>
#include <vector>

#include "AccessLog.h"
#include "CimHeaders.h"
#include "HttpTestSupport.h"

namespace
{

using cimhost::CimRequest;
using cimhost::OperationKind;
using namespace httptest;

class CimHttpServerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = new RunningServer(); }
    static void TearDownTestSuite() { delete server; }
    static RunningServer* server;
};
RunningServer* CimHttpServerTest::server = nullptr;

TEST(CimHeadersTest, AcceptsXmlMediaTypesInUtf8Only)
{
    for (const char* accepted : {"application/xml", "text/xml", "application/xml; charset=\"utf-8\"",
                                 "TEXT/XML;CHARSET=UTF-8", "application/xml ; charset=utf8"})
        EXPECT_TRUE(cimhost::isXmlUtf8ContentType(accepted)) << accepted;
    for (const char* refused : {"", "text/plain", "application/xml; charset=iso-8859-1", "application/xmlx",
                                "application/xml; charset"})
        EXPECT_FALSE(cimhost::isXmlUtf8ContentType(refused)) << refused;
}

TEST(CimHeadersTest, FindsTheCimMappingAmongTheMandatoryExtensions)
{
    EXPECT_EQ(cimhost::cimMappingNamespace("http://www.dmtf.org/cim/mapping/http/v1.0;ns=73"), "73");
    EXPECT_EQ(cimhost::cimMappingNamespace("\"http://example.com/other\"; ns=11, "
                                           "\"http://www.dmtf.org/cim/mapping/http/v1.0\" ; ns=12"),
              "12");
    EXPECT_EQ(cimhost::cimMappingNamespace("http://example.com/other;ns=11"), "");
    EXPECT_EQ(cimhost::cimMappingNamespace("http://www.dmtf.org/cim/mapping/http/v1.0"), "");
    EXPECT_EQ(cimhost::cimMappingNamespace("http://www.dmtf.org/cim/mapping/http/v1.0;ns=7x"), "");
}

// Names and reasons come from the client: they must not start a line of their own or shift a field.
TEST(AccessLogTest, ClientTextCannotForgeALineOrShiftTheFields)
{
    cimhost::AccessRecord record{"127.0.0.1:1", "Get Instance\n", "", "0", "user\nroot x", {}, ""};
    record.elapsed = std::chrono::microseconds(12);
    EXPECT_EQ(cimhost::formatAccessLine(record), "127.0.0.1:1 Get?Instance? - 0 12us user?root x\n");
}

// A served request names who asked; a user name cannot shift the fields either.
TEST(AccessLogTest, NamesTheAuthenticatedUser)
{
    const struct
    {
        const char* user;
        const char* reason;
        const char* line;
    } cases[] = {
        {"alice", "", "127.0.0.1:1 GetInstance CIM_StoragePool 0 7us user=alice\n"},
        {"", "", "127.0.0.1:1 GetInstance CIM_StoragePool 0 7us\n"},
        {"al ice\n", "", "127.0.0.1:1 GetInstance CIM_StoragePool 0 7us user=al?ice?\n"},
        {"bob", "why", "127.0.0.1:1 GetInstance CIM_StoragePool 0 7us user=bob why\n"},
    };
    for (const auto& test : cases)
    {
        cimhost::AccessRecord record{"127.0.0.1:1", "GetInstance", "CIM_StoragePool", "0", test.reason, {},
                                     test.user};
        record.elapsed = std::chrono::microseconds(7);
        EXPECT_EQ(cimhost::formatAccessLine(record), test.line) << test.user;
    }
}

TEST(CimHeadersTest, ComparesCimObjectWithTheNamespaceOrTheTargetPath)
{
    CimRequest intrinsic;
    intrinsic.nameSpace = Pegasus::CIMNamespaceName("root/snia");
    EXPECT_TRUE(cimhost::objectHeaderMatches("root/snia", intrinsic));
    EXPECT_TRUE(cimhost::objectHeaderMatches("ROOT/Snia", intrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root/other", intrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root//snia", intrinsic));

    CimRequest extrinsic;
    extrinsic.kind = OperationKind::Extrinsic;
    extrinsic.target = Pegasus::CIMObjectPath("root/snia:Test_Element.Name=\"a\",Slot=7");
    // Keys in any order and case, numbers in any notation: the same path.
    EXPECT_TRUE(cimhost::objectHeaderMatches("root/snia:test_element.slot=0x7,name=\"a\"", extrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root/snia:Test_Element.Name=\"b\",Slot=7", extrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root/snia:Test_Element.Name=\"a\"", extrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root/snia:Other.Name=\"a\",Slot=7", extrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("Test_Element.Name=\"a\",Slot=7", extrinsic));
    EXPECT_FALSE(cimhost::objectHeaderMatches("root/snia:Test_Element.Name=", extrinsic));
}

TEST_F(CimHttpServerTest, AnswersAValidRequestWithTheCimResponseHeaders)
{
    Connection client(server->port);
    ASSERT_TRUE(client.connected());
    Reply reply = client.exchange(request(getClass("4711"), cimHeaders()));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.header("Content-Type"), "application/xml; charset=\"utf-8\"");
    EXPECT_EQ(reply.header("CIMOperation"), "MethodResponse");
    EXPECT_EQ(reply.header("WBEMServerResponseTime"), "<none>");
    EXPECT_NE(reply.body.find("<MESSAGE ID=\"4711\""), std::string::npos) << reply.body;
    EXPECT_NE(reply.body.find("<CLASS NAME=\"Test_Element\""), std::string::npos) << reply.body;

    Headers timed = cimHeaders();
    timed["WBEMServerResponseTime"] = "true";
    reply = client.exchange(request(getClass(), timed));
    EXPECT_EQ(reply.status, 200);
    EXPECT_GE(std::atol(reply.header("WBEMServerResponseTime").c_str()), 1);
}

TEST_F(CimHttpServerTest, AnswersEachHeaderOrBodyFaultAndKeepsTheConnection)
{
    // What, the header changed, its value (empty: left out), the body, the status and CIMError.
    const std::tuple<const char*, std::string, std::string, std::string, int, const char*> cases[] = {
        {"no Content-Type", "Content-Type", "", getClass(), 400, "request-not-well-formed"},
        {"not XML", "Content-Type", "text/plain", getClass(), 400, "request-not-well-formed"},
        {"not UTF-8", "Content-Type", "text/xml; charset=iso-8859-1", getClass(), 400,
         "request-not-well-formed"},
        {"no CIMOperation", "CIMOperation", "", getClass(), 400, "header-mismatch"},
        {"a response", "CIMOperation", "MethodResponse", getClass(), 400, "unsupported-operation"},
        {"a batch", "CIMBatch", "CIMBatch", getClass(), 501, "multiple-requests-unsupported"},
        {"protocol 2", "CIMProtocolVersion", "2.0", getClass(), 501, "unsupported-protocol-version"},
        {"no CIMMethod", "CIMMethod", "", getClass(), 400, "header-mismatch"},
        {"another CIMMethod", "CIMMethod", "EnumerateClasses", getClass(), 400, "header-mismatch"},
        {"bad escape", "CIMMethod", "Get%zzClass", getClass(), 400, "header-mismatch"},
        {"no CIMObject", "CIMObject", "", getClass(), 400, "header-mismatch"},
        {"another namespace", "CIMObject", "root%2Fother", getClass(), 400, "header-mismatch"},
        {"body not UTF-8", "", "", getClass("\xff\xfe"), 400, "request-not-well-formed"},
        {"wrong element", "", "", "<?xml version=\"1.0\"?><CIMX/>", 400, "request-not-valid"},
    };
    Connection client(server->port);
    for (const auto& [what, header, value, body, status, cimError] : cases)
    {
        Headers headers = cimHeaders();
        if (!header.empty()) headers.erase(header);
        if (!value.empty()) headers[header] = value;
        const Reply reply = client.exchange(request(body, headers));
        EXPECT_EQ(reply.status, status) << what;
        EXPECT_EQ(reply.header("CIMError"), cimError) << what;
        EXPECT_EQ(client.exchange(request(getClass(), cimHeaders())).status, 200) << "after " << what;
    }
}

// A value the decoder refuses is a CIM error inside a 200 answer, not an HTTP fault.
TEST_F(CimHttpServerTest, AnswersADecodeErrorInsideTheMethodResponse)
{
    Connection client(server->port);
    const std::string badKey = intrinsicCall(
        "GetInstance",
        "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"Test_Element\"><KEYBINDING "
        "NAME=\"Slot\"><KEYVALUE VALUETYPE=\"numeric\">seven</KEYVALUE></KEYBINDING></INSTANCENAME>"
        "</IPARAMVALUE>");
    const Reply reply = client.exchange(request(badKey, cimHeaders("GetInstance")));
    EXPECT_EQ(reply.status, 200);
    EXPECT_NE(reply.body.find("<ERROR CODE=\"4\""), std::string::npos) << reply.body;
}

TEST_F(CimHttpServerTest, ServesMPostWithPrefixedHeaders)
{
    Headers headers = {{"Content-Type", "application/xml; charset=utf-8"},
                       {"Man", "http://www.dmtf.org/cim/mapping/http/v1.0;ns=73"},
                       {"73-CIMOperation", "MethodCall"},
                       {"73-CIMMethod", "GetClass"},
                       {"73-CIMObject", "root/test"}};
    Connection client(server->port);
    Reply reply = client.exchange(request(getClass(), headers, "M-POST"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.header("73-CIMOperation"), "MethodResponse");
    EXPECT_EQ(reply.header("Ext"), "");
    EXPECT_NE(reply.body.find("<CLASS NAME=\"Test_Element\""), std::string::npos);

    headers.erase("73-CIMMethod"); // an unprefixed header does not count
    headers["CIMMethod"] = "GetClass";
    reply = client.exchange(request(getClass(), headers, "M-POST"));
    EXPECT_EQ(reply.status, 400);
    EXPECT_EQ(reply.header("73-CIMError"), "header-mismatch");

    headers.erase("Man");
    EXPECT_EQ(client.exchange(request(getClass(), headers, "M-POST")).status, 510);
    EXPECT_EQ(client.exchange(request(getClass(), cimHeaders())).status, 200);
}

TEST_F(CimHttpServerTest, RefusesOtherPathsAndMethodsBeforeReadingTheBody)
{
    // Without a body the connection stays usable; with one left unread it is closed.
    Connection client(server->port);
    const Reply reply = client.exchange(request("", {}, "GET"));
    EXPECT_EQ(reply.status, 405);
    EXPECT_EQ(reply.header("Allow"), "POST, M-POST");
    EXPECT_EQ(client.exchange(request(getClass(), cimHeaders(), "POST", "/other")).status, 404);
    EXPECT_TRUE(client.closedByServer());

    Connection next(server->port);
    EXPECT_EQ(next.exchange(request(getClass(), cimHeaders())).status, 200);
}

TEST_F(CimHttpServerTest, RefusesAChunkedBodyOnceItOutgrowsTheLimit)
{
    Connection chunked(server->port);
    const std::string chunk(40000, 'x');
    std::ostringstream text;
    text << "POST /cimom HTTP/1.1\r\nHost: localhost\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 2; ++i)
        text << std::hex << chunk.size() << "\r\n" << chunk << "\r\n";
    chunked.send(text.str() + "0\r\n\r\n");
    EXPECT_EQ(chunked.receive().status, 413);
}

// A head or a chunked body that does not parse: hostile.sh sends only a negative Content-Length.
TEST_F(CimHttpServerTest, SurvivesMalformedHttp)
{
    for (const char* garbage : {"BLAH\r\n\r\n", "POST /cimom HTTP/1.1\r\nContent-Length: ten\r\n\r\n",
                                "POST /cimom HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"})
    {
        Connection client(server->port);
        EXPECT_EQ(client.exchange(garbage).status, 400) << garbage;
        EXPECT_TRUE(client.closedByServer()) << garbage;
    }
    Connection client(server->port);
    EXPECT_EQ(client.exchange(request(getClass(), cimHeaders())).status, 200);
}

TEST_F(CimHttpServerTest, AnswersPipelinedRequestsInOrderOnOneConnection)
{
    Connection client(server->port);
    std::string burst;
    for (int i = 0; i < 20; ++i)
        burst += request(getClass(std::to_string(i)), cimHeaders(), i % 2 ? "POST" : "M-POST");
    client.send(burst);
    for (int i = 0; i < 20; ++i)
    {
        const Reply reply = client.receive();
        // The M-POSTs lack their Man header: answered, in order, without losing the stream.
        EXPECT_EQ(reply.status, i % 2 ? 200 : 510) << i;
        if (i % 2)
        {
            EXPECT_NE(reply.body.find("ID=\"" + std::to_string(i) + "\""), std::string::npos) << i;
        }
    }
}

TEST(CimHttpServerStopTest, StopsWithIdleConnectionsOpenAndLogsEachRequest)
{
    RunningServer server;
    Connection idle(server.port);
    testing::internal::CaptureStderr();
    EXPECT_EQ(idle.exchange(request(getClass(), cimHeaders())).status, 200);
    const auto before = std::chrono::steady_clock::now();
    server.stop(); // the idle keep-alive connection must not hold it up
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_NE(log.find("127.0.0.1:"), std::string::npos) << log;
    EXPECT_NE(log.find(" GetClass Test_Element 0 "), std::string::npos) << log;
    EXPECT_TRUE(idle.closedByServer());
}

} // namespace
