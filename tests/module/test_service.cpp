// Method dispatch and the pool lookups of the service (the concurrent stress test asks for each
// fixed pool and for both controllers' base pool through cimhost, references.sh for the other
// controller's).
#include "ServiceHarness.h"

namespace scs_test
{
namespace
{

typedef ServiceMethodTest ServiceTest;

TEST_F(ServiceTest, MethodNamesMatchIgnoringCaseAndUnknownOnesFailTwice)
{
    TraceCapture trace;
    MethodRecorder spare = call("gEtSpArEpOoL");
    EXPECT_EQ(spare.calls, (std::vector<std::string>{"processing", "param:Pool", "deliver", "complete"}));

    for (const char* unknown : {"GetMaximumVolumeSize", "NoSuchMethod"})
    {
        TraceCapture failing;
        const std::string message = std::string("StorageConfigurationService: Unhandled method: ") + unknown;
        CIMException e = cimExceptionFrom([&] { call(unknown); });
        EXPECT_EQ(e.getCode(), CIM_ERR_INVALID_PARAMETER);
        EXPECT_EQ(str(e.getMessage()), message);
        std::vector<TraceLine> errors;
        for (const TraceLine& line : failing.lines())
            if (line.marker == ":ERR!") errors.push_back(line);
        ASSERT_EQ(errors.size(), 2u) << failing.raw();
        EXPECT_TRUE(errors[0].hasText(message));
        EXPECT_TRUE(errors[1].hasText("ERROR: CIMException - : '" + message + "'"));
    }
}

TEST_F(ServiceTest, InvokeMethodTracesTheCallAndIgnoresOtherClasses)
{
    TraceCapture trace;
    MethodRecorder other =
        call("CreateVolume", params({param("Size", Uint64(1024)), param("ElementName", String("v1"))}),
             poolRef(KVELPool::BASE_POOL_ID));
    EXPECT_EQ(other.calls, (std::vector<std::string>{"processing", "complete"}));
    EXPECT_TRUE(trace.hasOnce("..methodName='CreateVolume'  Params(2)=={Size='1024' ElementName='v1' }"));

    // A service path naming another system still dispatches: only the class is checked.
    CIMObjectPath otherSystem(
        "//elsewhere/root/snia:CIM_StorageConfigurationService.Name=\"X\",SystemName=\"X\"");
    EXPECT_TRUE(call("GetSparePool", Array<CIMParamValue>(), otherSystem).hasOutput("Pool"));
}

TEST_F(ServiceTest, PoolLookupsAnswerFixedPoolsAsSint32)
{
    struct Lookup
    {
        const char* method;
        Array<CIMParamValue> in;
        Sint32 expected;
        const char* pool; // when expected is 0
    };
    auto controller = [&](const CIMObjectPath& path) { return params({param("Controller", path)}); };
    const Lookup lookups[] = {
        {"GetSparePool", params({param("Controller", Uint8(7))}), 0, "37000002"},
        // The array itself is not a controller.
        {"GetBasePool", controller(systemRef(KVELEngine::_ZarvoSystemNamePtr)), 5, nullptr},
        // Unreadable: this controller.
        {"GetBasePool", controller(CIMObjectPath("root/snia:CIM_ComputerSystem.Name=\"unknown-box\"")), 0,
         "37000004"},
        {"GetBasePool", controller(CIMObjectPath("root/snia:CIM_ComputerSystem")), 0, "37000004"},
    };
    for (const Lookup& lookup : lookups)
    {
        MethodRecorder result = call(lookup.method, lookup.in);
        SCOPED_TRACE(std::string(lookup.method) + " " + str(lookup.in[0].getValue().toString()));
        EXPECT_EQ(answer<Sint32>(result), lookup.expected);
        EXPECT_EQ(result.hasOutput("Pool"), lookup.pool != nullptr);
        if (lookup.pool)
        {
            EXPECT_EQ(keyOf(outputPath(result, "Pool"), "InstanceID"), lookup.pool);
        }
    }
    EXPECT_THROW(call("GetBasePool"), CIMException) << "no Controller at all";
}

TEST_F(ServiceTest, PoolPlaceholdersAnswerNothing)
{
    for (const char* method : {"CreateOrModifyStoragePool", "DeleteStoragePool"})
        EXPECT_EQ(call(method, params({param("ElementName", String("p"))})).calls,
                  (std::vector<std::string>{"processing", "complete"}))
            << method;
}

} // namespace
} // namespace scs_test
