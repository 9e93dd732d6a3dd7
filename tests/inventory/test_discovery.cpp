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
    CIMAssociationProvider* navigation(const char* name)
    {
        return dynamic_cast<CIMAssociationProvider*>(made(name));
    }

    // The far ends' labels; associators and associatorNames must agree.
    std::set<std::string> far(const char* provider, const CIMObjectPath& object,
                              const char* resultClass = nullptr, const char* role = "",
                              const char* resultRole = "")
    {
        const CIMName filter = resultClass ? CIMName(resultClass) : CIMName();
        PathRecorder names;
        ObjectRecorder objects;
        navigation(provider)->associatorNames(context, object, CIMName(), filter, role, resultRole, names);
        navigation(provider)->associators(context, object, CIMName(), filter, role, resultRole, false, false,
                                          CIMPropertyList(), objects);
        std::set<std::string> fromNames, fromObjects;
        for (Uint32 i = 0; i < names.delivered.size(); ++i)
            fromNames.insert(label(names.delivered[i]));
        for (Uint32 i = 0; i < objects.delivered.size(); ++i)
            fromObjects.insert(label(objects.delivered[i].getPath()));
        EXPECT_EQ(fromNames, fromObjects);
        EXPECT_EQ(names.delivered.size(), fromNames.size()) << "each far end once";
        return fromNames;
    }
    size_t referenceCount(const char* provider, const CIMObjectPath& object, const char* resultClass)
    {
        PathRecorder names;
        navigation(provider)->referenceNames(context, object, CIMName(resultClass), String(), names);
        return names.delivered.size();
    }

    CIMObjectPath array() { return systemRef(arrayName()); }
    CIMObjectPath controller(int slot) { return systemRef(arrayName() + "-SP" + std::to_string(slot)); }
    CIMObjectPath volumeSettingRef(Uint32 id) { return idPath("Zarvo_StorageVolumeSetting", hex(id)); }
    std::string serviceLabel() { return "Zarvo_StorageConfigurationService/" + arrayName(); }
    std::string capabilitiesLabel()
    {
        return "CIM_StorageConfigurationCapabilities/" + arrayName() + ":StorageConfigurationCapabilities";
    }
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
        {HOSTED, array(), nullptr, "", "", {serviceLabel()}},
        {HOSTED, servicePath(), nullptr, "", "", arraySet},
        {HOSTED, array(), "CIM_Service", "Antecedent", "Dependent", {serviceLabel()}},
        {HOSTED, array(), nullptr, "Dependent", "", none},
        {HOSTED, controller(0), nullptr, "", "", none},
        {DEVICES, array(), nullptr, "", "", devices},
        {DEVICES, array(), "CIM_StorageVolume", "", "", vols},
        {DEVICES, array(), "CIM_MediaAccessDevice", "GroupComponent", "", drives},
        {DEVICES, array(), "CIM_LogicalDevice", "", "PartComponent", devices},
        {DEVICES, volumeRef(aVolume), nullptr, "PartComponent", "", arraySet},
        {DEVICES, driveRef(aDrive), "CIM_System", "", "", arraySet},
        {DEVICES, volumeRef(aVolume), nullptr, "GroupComponent", "", none},
        {DEVICES, controller(1), nullptr, "", "", none},
        {CONTROLLERS,
         array(),
         nullptr,
         "",
         "",
         {"CIM_ComputerSystem/" + arrayName() + "-SP0", "CIM_ComputerSystem/" + arrayName() + "-SP1"}},
        {CONTROLLERS, controller(1), nullptr, "", "GroupComponent", arraySet},
        {CONTROLLERS, controller(0), nullptr, "GroupComponent", "", none},
        {CAPABILITIES, servicePath(), nullptr, "", "", {capabilitiesLabel()}},
        {CAPABILITIES, servicePath(), "CIM_StorageCapabilities", "", "", none},
        {CAPABILITIES, capabilitiesPath(), "CIM_Service", "Capabilities", "", {serviceLabel()}},
        {CAPABILITIES, poolRef(BASE_POOL), nullptr, "", "", {"CIM_StorageCapabilities/" + hex(BASE_POOL)}},
        {SETTING_DATA, volumeRef(aVolume), nullptr, "", "", {"Zarvo_StorageVolumeSetting/" + hex(aVolume)}},
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
    EXPECT_EQ(referenceCount(DEVICES, array(), "CIM_SystemComponent"), devices.size());
    EXPECT_EQ(referenceCount(DEVICES, array(), "CIM_Dependency"), 0u);
    EXPECT_EQ(referenceCount(HOSTED, servicePath(), "CIM_HostedDependency"), 1u);
    EXPECT_EQ(referenceCount(HOSTED, array(), "CIM_Component"), 0u);
    EXPECT_EQ(referenceCount(CONTROLLERS, controller(0), "CIM_Component"), 1u);
    EXPECT_EQ(referenceCount(SETTING_DATA, volumeRef(aVolume), "CIM_ElementSettingData"), 1u);
}

TEST_F(DiscoveryTest, AssociationInstancesAreServedByTheirTwoReferences)
{
    // provider, class, links, first role
    const std::vector<std::tuple<const char*, const char*, size_t, const char*>> served = {
        {HOSTED, "CIM_HostedService", 1, "Antecedent"},
        {DEVICES, "CIM_SystemDevice", volumes().size() + objects(CLASSID_DRIVE).size(), "GroupComponent"},
        {CONTROLLERS, "CIM_ComponentCS", 2, "GroupComponent"},
        {CAPABILITIES, "CIM_ElementCapabilities", objects(CLASSID_STORAGEPOOL).size() + 1, "ManagedElement"},
        {SETTING_DATA, "CIM_ElementSettingData", volumes().size(), "ManagedElement"},
    };
    for (const auto& association : served)
    {
        const char *provider = std::get<0>(association), *className = std::get<1>(association);
        SCOPED_TRACE(className);
        const Array<CIMObjectPath> names = enumerateNames(provider, className);
        EXPECT_EQ(names.size(), std::get<2>(association));
        EXPECT_EQ(enumerate(provider, className).size(), std::get<2>(association));
        for (Uint32 i = 0; i < names.size(); ++i)
            EXPECT_EQ(str(get(provider, names[i]).getPath().toString()), str(names[i].toString()));
    }
    EXPECT_EQ(valueAs<Uint16>(get(SETTING_DATA, enumerateNames(SETTING_DATA, "CIM_ElementSettingData")[0]),
                              "IsCurrent"),
              1u);

    auto link = [](const char* className, const char* first, const CIMObjectPath& a, const char* second,
                   const CIMObjectPath& b)
    {
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding(CIMName(first), CIMValue(a)));
        keys.append(CIMKeyBinding(CIMName(second), CIMValue(b)));
        return CIMObjectPath("", CIMNamespaceName("root/snia"), CIMName(className), keys);
    };
    const Uint32 aVolume = volumes().front();
    EXPECT_TRUE(
        notFound(HOSTED, link("CIM_HostedService", "Antecedent", controller(0), "Dependent", servicePath())));
    EXPECT_TRUE(notFound(DEVICES, link("CIM_SystemDevice", "GroupComponent", controller(0), "PartComponent",
                                       volumeRef(aVolume))));
    EXPECT_TRUE(notFound(CONTROLLERS,
                         link("CIM_ComponentCS", "GroupComponent", controller(0), "PartComponent", array())));
    EXPECT_TRUE(notFound(SETTING_DATA, link("CIM_ElementSettingData", "ManagedElement", volumeRef(aVolume),
                                            "SettingData", volumeSettingRef(volumes().back()))));
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
    EXPECT_EQ(valueAs<Uint16>(after, "ChangeableType"), 3u) << "Not Changeable - Persistent";
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
        EXPECT_EQ(valueAs<Uint16>(served, "NameFormat"), 9u);
        EXPECT_EQ(valueAs<Uint16>(served, "NameNamespace"), 2u);
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
