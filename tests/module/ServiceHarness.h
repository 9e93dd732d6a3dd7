// What the tests of the service's methods share: the provider, calls with parameters, and
// reading return values and output references.
#ifndef SCS_TEST_ServiceHarness_h
#define SCS_TEST_ServiceHarness_h

#include <initializer_list>

#include "ModuleHarness.h"

namespace scs_test
{

class ServiceMethodTest : public ModuleTest
{
protected:
    void SetUp() override
    {
        ModuleTest::SetUp();
        service = provider<CIMMethodProvider>("StorageConfigurationServiceProvider");
    }

    static Array<CIMParamValue> params(std::initializer_list<CIMParamValue> values)
    {
        Array<CIMParamValue> in;
        for (const CIMParamValue& value : values)
            in.append(value);
        return in;
    }
    static CIMParamValue param(const char* name, const CIMValue& value) { return CIMParamValue(name, value); }

    // Calls the method on the service path (or `target`); exceptions pass to the test.
    MethodRecorder call(const char* method, const Array<CIMParamValue>& in = Array<CIMParamValue>(),
                        const CIMObjectPath& target = servicePath())
    {
        MethodRecorder handler;
        service->invokeMethod(context, target, method, in, handler);
        return handler;
    }
    // Calls a method that must fail with an engine failure; returns its exception.
    CIMException callFailing(const char* method, const Array<CIMParamValue>& in, MethodRecorder& handler)
    {
        return cimExceptionFrom([&] { service->invokeMethod(context, servicePath(), method, in, handler); });
    }

    // The one return value, which must have the CIM type of T.
    template <class T = Uint32> static T answer(const MethodRecorder& handler)
    {
        T rc = T(0xDEAD);
        EXPECT_NO_THROW(handler.returnValue().get(rc)) << "a return value of another CIM type";
        return rc;
    }
    // The uint32 return value of a method whose outputs do not matter.
    Uint32 uint32Of(const char* method, std::initializer_list<CIMParamValue> in)
    {
        return answer(call(method, params(in)));
    }
    static CIMObjectPath outputPath(const MethodRecorder& handler, const char* name)
    {
        CIMObjectPath path;
        handler.output(name).get(path);
        return path;
    }
    static Uint64 outputSize(const MethodRecorder& handler, const char* name = "Size")
    {
        Uint64 size = 0;
        handler.output(name).get(size);
        return size;
    }
    // A date-time parameter that many seconds from the start of the test's clock (before it when negative).
    static CIMDateTime inSeconds(Sint64 seconds)
    {
        const Uint64 posixEpoch = 62167219200000000ULL; // in the microseconds of a CIM date-time
        return CIMDateTime(posixEpoch + START_TIME + Uint64(seconds * 1000000), false);
    }
    // Schedules scans until the engine's task table refuses more.
    void fillTaskTable()
    {
        KVELTask scan;
        for (int i = 0; i < 256 && engine().scanVolume(volumes()[0], &scan) == KVEL_RC_SUCCESS; ++i)
            scan = KVELTask();
    }
    // The task of a "Job" output.
    Uint32 jobTask(const MethodRecorder& handler)
    {
        return engine().getObjectIDByKey(
            CLASSID_TASK, ManagedObject::hexToBin(keyOf(outputPath(handler, "Job"), "InstanceID").c_str()));
    }
    // A volume setting record made for the test.
    Uint32 newSetting(KVELVolume::VolumeOrganizationEnum organization, Uint16 copies, Uint16 width,
                      Uint16 efficiencyHint = 0)
    {
        KVELVolume layout;
        layout.Name = "test-setting";
        layout.VolumeOrganization = organization;
        layout.DataRedundancy = copies;
        layout.StripeWidth = width;
        layout.StorageEfficiencyHint = efficiencyHint;
        layout.PoolObjectID = KVELPool::BASE_POOL_ID;
        Uint32 id = 0;
        EXPECT_EQ(engine().createSetting(layout, id), Uint32(KVEL_RC_SUCCESS));
        return id;
    }

    CIMMethodProvider* service = nullptr;
};

// A fixture whose engine keeps a durable state file, so that a test can make every change
// answer "made, but not saved" (ModuleTest::removeStateFolder).
template <class Fixture> class WithDurableState : public Fixture
{
protected:
    void SetUp() override
    {
        this->durableState = true;
        Fixture::SetUp();
    }
};

} // namespace scs_test

#endif
