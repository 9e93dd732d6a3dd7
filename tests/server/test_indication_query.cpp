// Indication filter queries: the forms SMI-S clients send are understood and matched as CQL means
// them; everything else is refused with the reason when the filter is made.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMProperty.h>

#include "IndicationQuery.h"

using namespace Pegasus;
using cimhost::IndicationQuery;
using cimhost::IndicationQueryError;

namespace
{

// The class tree the tests need: jobs and volumes under CIM_ManagedElement.
bool isA(const CIMName& className, const CIMName& ancestor)
{
    if (className.equal(ancestor)) return true;
    if (className.equal(CIMName("CIM_ConcreteJob"))) return ancestor.equal(CIMName("CIM_Job"));
    return false;
}

CIMInstance job(Uint16 state, const std::vector<Uint16>& status, const char* name = "scan")
{
    CIMInstance instance(CIMName("CIM_ConcreteJob"));
    instance.addProperty(CIMProperty(CIMName("JobState"), CIMValue(state)));
    instance.addProperty(CIMProperty(CIMName("OperationalStatus"),
                                     CIMValue(Array<Uint16>(status.data(), Uint32(status.size())))));
    instance.addProperty(CIMProperty(CIMName("Name"), CIMValue(String(name))));
    instance.addProperty(CIMProperty(CIMName("ErrorCode"), CIMValue(CIMTYPE_UINT16, false)));
    return instance;
}

CIMInstance modification(const CIMInstance& source, const CIMInstance& previous)
{
    CIMInstance indication(CIMName("CIM_InstModification"));
    indication.addProperty(CIMProperty(CIMName("SourceInstance"), CIMValue(source)));
    indication.addProperty(CIMProperty(CIMName("PreviousInstance"), CIMValue(previous)));
    indication.addProperty(CIMProperty(CIMName("PerceivedSeverity"), CIMValue(Uint16(2))));
    return indication;
}

bool matches(const std::string& language, const std::string& where, const CIMInstance& indication)
{
    return IndicationQuery::parse(language, "SELECT * FROM CIM_InstModification WHERE " + where)
        .matches(indication, isA);
}

} // namespace

TEST(IndicationQuery, ConditionsMatchAsCqlMeansThem)
{
    // A job that completed (7, OK and Completed) after running (4).
    const CIMInstance done = modification(job(7, {2, 17}), job(4, {2}));
    struct Case
    {
        const char* where;
        bool matched;
    };
    const Case cases[] = {
        {"SourceInstance ISA CIM_ConcreteJob", true},
        {"SourceInstance ISA CIM_Job", true},
        {"SourceInstance ISA CIM_StorageVolume", false},
        {"sourceinstance isa CIM_ConcreteJob AND SourceInstance.CIM_ConcreteJob::JobState = 7", true},
        {"SourceInstance.CIM_StorageVolume::JobState = 7", false}, // not of that class: unknown
        {"SourceInstance.JobState >= 7 AND PreviousInstance.JobState < 7", true},
        {"7 = SourceInstance.JobState", true},
        {"5 < SourceInstance.JobState", true},
        {"ANY SourceInstance.OperationalStatus[*] = 17", true},
        {"ANY PreviousInstance.OperationalStatus[*] = 17", false},
        {"EVERY SourceInstance.OperationalStatus[*] >= 2", true},
        {"SourceInstance.Name = 'scan'", true},
        {"SourceInstance.Name = \"SCAN\"", false},
        {"SourceInstance.ErrorCode IS NULL", true},
        {"SourceInstance.NoSuchProperty IS NULL", true},
        {"SourceInstance.JobState IS NOT NULL", true},
        // Unknown is neither true nor false: NOT does not turn it into a match.
        {"NOT SourceInstance.ErrorCode = 3", false},
        {"NOT (SourceInstance.ErrorCode = 3) OR SourceInstance.JobState = 7", true},
        {"SourceInstance.JobState = 'seven'", false},
        {"PerceivedSeverity = 2 AND NOT (SourceInstance.JobState = 8 OR SourceInstance.JobState = 9)", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matches("DMTF:CQL", c.where, done), c.matched) << c.where;
    EXPECT_TRUE(matches("WQL", "SourceInstance ISA CIM_ConcreteJob AND SourceInstance.JobState = 7", done));
    EXPECT_TRUE(IndicationQuery::parse("wql", "select * from CIM_InstCreation").matches(done, isA));
}

TEST(IndicationQuery, TheSourceClassAndIndicationClassAreKnownForChoosingProviders)
{
    const IndicationQuery query = IndicationQuery::parse(
        "DMTF:CQL", "SELECT * FROM CIM_InstModification WHERE SourceInstance.JobState = 7 AND "
                    "(SourceInstance ISA CIM_ConcreteJob) AND SourceInstance ISA CIM_Job");
    EXPECT_TRUE(query.indicationClass().equal(CIMName("CIM_InstModification")));
    EXPECT_TRUE(query.sourceInstanceClass().equal(CIMName("CIM_ConcreteJob")));
    // Providers are told the condition as the client wrote it.
    EXPECT_EQ(query.conditionText(),
              "SourceInstance.JobState = 7 AND (SourceInstance ISA CIM_ConcreteJob) AND SourceInstance ISA CIM_Job");
    EXPECT_EQ(IndicationQuery::parse("WQL", "SELECT * FROM CIM_InstCreation").conditionText(), "");
    // Under OR the class is not required.
    EXPECT_TRUE(IndicationQuery::parse("DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance ISA "
                                                   "CIM_ConcreteJob OR SourceInstance ISA CIM_StorageVolume")
                    .sourceInstanceClass()
                    .isNull());
}

TEST(IndicationQuery, UnsupportedQueriesAreRefusedSayingWhy)
{
    struct Case
    {
        const char* language;
        const char* query;
        const char* reason;
    };
    const Case cases[] = {
        {"CQL2", "SELECT * FROM CIM_InstCreation", "not supported: WQL or DMTF:CQL"},
        {"WQL", "SELECT JobState FROM CIM_InstCreation", "only SELECT * is supported"},
        {"WQL", "SELECT * CIM_InstCreation", "expected FROM"},
        {"WQL", "SELECT * FROM", "expected a class name, found the end of the query"},
        {"WQL", "SELECT * FROM CIM_InstCreation WHERE", "expected a property"},
        {"WQL", "SELECT * FROM CIM_InstCreation ORDER BY x", "expected WHERE or the end of the query"},
        {"DMTF:CQL",
         "SELECT * FROM CIM_InstModification WHERE SourceInstance.JobState <> PreviousInstance.JobState",
         "expected a number, a string, TRUE or FALSE"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.Name LIKE 'a%'",
         "expected a comparison operator"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.OperationalStatus[*] = 2",
         "needs ANY or EVERY"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE ANY SourceInstance.OperationalStatus = 2",
         "ANY and EVERY take an array written with [*]"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE JobState ISA CIM_Job",
         "ISA applies to SourceInstance"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance = 3", "expected ISA or a property"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.Name = 'open",
         "string is not closed"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE (SourceInstance.JobState = 7", "expected ')'"},
        {"DMTF:CQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.JobState = 7;", "';' is not part"},
    };
    for (const Case& c : cases)
    {
        try
        {
            IndicationQuery::parse(c.language, c.query);
            ADD_FAILURE() << "accepted: " << c.query;
        }
        catch (const IndicationQueryError& e)
        {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.query << ": " << e.what();
        }
    }
}
