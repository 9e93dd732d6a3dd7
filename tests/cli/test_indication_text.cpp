// What scsctl watch prints of the indications the array sends: a line each (kind, the instance and
// its key, what changed, an alert's severity and element) and a JSON object each, from embedded
// instances as our host sends them and as OpenPegasus sends them (objects without a path).
#include <gtest/gtest.h>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMProperty.h>

#include "ExportMessages.h"
#include "IndicationJson.h"
#include "IndicationText.h"

using namespace scsctl;
using namespace Pegasus;

namespace
{

CIMInstance job(Uint16 state, Uint16 percent, const char* elapsed = "00000000000005.000000:000")
{
    CIMInstance instance(CIMName("CIM_ConcreteJob"));
    instance.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String("3600000100000001"))));
    instance.addProperty(CIMProperty(CIMName("ElementName"), CIMValue(String("Create demo"))));
    instance.addProperty(CIMProperty(CIMName("JobState"), CIMValue(state)));
    instance.addProperty(CIMProperty(CIMName("PercentComplete"), CIMValue(percent)));
    instance.addProperty(CIMProperty(CIMName("ElapsedTime"), CIMValue(CIMDateTime(String(elapsed)))));
    return instance;
}

CIMInstance volume(Uint16 status)
{
    CIMInstance instance(CIMName("CIM_StorageVolume"));
    instance.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String("3A00000C"))));
    instance.addProperty(CIMProperty(CIMName("ElementName"), CIMValue(String("demo"))));
    instance.addProperty(CIMProperty(CIMName("BlockSize"), CIMValue(Uint64(512))));
    instance.addProperty(CIMProperty(CIMName("NumberOfBlocks"), CIMValue(Uint64(8388608))));
    Array<Uint16> statuses;
    statuses.append(status);
    instance.addProperty(CIMProperty(CIMName("OperationalStatus"), CIMValue(statuses)));
    return instance;
}

CIMInstance pool()
{
    CIMInstance instance(CIMName("CIM_StoragePool"));
    instance.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String("37000004"))));
    return instance;
}

// As our host embeds instances (CIMTYPE_INSTANCE), or as OpenPegasus does (CIMTYPE_OBJECT).
CIMValue embedded(const CIMInstance& instance, bool asObject)
{
    return asObject ? CIMValue(CIMObject(instance)) : CIMValue(instance);
}

CIMInstance about(const char* className, const CIMInstance& source, bool asObject = false)
{
    CIMInstance indication{CIMName(className)};
    indication.addProperty(CIMProperty(CIMName("IndicationIdentifier"), CIMValue(String("ZARVO-0001:7"))));
    indication.addProperty(CIMProperty(CIMName("SourceInstance"), embedded(source, asObject)));
    return indication;
}

CIMInstance modification(const CIMInstance& previous, const CIMInstance& current, bool asObject = false)
{
    CIMInstance indication = about("CIM_InstModification", current, asObject);
    indication.addProperty(CIMProperty(CIMName("PreviousInstance"), embedded(previous, asObject)));
    return indication;
}

CIMInstance driveAlert()
{
    CIMInstance alert(CIMName("CIM_AlertIndication"));
    alert.addProperty(CIMProperty(CIMName("AlertType"), CIMValue(Uint16(5))));
    alert.addProperty(CIMProperty(CIMName("PerceivedSeverity"), CIMValue(Uint16(5))));
    alert.addProperty(CIMProperty(CIMName("Description"), CIMValue(String("Drive failure"))));
    alert.addProperty(CIMProperty(
        CIMName("AlertingManagedElement"),
        CIMValue(String(
            "//array/root/snia:CIM_DiskDrive.CreationClassName=\"CIM_DiskDrive\",DeviceID=\"38000001\","
            "SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"ZARVO-0001\""))));
    return alert;
}

} // namespace

TEST(IndicationText, ALineSaysWhatHappenedToWhichInstance)
{
    const struct
    {
        const char* what;
        CIMInstance indication;
        const char* line;
        IndicationTopic topic;
    } cases[] = {
        {"a job starts", about("CIM_InstCreation", job(4, 0)),
         "12:00:01 created  CIM_ConcreteJob 3600000100000001 \"Create demo\"  Running 0%",
         IndicationTopic::Job},
        {"a job progresses", modification(job(4, 40), job(4, 60, "00000000000007.000000:000")),
         "12:00:01 modified CIM_ConcreteJob 3600000100000001 \"Create demo\"  PercentComplete 40 -> 60",
         IndicationTopic::Job},
        {"a job completes", modification(job(4, 90), job(7, 100), true),
         "12:00:01 modified CIM_ConcreteJob 3600000100000001 \"Create demo\"  JobState Running -> Completed, "
         "PercentComplete 90 -> 100",
         IndicationTopic::Job},
        {"only its clock moved", modification(job(4, 90), job(4, 90, "00000000000009.000000:000")),
         "12:00:01 modified CIM_ConcreteJob 3600000100000001 \"Create demo\"  ElapsedTime "
         "00000000000005.000000:000 -> 00000000000009.000000:000",
         IndicationTopic::Job},
        {"a volume appears", about("CIM_InstCreation", volume(2), true),
         "12:00:01 created  CIM_StorageVolume 3A00000C \"demo\"  4 GiB", IndicationTopic::Volume},
        {"a volume degrades", modification(volume(2), volume(3)),
         "12:00:01 modified CIM_StorageVolume 3A00000C \"demo\"  OperationalStatus OK -> Degraded",
         IndicationTopic::Volume},
        {"a volume goes", about("CIM_InstDeletion", volume(2)),
         "12:00:01 deleted  CIM_StorageVolume 3A00000C \"demo\"", IndicationTopic::Volume},
        {"a pool changes", modification(pool(), pool()), "12:00:01 modified CIM_StoragePool 37000004",
         IndicationTopic::Other},
        {"a drive fails", driveAlert(),
         "12:00:01 alert    Major Device Alert: Drive failure  CIM_DiskDrive 38000001",
         IndicationTopic::Alert},
    };
    for (const auto& test : cases)
    {
        EXPECT_EQ(test.line, indicationLine(test.indication, "12:00:01")) << test.what;
        EXPECT_EQ(test.topic, topicOf(test.indication)) << test.what;
    }
}

TEST(IndicationText, JsonHoldsEveryPropertyTypedWithTheEmbeddedInstances)
{
    // Through the export codec, as the listener gets it.
    const CIMInstance sent = modification(job(4, 90), job(7, 100));
    const CIMInstance received =
        cimhost::decodeExportIndication(cimhost::encodeExportIndication("1", sent)).indication;
    const nlohmann::ordered_json object = indicationJson(received, "2026-12-06T12:00:01Z");
    EXPECT_EQ("2026-12-06T12:00:01Z", object["received"]);
    EXPECT_EQ("modified", object["kind"]);
    EXPECT_EQ("CIM_InstModification", object["class"]);
    EXPECT_EQ("ZARVO-0001:7", object["properties"]["IndicationIdentifier"]);
    const auto& source = object["properties"]["SourceInstance"];
    EXPECT_EQ("CIM_ConcreteJob", source["class"]);
    EXPECT_EQ(7, source["properties"]["JobState"]);
    EXPECT_EQ("3600000100000001", source["properties"]["InstanceID"]);
    EXPECT_EQ("00000000000005.000000:000", source["properties"]["ElapsedTime"]);
    EXPECT_EQ(90, object["properties"]["PreviousInstance"]["properties"]["PercentComplete"]);
    EXPECT_EQ((std::vector<std::string>{"JobState", "PercentComplete"}),
              object["changed"].get<std::vector<std::string>>());

    const nlohmann::ordered_json alert = indicationJson(driveAlert(), "t");
    EXPECT_EQ("alert", alert["kind"]);
    EXPECT_EQ(5, alert["properties"]["PerceivedSeverity"]);
    EXPECT_FALSE(alert.contains("changed"));
}

TEST(IndicationText, ValuesTakeTheirJsonTypes)
{
    Array<Uint16> codes;
    codes.append(2);
    codes.append(17);
    Array<String> words;
    words.append("OK");
    const struct
    {
        CIMValue value;
        const char* json;
    } cases[] = {
        {CIMValue(Boolean(true)), "true"},
        {CIMValue(Sint32(-3)), "-3"},
        {CIMValue(Uint64(18446744073709551615ULL)), "18446744073709551615"},
        {CIMValue(Real64(0.5)), "0.5"},
        {CIMValue(codes), "[2,17]"},
        {CIMValue(words), "[\"OK\"]"},
        {CIMValue(String("a \"quoted\" name")), "\"a \\\"quoted\\\" name\""},
        {CIMValue(CIMTYPE_UINT16, false), "null"},
        {CIMValue(CIMDateTime(String("20261206120001.000000+000"))), "\"20261206120001.000000+000\""},
        {CIMValue(pool()), "{\"class\":\"CIM_StoragePool\",\"properties\":{\"InstanceID\":\"37000004\"}}"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.json, valueJson(test.value).dump());
}
