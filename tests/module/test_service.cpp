// The service instance, method dispatch, pool lookups and the engine result mapping.
#include "ServiceHarness.h"

#include <KVELiPtr.h>

#include "StorageConfigurationServiceProvider.h"

namespace scs_test
{
namespace
{

class ServiceTest : public ServiceMethodTest
{
protected:
    void SetUp() override
    {
        ServiceMethodTest::SetUp();
        instances = dynamic_cast<CIMInstanceProvider*>(service);
    }
    CIMInstanceProvider* instances = nullptr;
};

TEST_F(ServiceTest, OneServiceInstanceForEitherClassWithTheSystemsKeys)
{
    const std::string system = KVELEngine::_ZarvoSystemNamePtr;
    for (std::string className : {"Zarvo_StorageConfigurationService", "cim_storageconfigurationservice"})
    {
        PathRecorder names;
        instances->enumerateInstanceNames(context, CIMObjectPath(("root/snia:" + className).c_str()), names);
        ASSERT_EQ(names.delivered.size(), 1u) << className;
        EXPECT_EQ(str(names.delivered[0].toString()),
                  "//" + std::string(KVELEngine::_ZarvoHostNamePtr) + "/root/snia:" + className +
                      ".CreationClassName=\"" + className + "\",Name=\"" + system +
                      "\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"" + system + "\"")
            << "spelt as requested";
    }
    PathRecorder none;
    instances->enumerateInstanceNames(context, CIMObjectPath("root/snia:CIM_StoragePool"), none);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"processing", "complete"}));

    // Any reference yields the current system's service; the flags are not applied.
    CIMObjectPath wrong = keyedPath("Zarvo_StorageConfigurationService", {{"Name", "SOMEONE-ELSE"}});
    InstanceRecorder got;
    instances->getInstance(context, wrong, false, false, CIMPropertyList(Array<CIMName>(1, CIMName("Name"))),
                           got);
    ASSERT_EQ(got.delivered.size(), 1u);
    const CIMInstance& served = got.delivered[0];
    ASSERT_EQ(served.getPropertyCount(), 4u);
    const char* order[] = {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"};
    for (Uint32 i = 0; i < 4; ++i)
    {
        CIMConstProperty property = served.getProperty(i);
        EXPECT_EQ(str(property.getName().getString()), order[i]);
        EXPECT_EQ(property.getType(), CIMTYPE_STRING);
        ASSERT_EQ(property.getQualifierCount(), 1u);
        EXPECT_EQ(str(property.getQualifier(0).getName().getString()), "Key");
    }
    EXPECT_EQ(keyOf(served.getPath(), "Name"), system);

    PlainRecorder plain;
    PathRecorder created;
    EXPECT_THROW(instances->deleteInstance(context, wrong, plain), CIMNotSupportedException);
    EXPECT_THROW(instances->createInstance(context, wrong, served, created), CIMNotSupportedException);
    EXPECT_THROW(instances->modifyInstance(context, wrong, served, false, CIMPropertyList(), plain),
                 CIMNotSupportedException);
}

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
    EXPECT_TRUE(trace.hasOnce("Configuration Class is : CIM_StoragePool"));

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
    const Uint32 slot = KVELEngine::_getControllerSlotId();
    auto controller = [&](const CIMObjectPath& path) { return params({param("Controller", path)}); };
    const Array<CIMParamValue> junk = params({param("Controller", Uint8(7))});
    const Lookup lookups[] = {
        {"GetUnavailablePool", junk, 0, "37000001"},
        {"GetAvailablePool", junk, 0, "37000003"},
        {"GetSparePool", junk, 0, "37000002"},
        {"GetBasePool", controller(systemRef(str(KVELiPtrComputerSystem::bladeName(slot)))), 0, "37000004"},
        {"GetBasePool", controller(systemRef(str(KVELiPtrComputerSystem::bladeName(1 - slot)))), 0,
         "37000004"},
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
        EXPECT_EQ(sint32Result(result), lookup.expected);
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
    {
        TraceCapture trace;
        MethodRecorder result = call(method, params({param("ElementName", String("p"))}));
        EXPECT_EQ(result.calls, (std::vector<std::string>{"processing", "complete"})) << method;
        EXPECT_TRUE(trace.hasOnce(std::string("StorageConfigurationService::") + method));
        EXPECT_TRUE(
            trace.containing(std::string("Entering StorageConfigurationServiceProvider::_handle") + method)
                .empty())
            << "the placeholders open no trace scope";
    }
}

TEST(ResultMapping, EngineCodesMapAsTheTableSays)
{
    typedef StorageConfigurationServiceProvider SCSP;
    struct Row
    {
        Uint32 engine, method;
    } rows[] = {{0, 2},  {1, 0},  {2, 0},  {3, 0},  {4, 32769}, {5, 2},         {6, 32768}, {7, 2},
                {9, 2},  {10, 3}, {11, 2}, {12, 2}, {13, 4},    {14, 5},        {22, 5},    {23, 4},
                {24, 5}, {25, 4}, {27, 3}, {28, 5}, {33, 4},    {34, 2},        {36, 2},    {37, 5},
                {40, 5}, {41, 4}, {43, 4}, {44, 2}, {1000, 2},  {0xFFFFFFFF, 2}};
    for (const Row& row : rows)
        EXPECT_EQ(SCSP::cimrcFromKvelRc(row.engine), row.method) << "engine result " << row.engine;
}

} // namespace
} // namespace scs_test
