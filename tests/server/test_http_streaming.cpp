// Long enumerations over HTTP: answered in chunks as they are encoded once past the held bound,
// with the error in the trailers for clients that take them, cut short for the others, and a
// client that leaves mid-answer costs the host nothing lasting.
#include <memory>
#include <thread>

#include "../support/HttpClient.h"
#include "test_dispatch_fixture.h"

#include "CimHttpServer.h"
#include "ChunkQueue.h"
#include "ChunkedCimAnswer.h"
#include "ResponseEncoder.h"

namespace dispatchtest
{
namespace
{

using testhttp::Connection;
using testhttp::Reply;

const int WIDGETS = 60; // about 300 bytes each answered: several chunks of 1 KiB

// The dispatch tests' host with WIDGETS more widgets, served over loopback HTTP with small chunks.
class StreamingServer
{
public:
    explicit StreamingServer(const std::string& registrationMof = defaultRegistration(),
                             size_t heldBytes = 4096, int widgets = WIDGETS)
        : host(registrationMof)
    {
        for (int i = 0; i < widgets; ++i)
        {
            Pegasus::CIMInstance widget = newWidget(("many" + std::to_string(i)).c_str(), Pegasus::Uint32(i));
            widget.addProperty(
                Pegasus::CIMProperty(Pegasus::CIMName("Label"),
                                     Pegasus::CIMValue(Pegasus::String(std::string(120, 'x').c_str()))));
            EXPECT_CIM_OK(host.call("CreateInstance", {instanceParam("NewInstance", widget, false)}));
        }
        cimhost::HttpServerOptions options;
        options.port = cimhost::ANY_PORT;
        options.transport.workers = 2;
        options.stream.chunkBytes = 1024;
        options.stream.heldBytes = heldBytes;
        server = std::make_unique<cimhost::CimHttpServer>(options, *host.dispatcher);
        port = server->bind().http;
        serving = std::thread([this] { server->serve(); });
    }
    ~StreamingServer()
    {
        server->stop();
        serving.join();
    }

    Host host;
    std::unique_ptr<cimhost::CimHttpServer> server;
    std::thread serving;
    int port = 0;
};

std::string enumerate(const char* method, const std::string& extraHeaders = "")
{
    const std::string body = testhttp::message(
        "5",
        std::string("<IMETHODCALL NAME=\"") + method +
            "\"><LOCALNAMESPACEPATH><NAMESPACE NAME=\"test\"/><NAMESPACE "
            "NAME=\"dispatch\"/></LOCALNAMESPACEPATH>"
            "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"Test_Widget\"/></IPARAMVALUE></IMETHODCALL>");
    return std::string("POST /cimom HTTP/1.1\r\nHost: localhost\r\n") + extraHeaders +
           "Content-Type: application/xml; charset=\"utf-8\"\r\nCIMOperation: MethodCall\r\nCIMMethod: " +
           method + "\r\nCIMObject: test%2Fdispatch\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

std::string classicAnswer(Host& host, const char* method)
{
    cimhost::CimRequest request;
    request.messageId = "5";
    request.methodName = method;
    request.nameSpace = NS;
    request.iparams = {classParam("ClassName", "Test_Widget")};
    return cimhost::encodeResponse(host.dispatcher->execute(request, Pegasus::OperationContext()));
}

TEST(HttpStreaming, AChunkedAnswerCarriesTheBytesOfTheClassicOne)
{
    StreamingServer running;
    Connection connection(running.port);
    for (const char* method : {"EnumerateInstances", "EnumerateInstanceNames"})
    {
        SCOPED_TRACE(method);
        const Reply reply = connection.exchange(enumerate(method));
        EXPECT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.chunked);
        EXPECT_TRUE(reply.complete);
        EXPECT_EQ(reply.header("CIMOperation"), "MethodResponse");
        EXPECT_EQ(reply.header("Content-Length"), "<none>");
        EXPECT_EQ(reply.body, classicAnswer(running.host, method));
    }
    // The connection stays for the next request, which here is short and goes whole.
    const std::string small = enumerate("EnumerateInstanceNames");
    const std::string special =
        std::string(small).replace(small.find("\"Test_Widget\""), 13, "\"Test_SpecialWidget\"");
    const Reply reply =
        connection.exchange(special.substr(0, special.find("Content-Length")) + "Content-Length: " +
                            std::to_string(special.size() - special.find("\r\n\r\n") - 4) +
                            special.substr(special.find("\r\n\r\n")));
    EXPECT_EQ(reply.status, 200);
    EXPECT_FALSE(reply.chunked);
    EXPECT_NE(reply.body.find("Test_SpecialWidget"), std::string::npos);
}

// Test_SpecialWidget's provider fails: the enumeration of Test_Widget fails after its own widgets.
std::string failingRegistration()
{
    return registration("CimhostTestProvider", {{"WidgetProvider", "Test_Widget", "2"},
                                                {"BrokenProvider", "Test_SpecialWidget", "2"}});
}

TEST(HttpStreaming, AnErrorAfterTheFirstChunkGoesInTheTrailersToClientsThatTakeThem)
{
    StreamingServer running(failingRegistration());
    Connection connection(running.port);
    const Reply reply = connection.exchange(enumerate("EnumerateInstanceNames", "TE: trailers\r\n"));
    EXPECT_EQ(reply.status, 200);
    ASSERT_TRUE(reply.chunked);
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.header("Trailer"), "CIMStatusCode, CIMStatusCodeDescription");
    ASSERT_EQ(reply.trailers.count("CIMStatusCode"), 1u);
    EXPECT_EQ(reply.trailers.at("CIMStatusCode"), "1");
    EXPECT_NE(reply.trailers.at("CIMStatusCodeDescription").find("broken on purpose"), std::string::npos);
    EXPECT_NE(reply.body.find("many59"), std::string::npos) << "the widgets before the failure";
    EXPECT_EQ(reply.body.find("</CIM>"), std::string::npos) << "the XML is left unterminated";
    // The answer ended properly: the connection serves the next request.
    EXPECT_EQ(connection.exchange(enumerate("EnumerateInstanceNames", "TE: trailers\r\n"))
                  .trailers.at("CIMStatusCode"),
              "1");
}

TEST(HttpStreaming, AnMPostsTrailersCarryItsPrefix)
{
    StreamingServer running(failingRegistration());
    std::string request = enumerate(
        "EnumerateInstanceNames", "TE: trailers\r\nMan: http://www.dmtf.org/cim/mapping/http/v1.0;ns=73\r\n");
    request.replace(0, 4, "M-POST");
    for (const char* header : {"CIMOperation:", "CIMMethod:", "CIMObject:"})
        request.insert(request.find(header), "73-");
    Connection connection(running.port);
    const Reply reply = connection.exchange(request);
    ASSERT_TRUE(reply.chunked);
    EXPECT_EQ(reply.header("73-CIMOperation"), "MethodResponse");
    EXPECT_EQ(reply.header("Trailer"), "73-CIMStatusCode, 73-CIMStatusCodeDescription");
    EXPECT_EQ(reply.trailers.count("73-CIMStatusCode"), 1u);
}

TEST(HttpStreaming, OtherClientsGetAnErrorWholeWithinTheBoundAndACutAnswerPastIt)
{
    {
        StreamingServer running(failingRegistration());
        Connection connection(running.port);
        const Reply reply = connection.exchange(enumerate("EnumerateInstanceNames"));
        EXPECT_TRUE(reply.chunked);
        EXPECT_FALSE(reply.complete) << "no last chunk";
        EXPECT_TRUE(reply.trailers.empty());
        EXPECT_TRUE(connection.closesAfterAnything());
    }
    StreamingServer running(failingRegistration(), 1024 * 1024);
    Connection connection(running.port);
    const Reply reply = connection.exchange(enumerate("EnumerateInstanceNames"));
    EXPECT_FALSE(reply.chunked);
    EXPECT_NE(reply.body.find("<ERROR CODE=\"1\""), std::string::npos);
    EXPECT_EQ(reply.body.find("many59"), std::string::npos) << "nothing of the answer before the error";
}

TEST(HttpStreaming, AClientLeavingMidAnswerLeavesTheHostServing)
{
    StreamingServer running;
    for (int i = 0; i < 3; ++i)
    {
        Connection leaving(running.port);
        ASSERT_TRUE(leaving.send(enumerate("EnumerateInstances")));
        // Gone before reading anything of the answer.
    }
    Connection staying(running.port);
    const Reply reply = staying.exchange(enumerate("EnumerateInstances"));
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.body, classicAnswer(running.host, "EnumerateInstances"));
}

TEST(HttpStreaming, AnAnswerLongerThanAConnectionHoldsIsWrittenWhileItIsMade)
{
    // About 600 KB: the service waits for the connection to write chunks before it makes more.
    StreamingServer running(defaultRegistration(), 4096, 2000);
    Connection connection(running.port);
    const Reply reply = connection.exchange(enumerate("EnumerateInstances"));
    EXPECT_TRUE(reply.chunked);
    EXPECT_TRUE(reply.complete);
    EXPECT_GT(reply.body.size(), 512u * 1024);
    EXPECT_EQ(reply.body, classicAnswer(running.host, "EnumerateInstances"));
}

TEST(HttpStreaming, AnHttp10ClientGetsTheAnswerWhole)
{
    StreamingServer running;
    Connection connection(running.port);
    std::string request = enumerate("EnumerateInstances");
    request.replace(request.find("HTTP/1.1"), 8, "HTTP/1.0");
    const Reply reply = connection.exchange(request);
    EXPECT_FALSE(reply.chunked);
    EXPECT_EQ(reply.body, classicAnswer(running.host, "EnumerateInstances"));
}

TEST(HttpStreaming, TeHeadersThatAcceptTrailers)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"trailers", true}, {"Trailers", true}, {"deflate, trailers", true}, {" trailers ;q=1", true},
        {"chunked", false}, {"", false},        {"trailersx", false},        {"gzip;q=trailers", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cimhost::acceptsTrailers(c.first), c.second) << c.first;
}

TEST(ChunkQueue, BoundedAndFailingFast)
{
    cimhost::ChunkQueue queue(10);
    bool wake = false;
    EXPECT_TRUE(queue.push({"12345"}, std::chrono::seconds(0), wake));
    EXPECT_TRUE(wake) << "the writer is idle: start it";
    EXPECT_TRUE(queue.push({"1234567890"}, std::chrono::seconds(0), wake))
        << "under the bound, a piece may pass it";
    EXPECT_FALSE(wake) << "the writer was started already";
    EXPECT_FALSE(queue.push({"x"}, std::chrono::seconds(0), wake)) << "full, and nobody takes: given up";
    EXPECT_TRUE(queue.failed());

    cimhost::ChunkQueue taken(10);
    std::vector<std::string> batch;
    taken.push({"abc"}, std::chrono::seconds(0), wake);
    taken.push({"defghijklm"}, std::chrono::seconds(0), wake);
    EXPECT_EQ(taken.take(batch), cimhost::ChunkQueue::Next::Bytes);
    EXPECT_EQ(batch, (std::vector<std::string>{"abc", "defghijklm"}));
    taken.written(13);
    EXPECT_EQ(taken.take(batch), cimhost::ChunkQueue::Next::Idle);
    EXPECT_TRUE(taken.push({"n"}, std::chrono::seconds(0), wake)) << "room again once written";
    EXPECT_TRUE(wake);
    taken.close(true, wake);
    EXPECT_EQ(taken.take(batch), cimhost::ChunkQueue::Next::Bytes);
    EXPECT_EQ(taken.take(batch), cimhost::ChunkQueue::Next::Ended);
    EXPECT_TRUE(taken.complete());
    EXPECT_FALSE(taken.push({"late"}, std::chrono::seconds(0), wake));
}

// Records what a ChunkedCimAnswer does with its stream.
struct RecordingStream : cimhost::AnswerStream
{
    bool canStream() const override { return true; }
    void begin(const cimhost::HttpAnswer& head) override { heads.push_back(head); }
    bool write(std::string chunk) override
    {
        chunks.push_back(std::move(chunk));
        return chunks.size() < acceptedChunks;
    }
    void finish(const cimhost::HeaderFields& fields) override
    {
        finished = true;
        trailers = fields;
    }
    void abort() override { aborted = true; }

    std::vector<cimhost::HttpAnswer> heads;
    std::vector<std::string> chunks;
    size_t acceptedChunks = 1000;
    bool finished = false, aborted = false;
    cimhost::HeaderFields trailers;
};

struct AnswerCase
{
    bool trailers;
    size_t elements; // of 100 bytes each, then the response
    bool error;
    size_t chunks; // sent
    bool finished, aborted, withTrailers;
};

TEST(ChunkedCimAnswer, HoldsWithinTheBoundThenStreamsAndEndsAsTheResponseSays)
{
    const std::vector<AnswerCase> cases = {
        // trailers elements error   chunks finished aborted trailers
        {false, 5, false, 0, false, false, false}, // 500 bytes, held: answered whole
        {false, 5, true, 0, false, false, false},  // held: the error is the answer
        {false, 30, false, 2, true, false, false}, // past the bound: the 2,000 held, then 1,000
        {false, 30, true, 2, false, true, false},  // past the bound, no trailers: cut short
        {true, 5, true, 0, false, false, false},   // under one chunk: the error is the answer
        {true, 30, true, 3, true, false, true},    // streamed from the first chunk: the error in trailers
    };
    cimhost::StreamLimits limits;
    limits.chunkBytes = 1000;
    limits.heldBytes = 2000;
    for (const AnswerCase& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.elements) + (c.trailers ? " trailers" : "") +
                     (c.error ? " error" : ""));
        RecordingStream stream;
        cimhost::ChunkedCimAnswer answer(stream, limits, c.trailers, "",
                                         [] { return cimhost::HttpAnswer::fault(200, ""); });
        for (size_t i = 0; i < c.elements; ++i)
        {
            answer.text += std::string(100, 'e');
            EXPECT_TRUE(answer.elementDone());
        }
        cimhost::CimResponse response;
        if (c.error)
        {
            response.isError = true;
            response.errorCode = Pegasus::CIM_ERR_FAILED;
            response.errorDescription = "late\r\nfailure";
        }
        if (answer.streaming()) answer.finish(response);
        EXPECT_EQ(stream.heads.size(), c.chunks > 0 ? 1u : 0u);
        EXPECT_EQ(stream.chunks.size(), c.chunks);
        EXPECT_EQ(stream.finished, c.finished);
        EXPECT_EQ(stream.aborted, c.aborted);
        if (c.withTrailers)
        {
            EXPECT_EQ(stream.trailers,
                      (cimhost::HeaderFields{{"CIMStatusCode", "1"},
                                             {"CIMStatusCodeDescription", "late  failure"}}));
        }
        if (!c.chunks)
        {
            EXPECT_EQ(answer.text.size(), c.elements * 100) << "held whole";
        }
    }
}

TEST(ChunkedCimAnswer, AClientThatLeftTakesNoMore)
{
    RecordingStream stream;
    stream.acceptedChunks = 1;
    cimhost::StreamLimits limits;
    limits.chunkBytes = limits.heldBytes = 100;
    cimhost::ChunkedCimAnswer answer(stream, limits, false, "", [] { return cimhost::HttpAnswer(); });
    answer.text = std::string(100, 'e');
    EXPECT_FALSE(answer.elementDone());
    answer.text += "more";
    EXPECT_FALSE(answer.elementDone());
    answer.finish(cimhost::CimResponse());
    EXPECT_TRUE(stream.aborted);
    EXPECT_EQ(stream.chunks.size(), 1u);
}

} // namespace
} // namespace dispatchtest
