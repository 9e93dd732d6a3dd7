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

    // Calls the method on the service path (or the given class); exceptions pass to the test.
    MethodRecorder call(const char* method, const Array<CIMParamValue>& in,
                        const char* serviceClass = "Zarvo_StorageConfigurationService")
    {
        MethodRecorder handler;
        service->invokeMethod(context, servicePath(serviceClass), method, in, handler);
        return handler;
    }
    // Calls a method that must fail with an engine failure; returns its exception.
    CIMException callFailing(const char* method, const Array<CIMParamValue>& in, MethodRecorder& handler)
    {
        try
        {
            service->invokeMethod(context, servicePath(), method, in, handler);
        }
        catch (const CIMException& e)
        {
            return e;
        }
        ADD_FAILURE() << method << " did not fail";
        return CIMException();
    }

    static Uint32 uint32Result(const MethodRecorder& handler)
    {
        CIMValue value = handler.returnValue();
        EXPECT_EQ(value.getType(), CIMTYPE_UINT32);
        Uint32 rc = 0xDEAD;
        if (value.getType() == CIMTYPE_UINT32) value.get(rc);
        return rc;
    }
    static Sint32 sint32Result(const MethodRecorder& handler)
    {
        CIMValue value = handler.returnValue();
        EXPECT_EQ(value.getType(), CIMTYPE_SINT32);
        Sint32 rc = -0xDEAD;
        if (value.getType() == CIMTYPE_SINT32) value.get(rc);
        return rc;
    }
    static std::string keyOf(const CIMObjectPath& path, const char* name)
    {
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        for (Uint32 i = 0; i < keys.size(); ++i)
            if (keys[i].getName() == CIMName(name)) return str(keys[i].getValue());
        return "<none>";
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
