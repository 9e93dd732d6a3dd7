// Editing and deleting volume setting records through the settings provider.
#include "InventoryHarness.h"

#include <sstream>
#include <utility>

namespace scs_test
{
namespace
{

typedef std::vector<std::pair<const char*, CIMValue>> Changes;

CIMValue u16(Uint16 value)
{
    return CIMValue(value);
}

class SettingChangesTest : public InventoryTest
{
protected:
    Uint32 settingNamed(const std::string& name)
    {
        for (Uint32 id : settings())
            if (volume(id)->Name == name) return id;
        ADD_FAILURE() << "no setting record " << name;
        return 0;
    }
    CIMInstance read(Uint32 id) { return get("StorageSettingProvider", hintsRef(id)); }
    static CIMInstance with(CIMInstance instance, const Changes& changes)
    {
        for (const auto& change : changes)
        {
            const Uint32 index = instance.findProperty(CIMName(change.first));
            if (index != PEG_NOT_FOUND) instance.removeProperty(index);
            instance.addProperty(CIMProperty(CIMName(change.first), change.second));
        }
        return instance;
    }
    static CIMInstance only(const Changes& changes)
    {
        return with(CIMInstance(CIMName("CIM_StorageSettingWithHints")), changes);
    }

    void modify(const CIMObjectPath& path, const CIMInstance& instance,
                const CIMPropertyList& propertyList = CIMPropertyList())
    {
        PlainRecorder handler;
        instances("StorageSettingProvider")
            ->modifyInstance(context, path, instance, false, propertyList, handler);
        EXPECT_EQ(handler.calls.back(), "complete");
    }
    void modify(Uint32 id, const CIMInstance& instance) { modify(hintsRef(id), instance); }
    void remove(const CIMObjectPath& path)
    {
        PlainRecorder handler;
        instances("StorageSettingProvider")->deleteInstance(context, path, handler);
        EXPECT_EQ(handler.calls.back(), "complete");
    }

    // Every field a modification could change.
    std::string fields(Uint32 id)
    {
        std::unique_ptr<KVELVolume> v = volume(id);
        if (!v) return "<gone>";
        std::ostringstream out;
        out << v->Name << " org " << v->VolumeOrganization << " copies " << v->DataRedundancy << " package "
            << v->PackageRedundancy << " width " << v->StripeWidth << " chunk " << v->ChunkSize << " nspof "
            << v->NoSinglePointOfFailure << " hints " << v->StorageEfficiencyHint << "/"
            << v->AccessBandwidthWeight << " setting " << v->IsSetting;
        return out.str();
    }
    // The layout as the engine keeps it, checked against the goals the provider serves.
    void expectLayout(Uint32 id, KVELVolume::VolumeOrganizationEnum organization, Uint16 copies,
                      Uint16 package, Uint16 width)
    {
        std::unique_ptr<KVELVolume> v = volume(id);
        EXPECT_EQ(v->VolumeOrganization, organization);
        EXPECT_EQ(v->DataRedundancy, copies);
        EXPECT_EQ(v->PackageRedundancy, package);
        EXPECT_EQ(v->StripeWidth, width);
        EXPECT_EQ(valueAs<Uint16>(read(id), "DataRedundancyGoal"), copies);
        EXPECT_EQ(valueAs<Uint16>(read(id), "PackageRedundancyGoal"), package);
    }
    void expectRefused(Uint32 id, const CIMInstance& instance, const std::string& why)
    {
        const std::string before = fields(id);
        EXPECT_THROW(modify(id, instance), CIMInvalidParameterException) << why;
        EXPECT_EQ(fields(id), before) << why;
    }
};

// A whole instance sent back is the next test's; here, only the goals that change.
TEST_F(SettingChangesTest, TheGoalsChooseEachOrganizationAndTheEngineKeepsIt)
{
    const Uint32 id = settingNamed("striped-4");
    // Package redundancy left alone follows the number of copies.
    modify(id, only({{"DataRedundancyGoal", u16(3)}, {"ExtentStripeLength", u16(2)}}));
    expectLayout(id, KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 3, 2, 2);
    modify(id, only({{"DataRedundancyGoal", u16(1)},
                     {"PackageRedundancyGoal", u16(2)},
                     {"ExtentStripeLength", u16(8)},
                     {"UserDataStripeDepth", CIMValue(Uint64(128 * 1024))},
                     {"StorageEfficiencyHint", u16(7)},
                     {"AccessBandwidthWeight", u16(10)},
                     {"NoSinglePointOfFailure", CIMValue(true)},
                     {"ElementName", CIMValue(String("dparity wide"))}}));
    EXPECT_EQ(fields(id),
              "dparity wide org 6 copies 1 package 2 width 8 chunk 256 nspof 1 hints 7/10 setting 1");
}

TEST_F(SettingChangesTest, AClientMaySendBackTheWholeInstanceItReadWithSomeGoalsChanged)
{
    const Uint32 id = settingNamed("mirror-2way");
    modify(id, with(read(id), {{"DataRedundancyGoal", u16(1)}, {"ExtentStripeLength", u16(5)}}));
    expectLayout(id, KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 1, 5);
    modify(id, with(read(id), {{"PackageRedundancyGoal", u16(2)}, {"ExtentStripeLength", u16(6)}}));
    expectLayout(id, KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY, 1, 2, 6);

    // Min/Max and ParityLayout written as the new goals give them.
    modify(id, with(read(id), {{"DataRedundancyGoal", u16(2)},
                               {"DataRedundancyMin", u16(2)},
                               {"PackageRedundancyGoal", u16(1)},
                               {"PackageRedundancyMax", u16(1)},
                               {"ExtentStripeLength", u16(4)},
                               {"ExtentStripeLengthMax", u16(4)},
                               {"ParityLayout", CIMValue(CIMTYPE_UINT16, false)}}));
    expectLayout(id, KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 1, 4);

    // Back to a stripe: the redundancy flag the client sent as it read it follows the layout.
    ASSERT_TRUE(volume(id)->NoSinglePointOfFailure);
    modify(id, with(read(id), {{"DataRedundancyGoal", u16(1)}, {"PackageRedundancyGoal", u16(0)}}));
    expectLayout(id, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 0, 4);
    EXPECT_FALSE(volume(id)->NoSinglePointOfFailure);
}

TEST_F(SettingChangesTest, ValuesThatCannotBeTakenAreRefusedAndLeaveTheRecordAsItWas)
{
    const Uint32 id = settingNamed("striped-4"); // one copy, no parity, 4 drives
    // Chunks of 256 blocks, so that a depth silently replaced by the engine's default would show.
    modify(id, only({{"UserDataStripeDepth", CIMValue(Uint64(128 * 1024))}}));
    ASSERT_EQ(volume(id)->ChunkSize, 256u);
    const std::vector<std::pair<std::string, Changes>> refusals = {
        {"a minimum neither before nor after", {{"DataRedundancyMin", u16(3)}}},
        {"another ChangeableType", {{"ChangeableType", u16(0)}}},
        {"parity on a stripe", {{"ParityLayout", u16(3)}}},
        {"another key", {{"InstanceID", CIMValue(String(hex(settingNamed("mirror-2way")).c_str()))}}},
        {"a uint32 goal", {{"DataRedundancyGoal", CIMValue(Uint32(2))}}},
        {"a null goal", {{"DataRedundancyGoal", CIMValue(CIMTYPE_UINT16, false)}}},
        {"an empty name", {{"ElementName", CIMValue(String(""))}}},
        {"a hint above 10", {{"StorageEfficiencyHint", u16(11)}}},
        {"a depth in part blocks", {{"UserDataStripeDepth", CIMValue(Uint64(64 * 1024 + 100))}}},
        {"a depth of 24 blocks", {{"UserDataStripeDepth", CIMValue(Uint64(24 * 512))}}},
        {"a depth of 0", {{"UserDataStripeDepth", CIMValue(Uint64(0))}}},
        {"a stripe over 17 drives", {{"ExtentStripeLength", u16(17)}}},
        {"parity over 2 drives", {{"PackageRedundancyGoal", u16(1)}, {"ExtentStripeLength", u16(2)}}},
        {"no copy of the data", {{"DataRedundancyGoal", u16(0)}}},
        {"two copies, two failures", {{"DataRedundancyGoal", u16(2)}, {"PackageRedundancyGoal", u16(2)}}},
        {"three failures of one copy", {{"PackageRedundancyGoal", u16(3)}, {"ExtentStripeLength", u16(8)}}},
        {"no single point of failure on a stripe", {{"NoSinglePointOfFailure", CIMValue(true)}}},
        {"an unknown property", {{"StripeColour", CIMValue(String("blue"))}}},
        {"a good name with a bad hint",
         {{"ElementName", CIMValue(String("renamed"))}, {"AccessBandwidthWeight", u16(12)}}},
    };
    for (const auto& refusal : refusals)
        expectRefused(id, only(refusal.second), refusal.first);

    const Uint32 mirror = settingNamed("mirror-2way");
    expectRefused(mirror, only({{"DataRedundancyGoal", u16(3)}, {"PackageRedundancyGoal", u16(0)}}),
                  "three copies that survive no failure");
    expectRefused(mirror, with(read(mirror), {{"PackageRedundancyGoal", u16(3)}}),
                  "two copies surviving three");
}

TEST_F(SettingChangesTest, ThePropertyListLimitsWhatIsTaken)
{
    const Uint32 id = settingNamed("striped-4");
    const CIMInstance instance = only({{"ElementName", CIMValue(String("renamed"))},
                                       {"DataRedundancyGoal", u16(3)},
                                       {"StorageEfficiencyHint", u16(99)},
                                       {"StripeColour", CIMValue(String("blue"))}});
    const std::string before = fields(id);
    modify(hintsRef(id), instance, CIMPropertyList(Array<CIMName>()));
    EXPECT_EQ(fields(id), before) << "an empty list takes nothing";
    modify(hintsRef(id), instance, CIMPropertyList(Array<CIMName>(1, CIMName("ElementName"))));
    EXPECT_EQ(volume(id)->Name, "renamed");
    EXPECT_EQ(volume(id)->DataRedundancy, 1u);
    EXPECT_EQ(volume(id)->StorageEfficiencyHint, 0u);
}

TEST_F(SettingChangesTest, OnlySettingRecordsCanBeModifiedOrDeleted)
{
    const Uint32 aVolume = volumes().front(), setting = settingNamed("parity-4+1"),
                 unused = settingNamed("mirror-3way");
    const CIMInstance rename = only({{"ElementName", CIMValue(String("renamed"))}});
    const std::string volumeBefore = fields(aVolume);
    EXPECT_THROW(modify(hintsRef(aVolume), rename), CIMObjectNotFoundException);
    modify(settingRef(setting), rename); // a CIM_StorageSetting path names the record too
    EXPECT_EQ(volume(setting)->Name, "renamed");
    createVolumeFrom(setting, 1 << 21);
    EXPECT_THROW(modify(hintsRef(setting), only({{"ElementName", CIMValue(String("again"))}})),
                 CIMObjectNotFoundException);

    remove(hintsRef(unused));
    EXPECT_EQ(volume(unused), nullptr);
    EXPECT_EQ(idsOf(enumerateNames("StorageSettingProvider", "CIM_StorageSettingWithHints")).count(unused),
              0u);
    EXPECT_THROW(remove(hintsRef(unused)), CIMObjectNotFoundException);
    EXPECT_THROW(remove(hintsRef(aVolume)), CIMObjectNotFoundException);
    EXPECT_THROW(remove(hintsRef(setting)), CIMObjectNotFoundException);
    EXPECT_EQ(fields(aVolume), volumeBefore);
    EXPECT_EQ(volume(setting)->Name, "renamed");
    EXPECT_FALSE(volume(setting)->IsSetting);
}

} // namespace
} // namespace scs_test
