// The pools' capabilities: what they announce from the pool's online drives, and CreateSetting.
#include "InventoryHarness.h"

#include <Pegasus/Common/CIMParamValue.h>

namespace scs_test
{
namespace
{

class PoolCapabilitiesTest : public InventoryTest
{
protected:
    CIMInstance capabilities(Uint32 poolID)
    {
        return get("StorageCapabilitiesProvider", capabilitiesRef(poolID));
    }

    void invoke(const CIMObjectPath& path, const char* method, const Array<CIMParamValue>& in,
                MethodRecorder& result)
    {
        CIMMethodProvider* methods = dynamic_cast<CIMMethodProvider*>(made("StorageCapabilitiesProvider"));
        ASSERT_NE(methods, nullptr);
        methods->invokeMethod(context, path, CIMName(method), in, result);
    }
    static Array<CIMParamValue> settingType(const CIMValue& value)
    {
        Array<CIMParamValue> in;
        in.append(CIMParamValue(String("SettingType"), value));
        return in;
    }
    // Calls CreateSetting on the pool's capabilities, expects success and returns the new record.
    Uint32 createSetting(Uint32 poolID, const Array<CIMParamValue>& in = Array<CIMParamValue>())
    {
        MethodRecorder result;
        invoke(capabilitiesRef(poolID), "CreateSetting", in, result);
        EXPECT_TRUE(result.returnValue() == CIMValue(Uint32(0)));
        EXPECT_EQ(result.outputNames(), std::vector<std::string>{"NewSetting"});
        const CIMValue output = result.output("NewSetting");
        EXPECT_EQ(output.getType(), CIMTYPE_REFERENCE);
        CIMObjectPath setting;
        output.get(setting);
        return idOf(get("StorageSettingProvider", setting).getPath());
    }

    struct Announced
    {
        Uint16 copiesMax, failuresMax;
        bool noSinglePointOfFailure;
        Uint16 copies, failures, width; // the default layout
    };
    void expectAnnounced(Uint32 poolID, const Announced& expected)
    {
        SCOPED_TRACE(hex(poolID));
        const CIMInstance found = capabilities(poolID);
        EXPECT_EQ(valueAs<Uint16>(found, "DataRedundancyMax"), expected.copiesMax);
        EXPECT_EQ(valueAs<Uint16>(found, "PackageRedundancyMax"), expected.failuresMax);
        EXPECT_EQ(valueAs<Boolean>(found, "NoSinglePointOfFailure"), expected.noSinglePointOfFailure);
        EXPECT_EQ(valueAs<Uint16>(found, "DataRedundancyDefault"), expected.copies);
        EXPECT_EQ(valueAs<Uint16>(found, "PackageRedundancyDefault"), expected.failures);
        EXPECT_EQ(valueAs<Uint16>(found, "ExtentStripeLengthDefault"), expected.width);
    }
};

TEST_F(PoolCapabilitiesTest, CreateSettingMakesARecordWithTheDefaultLayoutTheCapabilitiesAnnounce)
{
    for (Uint32 pool : objects(CLASSID_STORAGEPOOL))
    {
        SCOPED_TRACE(hex(pool));
        const CIMInstance announced = capabilities(pool);
        const size_t before = settings().size();
        const Uint32 id = createSetting(pool);
        EXPECT_EQ(settings().size(), before + 1);
        const CIMInstance setting = get("StorageSettingProvider", hintsRef(id));
        const std::pair<const char*, const char*> defaults[] = {
            {"DataRedundancyGoal", "DataRedundancyDefault"},
            {"PackageRedundancyGoal", "PackageRedundancyDefault"},
            {"ExtentStripeLength", "ExtentStripeLengthDefault"},
            {"UserDataStripeDepth", "UserDataStripeDepthDefault"},
            {"NoSinglePointOfFailure", "NoSinglePointOfFailureDefault"}};
        for (const auto& goal : defaults)
            EXPECT_TRUE(valueOf(setting, goal.first) == valueOf(announced, goal.second)) << goal.first;
        EXPECT_EQ(volume(id)->PoolObjectID, pool);
    }
}

TEST_F(PoolCapabilitiesTest, SettingTypesDefaultAndGoalWorkOthersReturnInvalidParameter)
{
    createSetting(BASE_POOL, settingType(CIMValue(Uint16(3)))); // 2 is the walkthrough's
    createSetting(BASE_POOL, settingType(CIMValue(CIMTYPE_UINT16, false)));

    const size_t before = settings().size();
    MethodRecorder other;
    invoke(capabilitiesRef(BASE_POOL), "CreateSetting", settingType(CIMValue(Uint16(7))), other);
    EXPECT_TRUE(other.returnValue() == CIMValue(Uint32(5)));
    EXPECT_FALSE(other.hasOutput("NewSetting"));

    MethodRecorder mistyped, unknownMethod, unknownPool, notCapabilities;
    EXPECT_THROW(
        invoke(capabilitiesRef(BASE_POOL), "CreateSetting", settingType(CIMValue(Uint32(3))), mistyped),
        CIMInvalidParameterException);
    EXPECT_THROW(invoke(capabilitiesRef(BASE_POOL), "CreateSettings", Array<CIMParamValue>(), unknownMethod),
                 CIMMethodNotFoundException);
    EXPECT_THROW(invoke(capabilitiesRef(0x37000099), "CreateSetting", Array<CIMParamValue>(), unknownPool),
                 CIMObjectNotFoundException);
    EXPECT_THROW(invoke(poolRef(BASE_POOL), "CreateSetting", Array<CIMParamValue>(), notCapabilities),
                 CIMObjectNotFoundException);
    EXPECT_EQ(settings().size(), before);
}

TEST_F(PoolCapabilitiesTest, CapabilitiesFollowThePoolsOnlineDrives)
{
    // Two copies striped over up to four drives each, while the pool has two drives or more.
    expectAnnounced(BASE_POOL, {4, 3, true, 2, 1, 4});         // 12 drives
    expectAnnounced(SPARE_POOL, {2, 1, true, 2, 1, 1});        // 2
    expectAnnounced(AVAILABLE_POOL, {2, 1, true, 2, 1, 1});    // 2
    expectAnnounced(UNAVAILABLE_POOL, {1, 0, false, 1, 0, 1}); // none

    const std::vector<Uint32> spares = drivesInPool(SPARE_POOL);
    ASSERT_EQ(spares.size(), 2u);
    for (Uint32 drive : spares)
        ASSERT_EQ(engine().transferDrive(drive, AVAILABLE_POOL), Uint32(KVEL_RC_SUCCESS));
    expectAnnounced(AVAILABLE_POOL, {4, 3, true, 2, 1, 2});
    expectAnnounced(SPARE_POOL, {1, 0, false, 1, 0, 1});

    // Down drives do not count.
    const std::vector<Uint32> available = drivesInPool(AVAILABLE_POOL);
    KVELTask down;
    ASSERT_EQ(engine().downDrive(available[0], &down), Uint32(KVEL_RC_SUCCESS));
    advance(60 * 1000000ULL);
    ASSERT_EQ(drive(available[0])->PoolObjectID, UNAVAILABLE_POOL);
    expectAnnounced(AVAILABLE_POOL, {3, 2, true, 2, 1, 1});
    expectAnnounced(UNAVAILABLE_POOL, {1, 0, false, 1, 0, 1});

    ASSERT_EQ(engine().transferDrive(available[1], SPARE_POOL), Uint32(KVEL_RC_SUCCESS));
    ASSERT_EQ(engine().transferDrive(available[2], SPARE_POOL), Uint32(KVEL_RC_SUCCESS));
    expectAnnounced(AVAILABLE_POOL, {1, 0, false, 1, 0, 1});
    const Uint32 single = createSetting(AVAILABLE_POOL);
    EXPECT_EQ(volume(single)->VolumeOrganization, KVELVolume::VOLUME_ORGANIZATION_STRIPED);
    EXPECT_EQ(volume(single)->StripeWidth, 1u);
    EXPECT_FALSE(volume(single)->NoSinglePointOfFailure);
}

} // namespace
} // namespace scs_test
