// scsctl's enumerations against a canned server on loopback: pulled in chunks where the server
// offers the pull operations, the classic request (from then on) where it answers
// CIM_ERR_NOT_SUPPORTED, and classic answers sent in chunks as cimhost sends long ones. The
// answers are encoded by the host's own encoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CannedAnswers.h"
#include "CannedServer.h"
#include "CimClient.h"
#include "Failures.h"
#include "ResponseEncoder.h"

using namespace Pegasus;
using cimhost::CimResponse;

namespace
{

CIMInstance volume(const char* id)
{
    CIMInstance instance(CIMName("CIM_StorageVolume"));
    instance.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String(id))));
    const std::string path = std::string("//array/root/snia:CIM_StorageVolume.DeviceID=\"") + id + "\"";
    instance.setPath(CIMObjectPath(String(path.c_str())));
    return instance;
}

std::string answer(const char* method, CimResponse::ReturnKind kind, std::vector<const char*> ids,
                   bool pulled = false, bool end = true, const std::string& context = "")
{
    CimResponse response;
    response.messageId = "1";
    response.methodName = method;
    response.returnKind = kind;
    response.isPull = pulled;
    response.endOfSequence = end;
    response.enumerationContext = context;
    for (const char* id : ids)
        response.instances.append(volume(id));
    return cimhost::encodeResponse(response);
}

std::vector<std::string> pathsOf(const Array<CIMInstance>& instances)
{
    std::vector<std::string> paths;
    for (Uint32 i = 0; i < instances.size(); ++i)
        paths.push_back(std::string(instances[i].getPath().toString().getCString()));
    return paths;
}

scsctl::ConnectionOptions options(const std::string& url)
{
    scsctl::ConnectionOptions result;
    result.endpoint = scsctl::Endpoint::parse(url);
    return result;
}

} // namespace

TEST(ClientPull, EnumerationsArePulledInChunksAndNamedAsClassicAnswersNameThem)
{
    CannedServer server(
        {answer("OpenEnumerateInstances", CimResponse::InstancesWithPath, {"V1", "V2"}, true, false, "ctx-1"),
         answer("PullInstancesWithPath", CimResponse::InstancesWithPath, {"V3"}, true)});
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ(
        (std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\"", "CIM_StorageVolume.DeviceID=\"V2\"",
                                  "CIM_StorageVolume.DeviceID=\"V3\""}),
        pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ((std::vector<std::string>{"OpenEnumerateInstances", "PullInstancesWithPath"}),
              server.methods());
}

TEST(ClientPull, AServerWithoutPullOperationsGetsTheClassicRequestFromThenOn)
{
    CannedServer server({cannedRefusal("OpenEnumerateInstances", CIM_ERR_NOT_SUPPORTED),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V1"}),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V2"})});
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ((std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\""}),
              pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ((std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V2\""}),
              pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ(
        (std::vector<std::string>{"OpenEnumerateInstances", "EnumerateInstances", "EnumerateInstances"}),
        server.methods());
}

// Chunked as cimhost sends long answers: whole, cut short, and failed after the first chunk, which
// scsctl (asking for trailers) reports with the server's error rather than as a cut answer.
TEST(ClientPull, AClassicAnswerInChunksReadsAsWholeAndACutOrFailedOneFails)
{
    std::string partial = answer("EnumerateInstances", CimResponse::NamedInstances, {"V7", "V8"});
    partial.resize(partial.size() / 2); // the answer stops where the provider failed
    CannedServer server({cannedRefusal("OpenEnumerateInstances", CIM_ERR_NOT_SUPPORTED),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V1", "V2", "V3"}),
                         CannedServer::CUT_SHORT +
                             answer("EnumerateInstances", CimResponse::NamedInstances, {"V4", "V5", "V6"}),
                         CannedServer::LATE_ERROR + partial},
                        CannedServer::Answers::Chunked);
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ(
        (std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\"", "CIM_StorageVolume.DeviceID=\"V2\"",
                                  "CIM_StorageVolume.DeviceID=\"V3\""}),
        pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_THROW(client.enumerateInstances("CIM_StorageVolume"), scsctl::Failure);
    try
    {
        client.enumerateInstances("CIM_StorageVolume");
        ADD_FAILURE() << "a failed answer was taken";
    }
    catch (const scsctl::Failure& failure)
    {
        const std::string said = std::string(failure.what()) + " " + failure.detail;
        EXPECT_NE(said.find(CannedServer::LATE_ERROR_TEXT), std::string::npos) << said;
    }
}
