// What a client reads on its way from the array's computer system: each volume's setting, the
// volumes' names and what the pools are for. The discovery associations' navigation is with the
// others in test_inventory_associations.cpp.
#include "InventoryHarness.h"

#include <tuple>

namespace scs_test
{
namespace
{

class DiscoveryTest : public InventoryTest
{
protected:
    CIMObjectPath volumeSettingRef(Uint32 id) { return idPath("Zarvo_StorageVolumeSetting", hex(id)); }
};

TEST_F(DiscoveryTest, AVolumeKeepsTheSettingItWasMadeFromUnderItsOwnIDReadOnly)
{
    const Uint32 setting = settings().front();
    const CIMInstance before = get("StorageSettingProvider", hintsRef(setting));
    EXPECT_TRUE(notFound("VolumeSettingProvider", volumeSettingRef(setting)));
    createVolumeFrom(setting, 1 << 21);

    const Array<CIMObject> found = associators("ElementSettingDataProvider", volumeRef(setting));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(str(found[0].getClassName().getString()) + "/" + keyOf(found[0].getPath(), "InstanceID"),
              "Zarvo_StorageVolumeSetting/" + hex(setting));
    const CIMInstance after = get("VolumeSettingProvider", volumeSettingRef(setting));
    for (const char* goal : {"DataRedundancyGoal", "PackageRedundancyGoal", "ExtentStripeLength"})
        EXPECT_EQ(valueAs<Uint16>(after, goal), valueAs<Uint16>(before, goal)) << goal;
    PlainRecorder handler;
    EXPECT_THROW(
        instances("VolumeSettingProvider")->deleteInstance(context, volumeSettingRef(setting), handler),
        CIMNotSupportedException);
    EXPECT_NE(volume(setting), nullptr);
}

TEST_F(DiscoveryTest, VolumeNamesAreNaaIdentifiersStableAndUniqueAndPoolsSayWhatTheyAreFor)
{
    std::set<std::string> names;
    for (Uint32 id : volumes())
    {
        const CIMInstance served = get("StorageVolumeProvider", volumeRef(id));
        const std::string name = str(valueAs<String>(served, "Name"));
        // NAA type 3: "3" and 15 upper-case hexadecimal digits.
        EXPECT_TRUE(name.size() == 16 && name[0] == '3' &&
                    name.find_first_not_of("0123456789ABCDEF") == std::string::npos)
            << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), volumes().size());
    // Hosts keep LUN identities: a change of the derivation would rename every volume.
    EXPECT_EQ(names.count("3B219EB13A000001"), 1u);

    // pool, Usage, Primordial
    const std::vector<std::tuple<Uint32, Uint16, bool>> pools = {
        {BASE_POOL, 2, false}, {AVAILABLE_POOL, 3, true}, {SPARE_POOL, 8, true}, {UNAVAILABLE_POOL, 1, true}};
    for (const auto& pool : pools)
    {
        const CIMInstance served = get("StoragePoolProvider", poolRef(std::get<0>(pool)));
        EXPECT_EQ(valueAs<Uint16>(served, "Usage"), std::get<1>(pool)) << hex(std::get<0>(pool));
        EXPECT_EQ(valueAs<Boolean>(served, "Primordial"), std::get<2>(pool)) << hex(std::get<0>(pool));
    }
}

} // namespace
} // namespace scs_test
