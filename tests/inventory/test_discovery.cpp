// The paths a client follows from the array's computer system: to the storage configuration
// service and its capabilities, the volumes and drives, the controllers, and each volume's
// setting; and the identity of volumes and pools it reads on the way.
#include "InventoryHarness.h"

#include <tuple>

namespace scs_test
{
namespace
{

const char* const HOSTED = "HostedServiceProvider";
const char* const DEVICES = "SystemDeviceProvider";
const char* const CONTROLLERS = "ComponentCSProvider";
const char* const CAPABILITIES = "ElementCapabilitiesProvider";
const char* const SETTING_DATA = "ElementSettingDataProvider";

// "Class/key" of a path, by the key that tells its elements apart.
std::string label(const CIMObjectPath& path)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    std::string key;
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName("DeviceID")) || keys[i].getName().equal(CIMName("InstanceID")) ||
            (key.empty() && keys[i].getName().equal(CIMName("Name"))))
            key = str(keys[i].getValue());
    return str(path.getClassName().getString()) + "/" + key;
}

class DiscoveryTest : public InventoryTest
{
protected:
    // The far ends' labels, each found once.
    std::set<std::string> far(const char* provider, const CIMObjectPath& object,
                              const char* resultClass = nullptr, const char* role = "",
                              const char* resultRole = "")
    {
        const Array<CIMObject> found = associators(provider, object, resultClass, role, resultRole);
        std::set<std::string> labels;
        for (Uint32 i = 0; i < found.size(); ++i)
            labels.insert(label(found[i].getPath()));
        EXPECT_EQ(found.size(), labels.size()) << "each far end once";
        return labels;
    }

    CIMObjectPath array() { return systemRef(arrayName()); }
    CIMObjectPath controller(int slot) { return systemRef(arrayName() + "-SP" + std::to_string(slot)); }
    CIMObjectPath volumeSettingRef(Uint32 id) { return idPath("Zarvo_StorageVolumeSetting", hex(id)); }
    std::string serviceLabel() { return "Zarvo_StorageConfigurationService/" + arrayName(); }
    CIMObjectPath capabilitiesPath()
    {
        return idPath("CIM_StorageConfigurationCapabilities",
                      arrayName() + ":StorageConfigurationCapabilities");
    }
    std::set<std::string> labels(const char* className, const std::vector<Uint32>& ids)
    {
        std::set<std::string> result;
        for (Uint32 id : ids)
            result.insert(std::string(className) + "/" + hex(id));
        return result;
    }
};

TEST_F(DiscoveryTest, EveryPathLeadsBothWaysAndHonoursRolesAndResultClasses)
{
    const Uint32 aVolume = volumes().front(), aDrive = objects(CLASSID_DRIVE).front(),
                 aSetting = settings().front();
    const std::set<std::string> vols = labels("CIM_StorageVolume", volumes()),
                                drives = labels("CIM_DiskDrive", objects(CLASSID_DRIVE));
    std::set<std::string> devices = vols;
    devices.insert(drives.begin(), drives.end());
    const std::set<std::string> arraySet{"CIM_ComputerSystem/" + arrayName()}, none;
    struct Query
    {
        const char* provider;
        CIMObjectPath object;
        const char* resultClass;
        const char* role;
        const char* resultRole;
        std::set<std::string> expected;
    };
    const std::vector<Query> queries = {
        {HOSTED, array(), "CIM_Service", "Antecedent", "Dependent", {serviceLabel()}},
        {HOSTED, array(), nullptr, "Dependent", "", none},
        {HOSTED, controller(0), nullptr, "", "", none},
        {DEVICES, array(), "CIM_StorageVolume", "", "", vols},
        {DEVICES, array(), "CIM_MediaAccessDevice", "GroupComponent", "", drives},
        {DEVICES, array(), "CIM_LogicalDevice", "", "PartComponent", devices},
        {DEVICES, driveRef(aDrive), "CIM_System", "", "", arraySet},
        {DEVICES, volumeRef(aVolume), nullptr, "GroupComponent", "", none},
        {DEVICES, controller(1), nullptr, "", "", none},
        {CONTROLLERS, controller(1), nullptr, "", "GroupComponent", arraySet},
        {CONTROLLERS, controller(0), nullptr, "GroupComponent", "", none},
        {CAPABILITIES, servicePath(), "CIM_StorageCapabilities", "", "", none},
        {CAPABILITIES, capabilitiesPath(), "CIM_Service", "Capabilities", "", {serviceLabel()}},
        {CAPABILITIES, poolRef(BASE_POOL), nullptr, "", "", {"CIM_StorageCapabilities/" + hex(BASE_POOL)}},
        {SETTING_DATA, volumeSettingRef(aVolume), "CIM_StorageVolume", "SettingData", "",
         labels("CIM_StorageVolume", {aVolume})},
        {SETTING_DATA, volumeSettingRef(aVolume), "CIM_StorageSetting", "", "", none},
        // Not this array's service, or not a served path of it; a record that is still a setting.
        {HOSTED, systemRef("ANOTHER-ARRAY"), nullptr, "", "", none},
        {HOSTED, servicePath("CIM_StorageConfigurationService"), nullptr, "", "", none},
        {CAPABILITIES,
         idPath("CIM_StorageConfigurationCapabilities", "OTHER:StorageConfigurationCapabilities"), nullptr,
         "", "", none},
        {SETTING_DATA, hintsRef(aSetting), nullptr, "", "", none},
        {SETTING_DATA, volumeSettingRef(aSetting), nullptr, "", "", none},
        {SETTING_DATA, volumeRef(aSetting), nullptr, "", "", none},
    };
    for (const Query& q : queries)
        EXPECT_EQ(far(q.provider, q.object, q.resultClass, q.role, q.resultRole), q.expected)
            << q.provider << " from " << label(q.object) << " " << (q.resultClass ? q.resultClass : "") << " "
            << q.role << " " << q.resultRole;

    // References: the association class or a superclass of it admits, another class excludes.
    EXPECT_EQ(references(DEVICES, array(), "CIM_SystemComponent").size(), devices.size());
    EXPECT_EQ(references(DEVICES, array(), "CIM_Dependency").size(), 0u);
    EXPECT_EQ(references(HOSTED, servicePath(), "CIM_HostedDependency").size(), 1u);
    EXPECT_EQ(references(HOSTED, array(), "CIM_Component").size(), 0u);
    EXPECT_EQ(references(CONTROLLERS, controller(0), "CIM_Component").size(), 1u);
}

TEST_F(DiscoveryTest, AVolumeKeepsTheSettingItWasMadeFromUnderItsOwnIDReadOnly)
{
    const Uint32 setting = settings().front();
    const CIMInstance before = get("StorageSettingProvider", hintsRef(setting));
    EXPECT_TRUE(notFound("VolumeSettingProvider", volumeSettingRef(setting)));
    createVolumeFrom(setting, 1 << 21);

    EXPECT_EQ(far(SETTING_DATA, volumeRef(setting)),
              (std::set<std::string>{"Zarvo_StorageVolumeSetting/" + hex(setting)}));
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
        EXPECT_EQ(name, str(valueAs<String>(get("StorageVolumeProvider", volumeRef(id)), "Name")));
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
