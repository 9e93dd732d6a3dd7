// Providers that break the response protocol, providers that call back into the host while
// their operation runs, the handle providers get, and many requests at once.
#include <atomic>
#include <thread>

#include <Pegasus/Common/Exception.h>

#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchProviders : public ::testing::Test
{
protected:
    CimResponse misbehave(const char* how)
    {
        Array<CIMParamValue> params;
        params.append(CIMParamValue("How", CIMValue(String(how))));
        return host.invoke(objectPath("Test_Broken", "Id", "b"), "Misbehave", params);
    }

    Host host;
};

const CIMObjectPath BROKEN = objectPath("Test_Broken", "Id", "b");

} // namespace

TEST_F(DispatchProviders, ProtocolBreachesFailTheRequestAndTheHostKeepsServing)
{
    EXPECT_CIM_ERROR(host.call("GetInstance", {pathParam("InstanceName", BROKEN)}), CIM_ERR_FAILED);
    EXPECT_CIM_ERROR(host.call("EnumerateInstances", {classParam("ClassName", "Test_Broken")}),
                     CIM_ERR_FAILED);
    CimResponse thrown = host.call("EnumerateInstanceNames", {classParam("ClassName", "Test_Broken")});
    EXPECT_CIM_ERROR(thrown, CIM_ERR_FAILED);
    EXPECT_NE(thrown.errorDescription.find("broken on purpose"), std::string::npos);
    CIMInstance broken(CIMName("Test_Broken"));
    broken.addProperty(CIMProperty(CIMName("Id"), CIMValue(String("b"))));
    EXPECT_CIM_ERROR(host.call("CreateInstance", {instanceParam("NewInstance", broken, false)}),
                     CIM_ERR_FAILED);
    broken.setPath(BROKEN);
    EXPECT_CIM_ERROR(host.call("ModifyInstance", {instanceParam("ModifiedInstance", broken, true)}),
                     CIM_ERR_FAILED);
    EXPECT_CIM_ERROR(host.call("DeleteInstance", {pathParam("InstanceName", BROKEN)}), CIM_ERR_FAILED);

    for (const char* how : {"deliverBeforeProcessing", "completeTwice", "neverComplete", "twoReturnValues",
                            "deliverAfterComplete", "throwStd", "throwUnknown", "throwPegasus"})
        EXPECT_CIM_ERROR(misbehave(how), CIM_ERR_FAILED) << how;
    EXPECT_CIM_ERROR(misbehave("throwNotFound"), CIM_ERR_NOT_FOUND);
    EXPECT_CIM_OK(misbehave("behave"));

    EXPECT_CIM_OK(host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))}));
}

TEST_F(DispatchProviders, ProvidersCallBackIntoTheHostFromInsideTheirOperations)
{
    CimResponse mirrors = host.call("EnumerateInstances", {classParam("ClassName", "Test_Mirror")});
    EXPECT_CIM_OK(mirrors);
    ASSERT_EQ(mirrors.instances.size(), 3u);
    Uint32 total = 0;
    for (Uint32 i = 0; i < mirrors.instances.size(); ++i)
        total += valueOf<Uint32>(mirrors.instances[i], "Size");
    EXPECT_EQ(total, 60u);

    CimResponse one =
        host.call("GetInstance", {pathParam("InstanceName", objectPath("Test_Mirror", "Id", "w2"))});
    EXPECT_EQ(valueOf<Uint32>(one.instances[0], "Size"), 20u);
    // The nested call's error reaches the client with its code.
    EXPECT_CIM_ERROR(
        host.call("GetInstance", {pathParam("InstanceName", objectPath("Test_Mirror", "Id", "zz"))}),
        CIM_ERR_NOT_FOUND);

    CimResponse counted =
        host.invoke(objectPath("Test_Mirror", "Id", "w1"), "CountWidgets", Array<CIMParamValue>());
    Uint32 count = 0;
    counted.returnValue.get(count);
    EXPECT_EQ(count, 3u);

    // A provider calling itself without end is stopped, not left to exhaust the stack.
    CimResponse recursion =
        host.invoke(objectPath("Test_Mirror", "Id", "w1"), "Recurse", Array<CIMParamValue>());
    EXPECT_CIM_ERROR(recursion, CIM_ERR_FAILED);
    EXPECT_NE(recursion.errorDescription.find("nested"), std::string::npos);
}

TEST_F(DispatchProviders, ManyThreadsExecuteRequestsAtOnce)
{
    const int threads = 6;
    const int rounds = 60;
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(
            [&, t]
            {
                for (int i = 0; i < rounds; ++i)
                {
                    std::string id = "t" + std::to_string(t) + "-" + std::to_string(i);
                    const CimResponse answers[] = {
                        host.call("CreateInstance",
                                  {instanceParam("NewInstance", newWidget(id.c_str(), Uint32(i)), false)}),
                        host.call("GetInstance", {pathParam("InstanceName", widgetPath(id.c_str()))}),
                        host.call("EnumerateInstances", {classParam("ClassName", "Test_Mirror")}),
                        host.call("AssociatorNames",
                                  {pathParam("ObjectName", objectPath("Test_Group", "Name", "g1"))}),
                        host.call("GetClass", {classParam("ClassName", "Test_SpecialWidget"),
                                               textParam("LocalOnly", "false")}),
                        host.invoke(widgetPath("w1"), "Echo", Array<CIMParamValue>()),
                        host.call("DeleteInstance", {pathParam("InstanceName", widgetPath(id.c_str()))})};
                    for (const CimResponse& answer : answers)
                        failures += answer.isError ? 1 : 0;
                }
            });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(host.call("EnumerateInstanceNames", {classParam("ClassName", "Test_Widget")}).paths.size(), 3u);
}
