// Indications end to end: cimhost with the real schema, module and inventory module; a listener of
// the test's own receives what a subscription made with the intrinsic operations selects. A
// volume's life (create, grow, return) arrives in order with its properties; a listener that fails
// is retried and then costs only its bounded queue; subscriptions survive a restart and a kill -9;
// a transient destination that stops answering goes; what the service cannot do is refused.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../stress/StressSupport.h"
#include "../support/IntrinsicCall.h"
#include "../support/ExportListener.h"
#include "RequestEncoder.h"
#include "ResponseDecoder.h"

using namespace cimhost;
using namespace Pegasus;
using testhttp::Received;

namespace
{

const unsigned long long GIB = 1ull << 30;

std::string text(const String& s)
{
    return std::string(s.getCString());
}

String str(const std::string& s)
{
    return String(s.c_str());
}

CIMValue valueOf(const CIMInstance& instance, const char* name)
{
    const Uint32 index = instance.findProperty(name);
    return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

std::string stringOf(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    return value.isNull() ? std::string() : text(value.toString());
}

CIMInstance embedded(const CIMInstance& indication, const char* name)
{
    CIMInstance instance;
    const CIMValue value = valueOf(indication, name);
    if (value.isNull()) return instance;
    if (value.getType() == CIMTYPE_INSTANCE) value.get(instance);
    if (value.getType() == CIMTYPE_OBJECT)
    {
        CIMObject object;
        value.get(object);
        instance = CIMInstance(object);
    }
    return instance;
}

// What an indication is about: "InstCreation CIM_ConcreteJob", "AlertIndication", ...
std::string kindOf(const Received& received)
{
    const CIMInstance& indication = received.exported.indication;
    std::string kind = text(indication.getClassName().getString()).substr(4);
    const CIMInstance source = embedded(indication, "SourceInstance");
    if (!source.isUninitialized()) kind += " " + text(source.getClassName().getString());
    return kind;
}

class IndicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("LSAN_OPTIONS", "suppressions=" SCS_LSAN_SUPPRESSIONS, 0);
        char base[] = "/tmp/cimhost-indications.XXXXXX";
        dir = ::mkdtemp(base);
        host = std::make_unique<stress::Host>(dir);
    }
    void TearDown() override
    {
        // A sanitizer's report makes the host exit non-zero; -1: it was not running.
        const int status = host ? host->terminate() : -1;
        EXPECT_TRUE(status == 0 || status == -1) << "cimhost exited with " << status << ":\n" << host->log();
        host.reset();
        if (std::system(("rm -rf " + dir).c_str()) != 0) std::cerr << "could not remove " << dir << "\n";
    }

    void startHost(std::vector<std::string> extra = {})
    {
        extra.insert(extra.end(), {"--time-scale", "200", "--trace", "off"});
        std::string problem;
        ASSERT_TRUE(host->start(extra, problem)) << problem;
        client = std::make_unique<stress::Client>(host->port());
        connection = std::make_unique<testhttp::Connection>(host->port(), 60);
    }

    CimResponse call(const char* method, std::vector<IParam> params, const char* nameSpace = "interop")
    {
        return testhttp::intrinsicCall(*connection, messages, method, std::move(params), nameSpace);
    }

    static IParam instanceParam(const char* name, const CIMInstance& instance)
    {
        IParam param{name, {}};
        param.value.kind = IParamValue::Instance;
        param.value.instance = instance;
        return param;
    }
    static IParam pathParam(const char* name, const CIMObjectPath& path)
    {
        IParam param{name, {}};
        param.value.kind = IParamValue::ObjectPath;
        param.value.path = path;
        return param;
    }
    static IParam classParam(const char* className)
    {
        IParam param{"ClassName", {}};
        param.value.kind = IParamValue::ClassName;
        param.value.className = CIMName(className);
        return param;
    }

    CimResponse create(const CIMInstance& instance, const char* nameSpace = "interop")
    {
        return call("CreateInstance", {instanceParam("NewInstance", instance)}, nameSpace);
    }
    CIMObjectPath created(const CIMInstance& instance)
    {
        const CimResponse response = create(instance);
        EXPECT_FALSE(response.isError) << response.errorDescription;
        EXPECT_EQ(response.isError ? 0u : 1u, response.paths.size());
        return response.paths.size() == 1 ? response.paths[0] : CIMObjectPath();
    }

    static CIMInstance destination(const std::string& url, Uint16 persistence = 2)
    {
        CIMInstance instance("CIM_ListenerDestinationCIMXML");
        instance.addProperty(CIMProperty("Name", CIMValue(str("test-listener"))));
        instance.addProperty(CIMProperty("Destination", CIMValue(str(url))));
        instance.addProperty(CIMProperty("PersistenceType", CIMValue(persistence)));
        return instance;
    }
    static CIMInstance filter(const std::string& query, const std::string& language = "DMTF:CQL",
                              const std::string& name = "test-filter")
    {
        CIMInstance instance("CIM_IndicationFilter");
        instance.addProperty(CIMProperty("Name", CIMValue(str(name))));
        instance.addProperty(CIMProperty("Query", CIMValue(str(query))));
        instance.addProperty(CIMProperty("QueryLanguage", CIMValue(str(language))));
        Array<String> namespaces;
        namespaces.append("root/snia");
        instance.addProperty(CIMProperty("SourceNamespaces", CIMValue(namespaces)));
        return instance;
    }
    static CIMInstance subscription(const CIMObjectPath& filterPath, const CIMObjectPath& handlerPath)
    {
        CIMInstance instance("CIM_IndicationSubscription");
        instance.addProperty(CIMProperty("Filter", CIMValue(filterPath)));
        instance.addProperty(CIMProperty("Handler", CIMValue(handlerPath)));
        return instance;
    }

    // Jobs and volumes, to the listener: the subscription's path.
    CIMObjectPath subscribe(const std::string& url, Uint16 persistence = 2)
    {
        const CIMObjectPath handler = created(destination(url, persistence));
        const CIMObjectPath selection = created(filter(
            "SELECT * FROM CIM_InstIndication WHERE SourceInstance ISA CIM_ConcreteJob OR SourceInstance "
            "ISA CIM_StorageVolume"));
        return created(subscription(selection, handler));
    }

    size_t count(const char* className, const char* nameSpace = "interop")
    {
        const CimResponse response = call("EnumerateInstanceNames", {classParam(className)}, nameSpace);
        EXPECT_FALSE(response.isError) << response.errorDescription;
        return response.paths.size();
    }

    // A new volume of 1 GiB from the base pool: its path.
    stress::Path createVolume()
    {
        const stress::Answer setting = client->createSetting();
        EXPECT_TRUE(setting.ok()) << setting.summary();
        const stress::Answer answer = client->invoke(stress::SERVICE, "CreateOrModifyElementFromStoragePool",
                                                     stress::param("ElementName", "watched") +
                                                         stress::param("Size", std::to_string(GIB)) +
                                                         stress::param("Goal", setting.outRef("NewSetting")) +
                                                         stress::param("InPool", stress::BASE_POOL));
        EXPECT_TRUE(answer.ok()) << answer.summary();
        return answer.outRef("TheElement");
    }

    // Waits until a job's completion has arrived `completions` times in all.
    std::vector<Received> waitForCompletions(testhttp::ExportListener& listener, size_t completions)
    {
        return listener.waitFor(
            [&](const std::vector<Received>& received)
            {
                size_t done = 0;
                for (const Received& r : received)
                    done += kindOf(r) == "InstModification CIM_ConcreteJob" &&
                            stringOf(embedded(r.exported.indication, "SourceInstance"), "JobState") == "7";
                return done >= completions;
            });
    }

    std::string dir;
    std::unique_ptr<stress::Host> host;
    std::unique_ptr<stress::Client> client;
    std::unique_ptr<testhttp::Connection> connection;
    int messages = 0;
};

TEST_F(IndicationTest, AVolumesLifeReachesTheListenerInOrder)
{
    testhttp::ExportListener listener;
    startHost();
    const CIMObjectPath subscriptionPath = subscribe(listener.url());
    ASSERT_FALSE(subscriptionPath.getClassName().isNull());
    // One set of subscriptions, under each interop name.
    for (const char* nameSpace : {"interop", "root/interop", "root/PG_InterOp"})
    {
        EXPECT_EQ(1u, count("CIM_IndicationSubscription", nameSpace)) << nameSpace;
        EXPECT_EQ(1u, count("CIM_IndicationFilter", nameSpace)) << nameSpace;
        EXPECT_EQ(1u, count("CIM_ListenerDestinationCIMXML", nameSpace)) << nameSpace;
    }
    const CimResponse service = call("EnumerateInstances", {classParam("CIM_IndicationService")});
    ASSERT_EQ(1u, service.instances.size());
    EXPECT_EQ("3", stringOf(service.instances[0], "DeliveryRetryAttempts"));
    const CimResponse mechanisms =
        call("EnumerateInstances", {classParam("CIM_CIMXMLCommunicationMechanism")});
    ASSERT_FALSE(mechanisms.instances.size() == 0);
    EXPECT_NE(stringOf(mechanisms.instances[0], "FunctionalProfilesSupported").find("9"), std::string::npos)
        << "Indications advertised";

    const stress::Path volume = createVolume();
    waitForCompletions(listener, 1);
    const stress::Answer grow =
        client->invoke(stress::SERVICE, "CreateOrModifyElementFromStoragePool",
                       stress::param("TheElement", volume) + stress::param("Size", std::to_string(2 * GIB)));
    ASSERT_TRUE(grow.ok()) << grow.summary();
    waitForCompletions(listener, 2);
    const stress::Answer giveBack =
        client->invoke(stress::SERVICE, "ReturnToStoragePool", stress::param("TheElement", volume));
    ASSERT_TRUE(giveBack.ok()) << giveBack.summary();
    const std::vector<Received> received =
        listener.waitFor([](const std::vector<Received>& all)
                         { return !all.empty() && kindOf(all.back()) == "InstDeletion CIM_StorageVolume"; });

    // The volume's own indications, in order, and the jobs' around them.
    std::vector<std::string> volumeEvents;
    bool grown = false; // a modification of the volume told its growth
    std::set<std::string> identifiers;
    std::map<std::string, std::vector<std::string>> jobStates; // by InstanceID
    for (const Received& r : received)
    {
        const CIMInstance& indication = r.exported.indication;
        EXPECT_EQ("MethodRequest", r.cimExport);
        EXPECT_EQ("ExportIndication", r.cimExportMethod);
        EXPECT_TRUE(identifiers.insert(stringOf(indication, "IndicationIdentifier")).second) << "told twice";
        EXPECT_FALSE(stringOf(indication, "IndicationTime").empty());
        const std::string kind = kindOf(r);
        ASSERT_TRUE(kind.find("CIM_ConcreteJob") != std::string::npos ||
                    kind.find("CIM_StorageVolume") != std::string::npos)
            << "the filter let through " << kind;
        const CIMInstance source = embedded(indication, "SourceInstance");
        const bool modification = kind.rfind("InstModification", 0) == 0;
        EXPECT_EQ(modification, !embedded(indication, "PreviousInstance").isUninitialized()) << kind;
        if (kind.find("CIM_StorageVolume") != std::string::npos)
        {
            EXPECT_EQ(volume.key("DeviceID"), stringOf(source, "DeviceID"));
            volumeEvents.push_back(kind.substr(0, kind.find(' ')));
            if (modification)
            {
                const auto after = std::stoull(stringOf(source, "NumberOfBlocks"));
                const auto before =
                    std::stoull(stringOf(embedded(indication, "PreviousInstance"), "NumberOfBlocks"));
                EXPECT_GE(after, before);
                grown = grown || after > before;
            }
        }
        else
            jobStates[stringOf(source, "InstanceID")].push_back(kind.substr(0, kind.find(' ')) + ":" +
                                                                stringOf(source, "JobState"));
    }
    ASSERT_GE(volumeEvents.size(), 3u);
    EXPECT_EQ("InstCreation", volumeEvents.front());
    EXPECT_EQ("InstDeletion", volumeEvents.back());
    EXPECT_TRUE(grown);
    // Each job: created first, completed (7) last among what it told.
    size_t completedJobs = 0;
    for (const auto& [job, states] : jobStates)
    {
        EXPECT_EQ("InstCreation", states.front().substr(0, states.front().find(':'))) << job;
        if (states.back() == "InstModification:7") ++completedJobs;
    }
    EXPECT_GE(completedJobs, 2u);

    // Deleted in pywbem's order: the subscription, then the filter and the destination.
    const CimResponse filters = call("EnumerateInstanceNames", {classParam("CIM_IndicationFilter")});
    ASSERT_EQ(1u, filters.paths.size());
    EXPECT_EQ(CIM_ERR_FAILED, call("DeleteInstance", {pathParam("InstanceName", filters.paths[0])}).errorCode)
        << "a filter in use is kept";
    EXPECT_FALSE(call("DeleteInstance", {pathParam("InstanceName", subscriptionPath)}).isError);
    EXPECT_FALSE(call("DeleteInstance", {pathParam("InstanceName", filters.paths[0])}).isError);
    EXPECT_EQ(0u, count("CIM_IndicationSubscription") + count("CIM_IndicationFilter"));
}

TEST_F(IndicationTest, AFailingListenerIsRetriedThenCostsOnlyItsQueue)
{
    testhttp::ExportListener listener;
    startHost(
        {"--delivery-retry-attempts", "2", "--delivery-retry-interval", "0.2", "--listener-queue", "2"});
    subscribe(listener.url());

    // Two failed tries, then the third takes it: the same message three times.
    listener.failNext(2);
    createVolume();
    std::vector<Received> received = waitForCompletions(listener, 1);
    ASSERT_GE(listener.failed().size(), 2u);
    EXPECT_EQ(listener.failed()[0], listener.failed()[1]);
    EXPECT_EQ(listener.failed()[0], received.front().exported.messageID);
    EXPECT_EQ(received.size(),
              [&]
              {
                  std::set<std::string> ids;
                  for (const Received& r : received)
                      ids.insert(r.exported.messageID);
                  return ids.size();
              }())
        << "each indication taken once";

    // The listener goes away while volumes are made: the host keeps serving at once.
    const int port = listener.port();
    listener.stop();
    for (int i = 0; i < 3; ++i)
        createVolume();
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(client->enumerate("CIM_StoragePool").ok());
    // Tried three times, then given up (polled, up to a minute).
    for (int tries = 0; tries < 3000 && host->log().find("after 3 tries") == std::string::npos; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(host->log().find("after 3 tries"), std::string::npos) << host->log();

    // Back on its port: delivery resumes with what comes next (with a queue of 2, not all of it:
    // a burst may push out its own first indications).
    listener.start(port);
    const size_t before = listener.received().size();
    createVolume();
    received = listener.waitFor([&](const std::vector<Received>& all) { return all.size() > before; });
    EXPECT_GT(received.size(), before);
    EXPECT_EQ(0, host->terminate());
    const std::string log = host->log();
    EXPECT_NE(log.find("its queue is full (2 waiting)"), std::string::npos) << log;
}

TEST_F(IndicationTest, SubscriptionsSurviveARestartAndAKill)
{
    testhttp::ExportListener listener;
    startHost();
    subscribe(listener.url());
    EXPECT_EQ(0, host->terminate());
    startHost();
    EXPECT_EQ(1u, count("CIM_IndicationSubscription"));
    createVolume();
    waitForCompletions(listener, 1);

    // Acknowledged, then killed at once: still there.
    const CIMObjectPath second = created(filter("SELECT * FROM CIM_AlertIndication", "WQL", "alerts"));
    ASSERT_FALSE(second.getClassName().isNull());
    host->kill();
    startHost();
    EXPECT_EQ(2u, count("CIM_IndicationFilter"));
    EXPECT_EQ(1u, count("CIM_IndicationSubscription"));
}

TEST_F(IndicationTest, ATransientDestinationThatStopsAnsweringGoes)
{
    testhttp::ExportListener listener;
    startHost({"--delivery-retry-attempts", "0"});
    subscribe(listener.url(), 3);
    listener.stop();
    createVolume();
    // Removed by the host once an indication could not be delivered (polled, up to a minute).
    for (int tries = 0; tries < 3000 && count("CIM_IndicationSubscription") != 0; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(0u, count("CIM_IndicationSubscription"));
    EXPECT_EQ(0u, count("CIM_ListenerDestinationCIMXML"));
    EXPECT_EQ(1u, count("CIM_IndicationFilter")) << "the client's filter stays";
}

TEST_F(IndicationTest, WhatTheServiceCannotDoIsRefusedSayingWhy)
{
    testhttp::ExportListener listener;
    startHost();
    const CIMObjectPath handler = created(destination(listener.url()));
    const CIMObjectPath jobs =
        created(filter("SELECT * FROM CIM_InstModification WHERE SourceInstance ISA "
                       "CIM_ConcreteJob AND SourceInstance.CIM_ConcreteJob::JobState = 7"));
    CIMInstance expiring = subscription(jobs, handler);
    expiring.addProperty(CIMProperty("SubscriptionDuration", CIMValue(Uint64(60))));
    CIMObjectPath missingFilter = jobs;
    Array<CIMKeyBinding> keys = missingFilter.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal("Name")) keys[i].setValue("nobody");
    missingFilter.setKeyBindings(keys);

    struct Case
    {
        const char* what;
        CIMInstance instance;
        CIMStatusCode code;
        const char* says;
    } cases[] = {
        {"a URL that is not http(s)", destination("ftp://127.0.0.1/"), CIM_ERR_INVALID_PARAMETER, "http://"},
        {"a port out of range", destination("http://127.0.0.1:70000/"), CIM_ERR_INVALID_PARAMETER, "port"},
        {"a persistence of Other", destination("http://127.0.0.1:1/", 1), CIM_ERR_INVALID_PARAMETER,
         "Transient"},
        {"a property list", filter("SELECT JobState FROM CIM_InstModification"), CIM_ERR_INVALID_PARAMETER,
         "only SELECT *"},
        {"LIKE", filter("SELECT * FROM CIM_InstCreation WHERE SourceInstance.ElementName LIKE 'a%'"),
         CIM_ERR_INVALID_PARAMETER, "LIKE"},
        {"a class that does not exist", filter("SELECT * FROM CIM_NoSuchIndication"), CIM_ERR_NOT_FOUND,
         "CIM_NoSuchIndication"},
        {"a class that is no indication", filter("SELECT * FROM CIM_StorageVolume"),
         CIM_ERR_INVALID_PARAMETER, "not an indication class"},
        {"an ISA class that does not exist",
         filter("SELECT * FROM CIM_InstCreation WHERE SourceInstance ISA CIM_Nothing"), CIM_ERR_NOT_SUPPORTED,
         "CIM_Nothing"},
        {"a filter that does not exist", subscription(missingFilter, handler), CIM_ERR_INVALID_PARAMETER,
         "does not exist"},
        {"a subscription that expires", expiring, CIM_ERR_NOT_SUPPORTED, "SubscriptionDuration"},
        {"a second filter of that name", filter("SELECT * FROM CIM_InstCreation"), CIM_ERR_ALREADY_EXISTS,
         ""},
    };
    for (const Case& c : cases)
    {
        const CimResponse response = create(c.instance);
        EXPECT_EQ(c.code, response.errorCode) << c.what << ": " << response.errorDescription;
        EXPECT_NE(response.errorDescription.find(c.says), std::string::npos)
            << c.what << ": " << response.errorDescription;
    }

    // Only a subscription's state changes; turning it off and on again works.
    const CIMObjectPath subscribed = created(subscription(jobs, handler));
    CIMInstance disabled("CIM_IndicationSubscription");
    disabled.addProperty(CIMProperty("SubscriptionState", CIMValue(Uint16(4))));
    disabled.setPath(subscribed);
    IParam modified{"ModifiedInstance", {}};
    modified.value.kind = IParamValue::NamedInstance;
    modified.value.instance = disabled;
    EXPECT_FALSE(call("ModifyInstance", {modified}).isError);
    const CimResponse got = call("GetInstance", {pathParam("InstanceName", subscribed)});
    ASSERT_EQ(1u, got.instances.size());
    EXPECT_EQ("4", stringOf(got.instances[0], "SubscriptionState"));
    CIMInstance renamed = filter("SELECT * FROM CIM_InstDeletion");
    renamed.setPath(jobs);
    modified.value.instance = renamed;
    EXPECT_EQ(CIM_ERR_NOT_SUPPORTED, call("ModifyInstance", {modified}).errorCode);
}

} // namespace
