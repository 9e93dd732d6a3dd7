// Watching a job to its end: by indications when the server takes a subscription (the job read
// once, its completion told by an indication posted to scsctl's listener, the subscription removed
// after), by polling when it offers none.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include <Pegasus/Common/CIMProperty.h>

#include "CannedAnswers.h"
#include "CannedServer.h"
#include "ExportMessages.h"
#include "HttpConnection.h"
#include "JobWatch.h"
#include "ResponseEncoder.h"

using namespace scsctl;
using namespace Pegasus;
using cimhost::CimResponse;

namespace
{

const char JOB_ID[] = "3600000100000001";

CIMInstance job(Uint16 state, Uint16 percent)
{
    CIMInstance instance(CIMName("CIM_ConcreteJob"));
    instance.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String(JOB_ID))));
    instance.addProperty(CIMProperty(CIMName("JobState"), CIMValue(state)));
    instance.addProperty(CIMProperty(CIMName("PercentComplete"), CIMValue(percent)));
    return instance;
}

std::string jobAnswer(const CIMInstance& instance)
{
    CimResponse response;
    response.messageId = "1";
    response.methodName = "GetInstance";
    response.returnKind = CimResponse::SingleInstance;
    response.instances.append(instance);
    return cimhost::encodeResponse(response);
}

ConnectionOptions options(const CannedServer& server)
{
    ConnectionOptions result;
    result.endpoint = Endpoint::parse(server.url());
    result.timeout = std::chrono::seconds(10);
    return result;
}

// What the watching printed.
std::vector<std::string> linesOf(std::FILE* file)
{
    std::rewind(file);
    std::vector<std::string> lines;
    char line[256];
    while (std::fgets(line, sizeof line, file))
        lines.push_back(std::string(line, std::strcspn(line, "\n")));
    return lines;
}

// The listener's URL, from the destination scsctl created.
std::string destinationOf(const std::string& body)
{
    const std::string start = "<PROPERTY NAME=\"Destination\" TYPE=\"string\"><VALUE>";
    const size_t at = body.find(start) + start.size();
    return body.substr(at, body.find('<', at) - at);
}

} // namespace

TEST(JobWatch, ByIndicationsTheJobIsReadOnceAndTheSubscriptionGoesAfter)
{
    CannedServer server(
        {cannedAnswer("EnumerateInstanceNames", CimResponse::InstanceNames),
         cannedAnswer("CreateInstance", CimResponse::NewInstanceName,
                      "CIM_ListenerDestinationCIMXML.Name=\"d\""),
         cannedAnswer("CreateInstance", CimResponse::NewInstanceName, "CIM_IndicationFilter.Name=\"f\""),
         cannedAnswer("CreateInstance", CimResponse::NewInstanceName,
                      "CIM_IndicationSubscription.Name=\"s\""),
         jobAnswer(job(4, 40)), cannedAnswer("DeleteInstance"), cannedAnswer("DeleteInstance"),
         cannedAnswer("DeleteInstance")},
        CannedServer::Answers::WholeThenClose);
    // The array, once the job has been read: its progress and completion, as indications.
    std::thread array(
        [&server]
        {
            server.awaitRequests(5);
            ConnectionOptions listener;
            listener.endpoint = Endpoint::parse(destinationOf(server.bodies()[1]));
            HttpConnection sender(listener);
            const std::vector<std::pair<std::string, std::string>> headers = {
                {"CIMExport", "MethodRequest"}, {"CIMExportMethod", "ExportIndication"}};
            Uint16 percent = 40;
            for (const CIMInstance& now : {job(4, 70), job(7, 100)})
            {
                CIMInstance indication(CIMName("CIM_InstModification"));
                indication.addProperty(CIMProperty(CIMName("SourceInstance"), CIMValue(now)));
                indication.addProperty(CIMProperty(CIMName("PreviousInstance"), CIMValue(job(4, percent))));
                sender.post(headers, cimhost::encodeExportIndication("1", indication));
                percent = 70;
            }
        });
    CimClient client(options(server), "root/snia");
    const ConnectionOptions subscribeWith = options(server);
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(ExitOk, watchJob(client, JOB_ID, "scsctl job wait", out, &subscribeWith));
    array.join();
    EXPECT_EQ((std::vector<std::string>{"job 3600000100000001: Running 40% after 0:00",
                                        "job 3600000100000001: Running 70% after 0:00",
                                        "job 3600000100000001: Completed 100% after 0:00"}),
              linesOf(out));
    std::fclose(out);
    EXPECT_EQ((std::vector<std::string>{"EnumerateInstanceNames", "CreateInstance", "CreateInstance",
                                        "CreateInstance", "GetInstance", "DeleteInstance", "DeleteInstance",
                                        "DeleteInstance"}),
              server.methods());
    EXPECT_NE(
        server.bodies()[2].find("SourceInstance.CIM_ConcreteJob::InstanceID = &apos;3600000100000001&apos;"),
        std::string::npos)
        << server.bodies()[2];
}

TEST(JobWatch, AServerWithoutSubscriptionsIsPolled)
{
    CannedServer server({cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE),
                         cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE),
                         cannedRefusal("EnumerateInstanceNames", CIM_ERR_INVALID_NAMESPACE),
                         jobAnswer(job(7, 100))},
                        CannedServer::Answers::WholeThenClose);
    CimClient client(options(server), "root/snia");
    const ConnectionOptions subscribeWith = options(server);
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(ExitOk, watchJob(client, JOB_ID, "scsctl job wait", out, &subscribeWith));
    EXPECT_EQ((std::vector<std::string>{"job 3600000100000001: Completed 100% after 0:00"}), linesOf(out));
    std::fclose(out);
    EXPECT_EQ((std::vector<std::string>{"EnumerateInstanceNames", "EnumerateInstanceNames",
                                        "EnumerateInstanceNames", "GetInstance"}),
              server.methods());
}
