// The module frame: entry point, provider lifecycle, and the catch ladder every operation ends in.
#include "ModuleHarness.h"

#include <ProviderTraceServices.h>

namespace scs_test
{
namespace
{

class FrameTest : public ModuleTest
{
protected:
    // Runs OwningJobElementProvider::associators with the server handle throwing what `thrower`
    // throws; returns the CIMException that left the module (a default one when none did).
    CIMException associatorsFailingWith(std::function<void()> thrower)
    {
        CIMAssociationProvider* owning = provider<CIMAssociationProvider>("OwningJobElementProvider");
        cimomRep()->failure = thrower;
        ObjectRecorder handler;
        CIMException e = cimExceptionFrom(
            [&]
            {
                owning->associators(context, servicePath(), "CIM_OwningJobElement", "CIM_ConcreteJob", "", "",
                                    false, false, CIMPropertyList(), handler);
            });
        EXPECT_EQ(handler.calls, std::vector<std::string>{"processing"}) << "nothing after the failure";
        return e;
    }
};

TEST_F(FrameTest, EntryPointMatchesTheFourNamesIgnoringCaseOnly)
{
    TraceCapture trace;
    const char* accepted[] = {"AffectedJobElementProvider", "owningjobelementprovider", "CONCRETEJOBPROVIDER",
                              "StorageConfigurationServiceProvider"};
    CIMOMHandle emptyHandle;
    for (const char* name : accepted)
    {
        CIMProvider* made = entryPoint()(name);
        ASSERT_NE(made, nullptr) << name;
        made->initialize(emptyHandle);
        made->terminate();
        if (!String::equalNoCase(name, "ConcreteJobProvider")) delete made;
    }
    for (const char* name : {"ConcreteJob", "", " ConcreteJobProvider", "ConcreteJobProvider ", "Storage"})
        EXPECT_EQ(entryPoint()(name), nullptr) << "'" << name << "'";

    EXPECT_EQ(trace.lines().size(), 4u) << trace.raw();
    EXPECT_TRUE(trace.hasOnce("Starting up the StorageConfigurationService provider"));
}

TEST_F(FrameTest, CIMExceptionsPassUnchangedAsWarningsOnlyWithAnExpectedPrefixAndWithoutEvent)
{
    struct Case
    {
        bool notFound; // CIMObjectNotFoundException, else CIMInvalidParameterException
        const char* message;
        const char* traced; // the ladder's line, before the quoted message
    } cases[] = {
        {true, "no such thing", "WARNING: CIMObjectNotFoundException - : '"},
        {false, "Invalid Object handle 0x3a000002", "WARNING: CIMException - : '"},
        {false, "invalid object HANDLE", "WARNING: CIMException - : '"},
        {false, "Too few objects delivered by the drive", "WARNING: CIMException - : '"},
        {false, "Requested device has SMART disabled", "WARNING: CIMException - : '"},
        {false, "Invalid Object", "ERROR: CIMException - : '"},
        {false, "The drive is Invalid Object handle", "ERROR: CIMException - : '"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        TraceCapture trace;
        std::string message = c.message;
        CIMException e = associatorsFailingWith(
            [&]
            {
                if (c.notFound) throw CIMObjectNotFoundException(message.c_str());
                throw CIMInvalidParameterException(message.c_str());
            });
        EXPECT_EQ(e.getCode(), c.notFound ? CIM_ERR_NOT_FOUND : CIM_ERR_INVALID_PARAMETER);
        EXPECT_EQ(str(e.getMessage()), message);
        std::vector<TraceLine> lines = trace.find(c.traced + message + "'");
        ASSERT_EQ(lines.size(), 1u) << trace.raw();
        EXPECT_EQ(lines[0].marker, c.traced[0] == 'W' ? ":----" : ":ERR!");
        EXPECT_EQ(lines[0].file, "OwningJobElement");
    }
    EXPECT_TRUE(SMIEventServices::recordedEvents().empty());
}

TEST_F(FrameTest, OtherExceptionsBecomeFailedWithOneEvent)
{
    {
        TraceCapture trace;
        CIMException e = associatorsFailingWith([] { throw Exception("disk on fire"); });
        EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
        EXPECT_EQ(str(e.getMessage()), "disk on fire");
        std::vector<TraceLine> lines = trace.find("ERROR: Exception - : disk on fire");
        ASSERT_EQ(lines.size(), 1u) << trace.raw();
        EXPECT_EQ(lines[0].marker, ":ERR!");
        std::vector<SMIEventRecord> events = SMIEventServices::recordedEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].type, EMP_TYPE_ERROR);
        EXPECT_EQ(events[0].text, "disk on fire");
        EXPECT_EQ(events[0].file, "OwningJobElement");
        EXPECT_EQ(int(events[0].line), lines[0].line) << "event and trace carry the ladder's line";
    }
    SMIEventServices::clearRecordedEvents();
    {
        TraceCapture trace;
        CIMException e = associatorsFailingWith([] { throw 42; });
        EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
        std::string text = str(e.getMessage());
        std::vector<TraceLine> lines = trace.find(text);
        ASSERT_EQ(lines.size(), 1u) << trace.raw();
        EXPECT_EQ(lines[0].marker, ":ERR!");
        EXPECT_EQ(text, "ERROR: UNKNOWN EXCEPTION TYPE CAUGHT! - at OwningJobElement/" +
                            std::to_string(lines[0].line));
        std::vector<SMIEventRecord> events = SMIEventServices::recordedEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].text, text);
    }
}

TEST_F(FrameTest, FailuresClearSuppressionSoTheyAreTracedAndStillPublish)
{
    ProviderTraceServices::ptsIncrementTraceSuppressForPid(3);
    TraceCapture trace;
    CIMException e = associatorsFailingWith([] { throw Exception("quiet failure"); });
    EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    EXPECT_EQ(ProviderTraceServices::ptsGetTraceSuppressForPid(), 0);
    EXPECT_TRUE(trace.hasOnce("ERROR: Exception - : quiet failure"));
    EXPECT_TRUE(trace.containing("CIMObjectPath=").empty()) << "the prologue ran while suppressed";
    EXPECT_EQ(SMIEventServices::recordedEvents().size(), 1u);
}

} // namespace
} // namespace scs_test
