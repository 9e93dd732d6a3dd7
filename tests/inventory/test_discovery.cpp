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

// The Array profile's central instance is the array's system alone, found from the profile in the
// server's interop namespace, whatever host and namespace the client's path of it carries; and the
// system leads back to the profile.
TEST_F(DiscoveryTest, TheArrayAloneConformsToTheArrayProfile)
{
    const char* const CONFORMANCE = "ProfileConformanceProvider";
    const Array<CIMObjectPath> names = enumerateNames(CONFORMANCE, "Zarvo_ElementConformsToProfile");
    ASSERT_EQ(names.size(), 1u);
    const CIMObjectPath array = systemRef(arrayName());
    const std::string profile = "//" + std::string(KVELEngine::_ZarvoHostNamePtr) +
                                "/root/PG_InterOp:PG_RegisteredProfile.InstanceID=\"SNIA+Array+1.6.0\"";
    EXPECT_EQ(str(get(CONFORMANCE, names[0]).getPath().toString()), str(names[0].toString()));

    const CIMObjectPath asClientsWriteIt("interop:CIM_RegisteredProfile.InstanceID=\"SNIA+Array+1.6.0\"");
    const Array<CIMObject> central = associators(CONFORMANCE, asClientsWriteIt);
    ASSERT_EQ(central.size(), 1u);
    EXPECT_EQ(keyOf(central[0].getPath(), "Name"), arrayName());
    PathRecorder back;
    navigation(CONFORMANCE)->associatorNames(context, array, CIMName(), CIMName(), "", "", back);
    ASSERT_EQ(back.delivered.size(), 1u);
    EXPECT_EQ(str(back.delivered[0].toString()), profile);
    EXPECT_EQ(references(CONFORMANCE, array, "CIM_ElementConformsToProfile").size(), 1u);

    struct Query
    {
        CIMObjectPath object;
        const char *resultClass, *role;
        size_t found;
    };
    const Query queries[] = {
        {asClientsWriteIt, "CIM_System", "ConformantStandard", 1},
        {asClientsWriteIt, "CIM_StorageVolume", "", 0},
        {asClientsWriteIt, nullptr, "ManagedElement", 0},
        {CIMObjectPath("interop:PG_RegisteredProfile.InstanceID=\"SNIA+Array+1.5.0\""), nullptr, "", 0},
        {systemRef(arrayName() + "-SP0"), nullptr, "", 0},
        {poolRef(BASE_POOL), nullptr, "", 0},
    };
    for (const Query& q : queries)
        EXPECT_EQ(associators(CONFORMANCE, q.object, q.resultClass, q.role).size(), q.found)
            << str(q.object.toString()) << " " << q.role;
    EXPECT_EQ(references(CONFORMANCE, array, "CIM_Dependency").size(), 0u);
    Array<CIMKeyBinding> garbled;
    garbled.append(
        CIMKeyBinding(CIMName("ConformantStandard"), String("not a path ="), CIMKeyBinding::REFERENCE));
    garbled.append(CIMKeyBinding(CIMName("ManagedElement"), CIMValue(array)));
    EXPECT_TRUE(notFound(CONFORMANCE, CIMObjectPath("", CIMNamespaceName("root/snia"),
                                                    CIMName("Zarvo_ElementConformsToProfile"), garbled)));
    EXPECT_TRUE(notFound(CONFORMANCE, linkPath("Zarvo_ElementConformsToProfile", "ConformantStandard",
                                               CIMObjectPath(profile.c_str()), "ManagedElement",
                                               systemRef(arrayName() + "-SP1"))));
}

} // namespace
} // namespace scs_test
