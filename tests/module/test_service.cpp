// The service instance, method dispatch, pool lookups and the engine result mapping.
#include "ModuleHarness.h"

#include <KVELiPtr.h>

#include "StorageConfigurationServiceProvider.h"

namespace scs_test
{
namespace
{

class ServiceTest : public ModuleTest
{
protected:
    void SetUp() override
    {
        ModuleTest::SetUp();
        service = provider<CIMMethodProvider>("StorageConfigurationServiceProvider");
        instances = dynamic_cast<CIMInstanceProvider*>(service);
    }
    MethodRecorder call(const char* method, const Array<CIMParamValue>& in = Array<CIMParamValue>(),
                        const CIMObjectPath& target = CIMObjectPath())
    {
        MethodRecorder handler;
        service->invokeMethod(context, target.getClassName().isNull() ? servicePath() : target, method, in,
                              handler);
        return handler;
    }
    static std::string key(const CIMObjectPath& path, const char* name)
    {
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        for (Uint32 i = 0; i < keys.size(); ++i)
            if (keys[i].getName() == CIMName(name)) return str(keys[i].getValue());
        return "<none>";
    }
    CIMObjectPath computerSystem(const String& name)
    {
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding("CreationClassName", "CIM_ComputerSystem", CIMKeyBinding::STRING));
        keys.append(CIMKeyBinding("Name", name, CIMKeyBinding::STRING));
        return CIMObjectPath("", CIMNamespaceName("root/snia"), "CIM_ComputerSystem", keys);
    }

    CIMMethodProvider* service = nullptr;
    CIMInstanceProvider* instances = nullptr;
};

TEST_F(ServiceTest, OneServiceInstanceForEitherClassWithTheSystemsKeys)
{
    for (const char* className : {"Zarvo_StorageConfigurationService", "cim_storageconfigurationservice"})
    {
        PathRecorder names;
        instances->enumerateInstanceNames(
            context, CIMObjectPath(std::string("root/snia:").append(className).c_str()), names);
        ASSERT_EQ(names.delivered.size(), 1u) << className;
        const CIMObjectPath& path = names.delivered[0];
        EXPECT_EQ(str(path.getClassName().getString()), className) << "spelt as requested";
        EXPECT_EQ(key(path, "Name"), key(path, "SystemName"));
        EXPECT_EQ(key(path, "Name"), KVELEngine::_ZarvoSystemNamePtr);
        EXPECT_EQ(key(path, "SystemCreationClassName"), "CIM_ComputerSystem");
        EXPECT_EQ(key(path, "CreationClassName"), className);
        EXPECT_EQ(str(path.getHost()), KVELEngine::_ZarvoHostNamePtr);
        EXPECT_EQ(str(path.getNameSpace().getString()), "root/snia");
    }
    PathRecorder none;
    instances->enumerateInstanceNames(context, CIMObjectPath("root/snia:CIM_StoragePool"), none);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"processing", "complete"}));

    // Any reference yields the current system's service; the flags are not applied.
    CIMObjectPath wrong = servicePath();
    Array<CIMKeyBinding> keys = wrong.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName() == CIMName("Name")) keys[i].setValue("SOMEONE-ELSE");
    wrong.setKeyBindings(keys);
    InstanceRecorder got;
    Array<CIMName> onlyName;
    onlyName.append("Name");
    instances->getInstance(context, wrong, false, false, CIMPropertyList(onlyName), got);
    ASSERT_EQ(got.delivered.size(), 1u);
    CIMInstance service = got.delivered[0];
    ASSERT_EQ(service.getPropertyCount(), 4u);
    const char* order[] = {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"};
    for (Uint32 i = 0; i < 4; ++i)
    {
        CIMConstProperty property = static_cast<const CIMInstance&>(service).getProperty(i);
        EXPECT_EQ(str(property.getName().getString()), order[i]);
        EXPECT_EQ(property.getType(), CIMTYPE_STRING);
        ASSERT_EQ(property.getQualifierCount(), 1u);
        EXPECT_EQ(str(property.getQualifier(0).getName().getString()), "Key");
    }
    EXPECT_EQ(key(service.getPath(), "Name"), KVELEngine::_ZarvoSystemNamePtr);

    for (auto refuse :
         std::vector<std::function<void()>>{[&]
                                            {
                                                PlainRecorder h;
                                                instances->deleteInstance(context, wrong, h);
                                            },
                                            [&]
                                            {
                                                PathRecorder h;
                                                instances->createInstance(context, wrong, service, h);
                                            },
                                            [&]
                                            {
                                                PlainRecorder h;
                                                instances->modifyInstance(context, wrong, service, false,
                                                                          CIMPropertyList(), h);
                                            }})
        EXPECT_THROW(refuse(), CIMNotSupportedException);
}

TEST_F(ServiceTest, MethodNamesMatchIgnoringCaseAndUnknownOnesFailTwice)
{
    TraceCapture trace;
    MethodRecorder spare = call("gEtSpArEpOoL");
    EXPECT_EQ(spare.calls, (std::vector<std::string>{"processing", "param:Pool", "deliver", "complete"}));

    for (const char* unknown : {"GetMaximumVolumeSize", "NoSuchMethod"})
    {
        TraceCapture failing;
        try
        {
            call(unknown);
            ADD_FAILURE() << unknown << " was dispatched";
        }
        catch (const CIMException& e)
        {
            EXPECT_EQ(e.getCode(), CIM_ERR_INVALID_PARAMETER);
            EXPECT_EQ(str(e.getMessage()),
                      std::string("StorageConfigurationService: Unhandled method: ") + unknown);
        }
        std::vector<TraceLine> errors;
        for (const TraceLine& line : failing.lines())
            if (line.marker == ":ERR!") errors.push_back(line);
        ASSERT_EQ(errors.size(), 2u) << failing.raw();
        EXPECT_TRUE(
            errors[0].hasText(std::string("StorageConfigurationService: Unhandled method: ") + unknown));
        EXPECT_TRUE(errors[1].hasText(std::string("ERROR: CIMException - : 'StorageConfigurationService: "
                                                  "Unhandled method: ") +
                                      unknown + "'"));
    }
}

TEST_F(ServiceTest, InvokeMethodTracesTheCallAndIgnoresOtherClasses)
{
    TraceCapture trace;
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Size", CIMValue(Uint64(1024))));
    in.append(CIMParamValue("ElementName", CIMValue(String("v1"))));
    MethodRecorder other = call("CreateVolume", in, poolRef(KVELPool::BASE_POOL_ID));
    EXPECT_EQ(other.calls, (std::vector<std::string>{"processing", "complete"}));
    EXPECT_EQ(trace.find("..methodName='CreateVolume'  Params(2)=={Size='1024' ElementName='v1' }").size(),
              1u)
        << trace.raw();
    EXPECT_EQ(trace.find("Configuration Class is : CIM_StoragePool").size(), 1u);

    // A service path naming another system still dispatches: only the class is checked.
    CIMObjectPath otherSystem(
        "//elsewhere/root/snia:CIM_StorageConfigurationService.Name=\"X\",SystemName=\"X\"");
    MethodRecorder spare = call("GetSparePool", Array<CIMParamValue>(), otherSystem);
    EXPECT_TRUE(spare.hasOutput("Pool"));
}

TEST_F(ServiceTest, PoolLookupsAnswerFixedPoolsAsSint32)
{
    struct Lookup
    {
        const char* method;
        Uint32 pool;
    } lookups[] = {
        {"GetUnavailablePool", 0x37000001}, {"GetAvailablePool", 0x37000003}, {"GetSparePool", 0x37000002}};
    for (const Lookup& lookup : lookups)
    {
        Array<CIMParamValue> junk;
        junk.append(CIMParamValue("Controller", CIMValue(Uint8(7))));
        MethodRecorder result = call(lookup.method, junk);
        EXPECT_EQ(result.returnValue().getType(), CIMTYPE_SINT32) << lookup.method;
        Sint32 rc = -1;
        result.returnValue().get(rc);
        EXPECT_EQ(rc, 0);
        CIMObjectPath pool;
        result.output("Pool").get(pool);
        EXPECT_EQ(key(pool, "InstanceID"), hex(lookup.pool)) << lookup.method;
    }

    Uint32 slot = KVELEngine::_getControllerSlotId();
    struct Base
    {
        CIMObjectPath controller;
        Sint32 expected;
    } bases[] = {
        {computerSystem(KVELiPtrComputerSystem::bladeName(slot)), 0},
        {computerSystem(KVELiPtrComputerSystem::bladeName(1 - slot)), 0},
        {computerSystem(KVELEngine::_ZarvoSystemNamePtr), 5}, // the array itself is not a controller
        {CIMObjectPath("root/snia:CIM_ComputerSystem.Name=\"unknown-box\""),
         0}, // unreadable: this controller
        {CIMObjectPath("root/snia:CIM_ComputerSystem"), 0},
    };
    for (const Base& base : bases)
    {
        Array<CIMParamValue> in;
        in.append(CIMParamValue("Controller", CIMValue(base.controller)));
        MethodRecorder result = call("GetBasePool", in);
        Sint32 rc = -1;
        result.returnValue().get(rc);
        EXPECT_EQ(rc, base.expected) << str(base.controller.toString());
        EXPECT_EQ(result.hasOutput("Pool"), base.expected == 0);
        if (base.expected == 0)
        {
            CIMObjectPath pool;
            result.output("Pool").get(pool);
            EXPECT_EQ(key(pool, "InstanceID"), "37000004");
        }
    }
    EXPECT_THROW(call("GetBasePool"), CIMException) << "no Controller at all";
}

TEST_F(ServiceTest, PoolPlaceholdersAnswerNothing)
{
    for (const char* method : {"CreateOrModifyStoragePool", "DeleteStoragePool"})
    {
        TraceCapture trace;
        Array<CIMParamValue> in;
        in.append(CIMParamValue("ElementName", CIMValue(String("p"))));
        MethodRecorder result = call(method, in);
        EXPECT_EQ(result.calls, (std::vector<std::string>{"processing", "complete"})) << method;
        EXPECT_EQ(trace.find(std::string("StorageConfigurationService::") + method).size(), 1u)
            << trace.raw();
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
