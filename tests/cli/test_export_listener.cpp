// scsctl's indication listener on loopback: export requests posted by a real HTTP client are
// decoded and acknowledged with their message ID, over one kept-alive connection or a new one each
// time; what is no ExportIndication gets its error answer and the listener serves on.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include <Pegasus/Common/CIMProperty.h>

#include "ExportListener.h"
#include "ExportRequest.h"
#include "Failures.h"
#include "HttpConnection.h"

using namespace scsctl;
using namespace Pegasus;

namespace
{

CIMInstance jobCreation(const char* id)
{
    CIMInstance job(CIMName("CIM_ConcreteJob"));
    job.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String(id))));
    job.addProperty(CIMProperty(CIMName("JobState"), CIMValue(Uint16(4))));
    CIMInstance indication(CIMName("CIM_InstCreation"));
    indication.addProperty(CIMProperty(CIMName("SourceInstance"), CIMValue(job)));
    return indication;
}

const std::vector<std::pair<std::string, std::string>> EXPORT_HEADERS = {
    {"CIMExport", "MethodRequest"}, {"CIMExportMethod", "ExportIndication"}, {"CIMProtocolVersion", "1.0"}};

// A listener served by a thread of its own; it notes the SourceInstance key of each indication.
class RunningListener
{
public:
    RunningListener()
        : _listener(_io, "127.0.0.1", 0,
                    [this](const cimhost::ExportedIndication& exported) { take(exported); })
    {
        _thread = std::thread([this] { _io.run(); });
    }
    ~RunningListener() { stop(); }
    void stop()
    {
        if (!_thread.joinable()) return;
        _io.stop();
        _thread.join();
    }
    ConnectionOptions options() const
    {
        ConnectionOptions result;
        result.endpoint = Endpoint::parse("http://127.0.0.1:" + std::to_string(_listener.port()));
        result.timeout = std::chrono::seconds(10);
        return result;
    }
    std::vector<std::string> received()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _received;
    }
    // Read once stopped.
    const ExportListener& listener() const { return _listener; }
    std::atomic<bool> failNext{false};

private:
    void take(const cimhost::ExportedIndication& exported)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (failNext)
        {
            failNext = false;
            throw std::runtime_error("the terminal is gone");
        }
        const CIMConstInstance indication = exported.indication;
        CIMInstance job;
        indication.getProperty(indication.findProperty("SourceInstance")).getValue().get(job);
        String id;
        job.getProperty(job.findProperty("InstanceID")).getValue().get(id);
        _received.push_back(exported.messageID + ":" + std::string(id.getCString()));
    }

    boost::asio::io_context _io;
    ExportListener _listener;
    std::thread _thread;
    std::mutex _mutex;
    std::vector<std::string> _received;
};

cimhost::ExportResponse acknowledged(const HttpAnswer& answer)
{
    EXPECT_EQ(200, answer.status);
    return cimhost::decodeExportResponse(answer.body);
}

} // namespace

TEST(ExportListener, KeepsAConnectionAliveBetweenIndications)
{
    RunningListener running;
    HttpConnection sender(running.options());
    for (const char* id : {"J1", "J2"})
    {
        const cimhost::ExportResponse response =
            acknowledged(sender.post(EXPORT_HEADERS, cimhost::encodeExportIndication(id, jobCreation(id))));
        EXPECT_EQ(id, response.messageID);
        EXPECT_EQ(CIM_ERR_SUCCESS, response.code);
    }
    EXPECT_EQ((std::vector<std::string>{"J1:J1", "J2:J2"}), running.received());
    running.stop();
    EXPECT_EQ(1u, running.listener().connectionsAccepted());
    EXPECT_EQ(2u, running.listener().indicationsTaken());
}

TEST(ExportListener, TakesANewConnectionForEachIndication)
{
    RunningListener running;
    for (const char* id : {"J1", "J2", "J3"})
    {
        HttpConnection sender(running.options());
        EXPECT_EQ(id, acknowledged(
                          sender.post(EXPORT_HEADERS, cimhost::encodeExportIndication(id, jobCreation(id))))
                          .messageID);
    }
    EXPECT_EQ(3u, running.received().size());
    running.stop();
    EXPECT_EQ(3u, running.listener().connectionsAccepted());
}

TEST(ExportListener, AnswersWhatIsNoIndicationWithItsErrorAndServesOn)
{
    const std::string good = cimhost::encodeExportIndication("9", jobCreation("J9"));
    const std::vector<std::pair<std::string, std::string>> operation = {{"CIMOperation", "MethodCall"},
                                                                        {"CIMMethod", "EnumerateInstances"}};
    const std::vector<std::pair<std::string, std::string>> otherMethod = {{"CIMExport", "MethodRequest"},
                                                                          {"CIMExportMethod", "ExportAlert"}};
    std::string noCall = good;
    noCall.replace(noCall.find("EXPMETHODCALL"), 13, "EXPMETHODCALX");
    noCall.replace(noCall.rfind("EXPMETHODCALL"), 13, "EXPMETHODCALX");
    const struct
    {
        const char* what;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
        const char* cimError;
    } cases[] = {
        {"an operation request", operation, good, "unsupported-operation"},
        {"another export method", otherMethod, good, "unsupported-operation"},
        {"no XML", EXPORT_HEADERS, "<CIM><MESSAGE", "request-not-well-formed"},
        {"no EXPMETHODCALL", EXPORT_HEADERS, noCall, "request-not-valid"},
    };
    RunningListener running;
    HttpConnection sender(running.options());
    for (const auto& test : cases)
    {
        const HttpAnswer answer = sender.post(test.headers, test.body);
        EXPECT_EQ(400, answer.status) << test.what;
        EXPECT_EQ(test.cimError, answer.cimError) << test.what;
    }
    EXPECT_EQ("9", acknowledged(sender.post(EXPORT_HEADERS, good)).messageID);
    EXPECT_EQ((std::vector<std::string>{"9:J9"}), running.received());
    running.stop();
    EXPECT_EQ(4u, running.listener().requestsRefused());
}

TEST(ExportListener, AnIndicationItCannotTakeIsAnsweredAsAFailure)
{
    RunningListener running;
    running.failNext = true;
    HttpConnection sender(running.options());
    const cimhost::ExportResponse failed =
        acknowledged(sender.post(EXPORT_HEADERS, cimhost::encodeExportIndication("5", jobCreation("J5"))));
    EXPECT_EQ("5", failed.messageID);
    EXPECT_EQ(CIM_ERR_FAILED, failed.code);
    EXPECT_EQ("the terminal is gone", failed.description);
    EXPECT_EQ(
        CIM_ERR_SUCCESS,
        acknowledged(sender.post(EXPORT_HEADERS, cimhost::encodeExportIndication("6", jobCreation("J6"))))
            .code);
}

TEST(ExportListener, OnlyPostIsAnExportRequest)
{
    ExportRequest request;
    request.method = "GET";
    request.cimExport = "MethodRequest";
    request.cimExportMethod = "ExportIndication";
    request.body = cimhost::encodeExportIndication("1", jobCreation("J1"));
    ExportOutcome outcome = readExportRequest(request);
    EXPECT_FALSE(outcome.indication);
    EXPECT_EQ(405, outcome.refusal.status);
    request.method = "POST";
    outcome = readExportRequest(request);
    ASSERT_TRUE(outcome.indication);
    EXPECT_EQ("1", outcome.indication->messageID);
}

TEST(ExportListener, AnAddressThatIsNoneIsRefusedInTheOperatorsWords)
{
    boost::asio::io_context io;
    try
    {
        ExportListener listener(io, "listener.example", 0, [](const cimhost::ExportedIndication&) {});
        FAIL() << "a host name was taken as an address";
    }
    catch (const Failure& failure)
    {
        EXPECT_EQ(ExitUsage, failure.status);
        EXPECT_STREQ("--listen: \"listener.example\" is no IP address", failure.what());
    }
}
