// The pull operations end to end: cimhost with the real schema, module and inventory module on an
// array of 157 volumes, driven over HTTP through the client's codec (cimxml's request encoder and
// response decoder). Volumes, associators and references pulled in chunks must be what the classic
// operations answer; the cap on open enumerations and the refusals answer their codes over the wire;
// the interop namespace advertises Pulled Read.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <Pegasus/Common/XmlWriter.h>

#include "../stress/StressSupport.h"
#include "../support/IntrinsicCall.h"
#include "RequestEncoder.h"
#include "ResponseDecoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

const int VOLUMES = 157; // more than 256 KiB of instances: a whole pull answer goes in chunks
const int MAX_ENUMERATIONS = 3;

std::string text(const String& s)
{
    return std::string(s.getCString());
}

// An array of VOLUMES small volumes in the base pool.
std::string arrayDescription()
{
    std::string json = R"({"system": {"name": "ZARVO-PULL", "host": "pull-array"}, "drives": [)";
    for (int slot = 0; slot < 8; ++slot)
        json += std::string(slot ? "," : "") + R"({"slot": )" + std::to_string(slot) +
                R"(, "pool": "base", "capacityGiB": 1024})";
    json += R"(], "volumes": [)";
    for (int i = 1; i <= VOLUMES; ++i)
        json += std::string(i > 1 ? "," : "") + R"({"name": "v)" + std::to_string(i) + R"(", "sizeGiB": 1})";
    return json + "]}";
}

IParam param(const char* name, IParamValue::Kind kind)
{
    IParam p{name, {}};
    p.value.kind = kind;
    return p;
}
IParam textParam(const char* name, const std::string& value)
{
    IParam p = param(name, IParamValue::Text);
    p.value.text = value;
    return p;
}
IParam classParam(const char* name, const char* className)
{
    IParam p = param(name, IParamValue::ClassName);
    p.value.className = CIMName(className);
    return p;
}
IParam pathParam(const char* name, const CIMObjectPath& path)
{
    IParam p = param(name, IParamValue::ObjectPath);
    p.value.path = path;
    return p;
}

// Class and keys, without host and namespace: classic answers carry INSTANCENAME only.
std::string key(CIMObjectPath path)
{
    path.setHost(String());
    path.setNameSpace(CIMNamespaceName());
    return text(path.toString());
}

// Each object of an answer by its path: the instance's XML, or nothing for a path.
using Objects = std::map<std::string, std::string>;

void collect(const CimResponse& response, Objects& objects)
{
    for (Uint32 i = 0; i < response.instances.size(); ++i)
    {
        std::string xml;
        XmlWriter::appendInstanceElement(xml, response.instances[i]);
        EXPECT_TRUE(objects.emplace(key(response.instances[i].getPath()), xml).second) << "delivered twice";
    }
    for (Uint32 i = 0; i < response.objects.size(); ++i)
    {
        std::string xml;
        XmlWriter::appendObjectElement(xml, response.objects[i]);
        EXPECT_TRUE(objects.emplace(key(response.objects[i].getPath()), xml).second);
    }
    for (Uint32 i = 0; i < response.paths.size(); ++i)
        EXPECT_TRUE(objects.emplace(key(response.paths[i]), "").second);
}

class PullTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Under LeakSanitizer: the providers left alive by contract are not leaks (see lsan.supp).
        setenv("LSAN_OPTIONS", "suppressions=" SCS_LSAN_SUPPRESSIONS, 0);
        char base[] = "/tmp/cimhost-pull.XXXXXX";
        dir = ::mkdtemp(base);
        std::ofstream(dir + "/array.json") << arrayDescription();
        host = std::make_unique<stress::Host>(dir);
        std::string problem;
        if (!host->start({"--array", dir + "/array.json", "--max-enumerations",
                          std::to_string(MAX_ENUMERATIONS), "--trace", "off"},
                         problem))
        {
            std::cerr << problem;
            host.reset();
        }
    }
    static void TearDownTestSuite()
    {
        if (host)
        {
            EXPECT_EQ(0, host->terminate());
        }
        host.reset();
        if (std::system(("rm -rf " + dir).c_str()) != 0) std::cerr << "could not remove " << dir << "\n";
    }
    void SetUp() override
    {
        ASSERT_TRUE(host) << "cimhost did not start";
        connection = std::make_unique<testhttp::Connection>(host->port(), 60);
    }

    CimResponse call(const char* method, std::vector<IParam> params, const char* nameSpace = "root/snia")
    {
        return testhttp::intrinsicCall(*connection, messages, method, std::move(params), nameSpace);
    }

    CimResponse open(const char* method, std::vector<IParam> params, unsigned maxObjectCount)
    {
        params.push_back(textParam("MaxObjectCount", std::to_string(maxObjectCount)));
        return call(method, params);
    }

    // Opens and pulls to the end in chunks of `chunk`: every object, and the number of answers.
    Objects pulled(const char* method, const std::vector<IParam>& params, const char* pullMethod,
                   unsigned chunk, unsigned& answers)
    {
        Objects objects;
        CimResponse response = open(method, params, chunk);
        for (answers = 1;; ++answers)
        {
            EXPECT_FALSE(response.isError) << method << ": " << response.errorDescription;
            EXPECT_TRUE(response.isPull);
            EXPECT_LE(response.instances.size() + response.paths.size(), chunk);
            collect(response, objects);
            if (response.isError || response.endOfSequence || answers > 1000) break;
            response = call(pullMethod, {textParam("EnumerationContext", response.enumerationContext),
                                         textParam("MaxObjectCount", std::to_string(chunk))});
        }
        return objects;
    }

    Objects classic(const char* method, std::vector<IParam> params)
    {
        const CimResponse response = call(method, std::move(params));
        EXPECT_FALSE(response.isError) << method << ": " << response.errorDescription;
        Objects objects;
        collect(response, objects);
        return objects;
    }

    static std::string dir;
    static std::unique_ptr<stress::Host> host;
    std::unique_ptr<testhttp::Connection> connection;
    int messages = 0;
};

std::string PullTest::dir;
std::unique_ptr<stress::Host> PullTest::host;

unsigned chunksOf(size_t objects, unsigned chunk)
{
    return unsigned(objects == 0 ? 1 : (objects + chunk - 1) / chunk);
}

} // namespace

TEST_F(PullTest, VolumesPulledInChunksAreTheClassicEnumeration)
{
    const std::vector<IParam> volumes = {classParam("ClassName", "CIM_StorageVolume")};
    const Objects expected = classic("EnumerateInstances", volumes);
    ASSERT_GE(expected.size(), size_t(VOLUMES));
    unsigned answers = 0;
    EXPECT_EQ(expected, pulled("OpenEnumerateInstances", volumes, "PullInstancesWithPath", 10, answers));
    EXPECT_EQ(chunksOf(expected.size(), 10), answers);
    EXPECT_EQ(expected, pulled("OpenEnumerateInstances", volumes, "PullInstancesWithPath", 1000, answers));
    EXPECT_EQ(1u, answers);

    const Objects names = classic("EnumerateInstanceNames", volumes);
    EXPECT_EQ(expected.size(), names.size());
    EXPECT_EQ(names, pulled("OpenEnumerateInstancePaths", volumes, "PullInstancePaths", 7, answers));
    EXPECT_EQ(chunksOf(names.size(), 7), answers);
}

TEST_F(PullTest, AssociatorsAndReferencesOfEveryPoolPulledInChunksAreTheClassicAnswers)
{
    const Objects pools = classic("EnumerateInstanceNames", {classParam("ClassName", "CIM_StoragePool")});
    ASSERT_EQ(4u, pools.size());
    size_t largest = 0;
    for (const auto& pool : pools)
    {
        SCOPED_TRACE(pool.first);
        const CIMObjectPath path(String(pool.first.c_str()));
        unsigned answers = 0;
        const Objects volumes =
            classic("Associators", {pathParam("ObjectName", path),
                                    classParam("AssocClass", "CIM_AllocatedFromStoragePool")});
        largest = std::max(largest, volumes.size());
        EXPECT_EQ(volumes, pulled("OpenAssociatorInstances",
                                  {pathParam("InstanceName", path),
                                   classParam("AssocClass", "CIM_AllocatedFromStoragePool")},
                                  "PullInstancesWithPath", 10, answers));
        EXPECT_EQ(chunksOf(volumes.size(), 10), answers);

        const Objects associated = classic("AssociatorNames", {pathParam("ObjectName", path)});
        EXPECT_EQ(associated, pulled("OpenAssociatorInstancePaths", {pathParam("InstanceName", path)},
                                     "PullInstancePaths", 16, answers));

        const Objects references = classic("References", {pathParam("ObjectName", path)});
        EXPECT_GE(references.size(), volumes.size());
        EXPECT_EQ(references, pulled("OpenReferenceInstances", {pathParam("InstanceName", path)},
                                     "PullInstancesWithPath", 9, answers));

        const Objects referenceNames =
            classic("ReferenceNames", {pathParam("ObjectName", path), textParam("Role", "Antecedent")});
        EXPECT_EQ(referenceNames, pulled("OpenReferenceInstancePaths",
                                         {pathParam("InstanceName", path), textParam("Role", "Antecedent")},
                                         "PullInstancePaths", 25, answers));
    }
    EXPECT_GE(largest, size_t(VOLUMES)) << "the base pool holds every volume";
}

TEST_F(PullTest, TheCapOnOpenEnumerationsAndAClosedContextOverTheWire)
{
    const IParam volumes = classParam("ClassName", "CIM_StorageVolume");
    std::vector<std::string> contexts;
    for (int i = 0; i < MAX_ENUMERATIONS; ++i)
    {
        const CimResponse response = open("OpenEnumerateInstancePaths", {volumes}, 1);
        ASSERT_FALSE(response.isError) << response.errorDescription;
        contexts.push_back(response.enumerationContext);
    }
    const CimResponse refused = open("OpenEnumerateInstances", {volumes}, 1);
    EXPECT_TRUE(refused.isError);
    EXPECT_EQ(CIM_ERR_SERVER_LIMITS_EXCEEDED, refused.errorCode);

    const std::string closedName = contexts.back();
    const CimResponse closed = call("CloseEnumeration", {textParam("EnumerationContext", closedName)});
    EXPECT_FALSE(closed.isError);
    EXPECT_EQ(CimResponse::NoReturn, closed.returnKind);
    const CimResponse reopened = open("OpenEnumerateInstances", {volumes}, 1);
    EXPECT_FALSE(reopened.isError) << reopened.errorDescription;
    contexts.back() = reopened.enumerationContext;

    // Every other refusal has its code checked in-process (DispatchPull.EveryRefusalAnswersItsCode);
    // over the wire, a closed context's.
    const CimResponse gone = call(
        "PullInstancePaths", {textParam("EnumerationContext", closedName), textParam("MaxObjectCount", "1")});
    EXPECT_TRUE(gone.isError);
    EXPECT_EQ(CIM_ERR_INVALID_ENUMERATION_CONTEXT, gone.errorCode) << gone.errorDescription;
    for (const std::string& context : contexts)
        EXPECT_FALSE(call("CloseEnumeration", {textParam("EnumerationContext", context)}).isError);
}

TEST_F(PullTest, TheInteropNamespaceAdvertisesPulledRead)
{
    const CimResponse mechanisms =
        call("EnumerateInstances", {classParam("ClassName", "CIM_CIMXMLCommunicationMechanism")}, "interop");
    ASSERT_FALSE(mechanisms.isError) << mechanisms.errorDescription;
    ASSERT_GE(mechanisms.instances.size(), 1u);
    const CIMInstance& mechanism = mechanisms.instances[0];
    Array<Uint16> profiles;
    mechanism.getProperty(mechanism.findProperty(CIMName("FunctionalProfilesSupported")))
        .getValue()
        .get(profiles);
    Array<String> names;
    mechanism.getProperty(mechanism.findProperty(CIMName("FunctionalProfileDescriptions")))
        .getValue()
        .get(names);
    ASSERT_EQ(profiles.size(), names.size());
    bool pulledRead = false;
    for (Uint32 i = 0; i < profiles.size(); ++i)
        if (profiles[i] == 10) pulledRead = text(names[i]) == "Pulled Read";
    EXPECT_TRUE(pulledRead);
}
