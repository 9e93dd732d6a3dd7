// The associations between the array's elements: navigation in both directions with its filters,
// the association instances, and links that follow the engine's state.
#include "InventoryHarness.h"

namespace scs_test
{
namespace
{

const char* const ALLOCATED = "AllocatedFromStoragePoolProvider";
const char* const HOSTED = "HostedStoragePoolProvider";
const char* const CAPABILITIES = "ElementCapabilitiesProvider";
const char* const COMPONENT = "ConcreteComponentProvider";
const char* const HOSTED_SERVICE = "HostedServiceProvider";
const char* const DEVICES = "SystemDeviceProvider";
const char* const CONTROLLERS = "ComponentCSProvider";
const char* const SETTING_DATA = "ElementSettingDataProvider";

class InventoryAssociationsTest : public InventoryTest
{
protected:
    static CIMObjectPath referenceIn(const CIMInstance& link, const char* role)
    {
        CIMObjectPath path;
        valueOf(link, role).get(path);
        return path;
    }
    // SpaceConsumed of each volume the base pool's AllocatedFromStoragePool references name.
    std::map<Uint32, Uint64> spaceByVolume()
    {
        std::map<Uint32, Uint64> space;
        const Array<CIMObject> links = references(ALLOCATED, poolRef(BASE_POOL));
        for (Uint32 i = 0; i < links.size(); ++i)
        {
            const CIMInstance link(links[i]);
            space[idOf(referenceIn(link, "Dependent"))] = valueAs<Uint64>(link, "SpaceConsumed");
        }
        return space;
    }
};

TEST_F(InventoryAssociationsTest, RolesAndResultClassesChooseTheFarEndOrTheAssociation)
{
    const CIMObjectPath pool = poolRef(BASE_POOL), aVolume = volumeRef(volumes().front()),
                        array = systemRef(arrayName()), sp0 = systemRef(arrayName() + "-SP0"),
                        volumeSetting = idPath("Zarvo_StorageVolumeSetting", hex(volumes().front()));
    const size_t n = volumes().size(), drives = objects(CLASSID_DRIVE).size();
    struct Query
    {
        const char* provider;
        CIMObjectPath object;
        const char* resultClass;
        const char* role;
        const char* resultRole;
        size_t found;
    };
    const std::vector<Query> queries = {
        {ALLOCATED, pool, nullptr, "antecedent", "", n},
        {ALLOCATED, pool, nullptr, "Dependent", "", 0},
        {ALLOCATED, pool, nullptr, "", "Dependent", n},
        {ALLOCATED, aVolume, nullptr, "Dependent", "Antecedent", 1},
        {ALLOCATED, pool, "CIM_StorageVolume", "", "", n},
        {ALLOCATED, pool, "CIM_ManagedElement", "", "", n},
        {ALLOCATED, pool, "CIM_DiskDrive", "", "", 0},
        {ALLOCATED, aVolume, "CIM_ManagedSystemElement", "", "", 1},
        {HOSTED, pool, "CIM_System", "", "", 1},
        {CAPABILITIES, capabilitiesRef(BASE_POOL), "CIM_ManagedElement", "", "", 1},
        {CAPABILITIES, pool, "CIM_StoragePool", "", "", 0},
        {COMPONENT, pool, "CIM_MediaAccessDevice", "", "", 12},
        {HOSTED_SERVICE, array, "CIM_Service", "Antecedent", "Dependent", 1},
        {HOSTED_SERVICE, array, nullptr, "Dependent", "", 0},
        {DEVICES, array, "CIM_StorageVolume", "", "", n},
        {DEVICES, array, "CIM_MediaAccessDevice", "GroupComponent", "", drives},
        {DEVICES, array, "CIM_LogicalDevice", "", "PartComponent", n + drives},
        {DEVICES, driveRef(0x38000001), "CIM_System", "", "", 1},
        {DEVICES, aVolume, nullptr, "GroupComponent", "", 0},
        {CONTROLLERS, systemRef(arrayName() + "-SP1"), nullptr, "", "GroupComponent", 1},
        {CONTROLLERS, sp0, nullptr, "GroupComponent", "", 0},
        {CONTROLLERS, array, nullptr, "", "GroupComponent", 0}, // both ends are computer systems
        {CAPABILITIES, servicePath(), "CIM_StorageCapabilities", "", "", 0},
        {CAPABILITIES,
         idPath("CIM_StorageConfigurationCapabilities", arrayName() + ":StorageConfigurationCapabilities"),
         "CIM_Service", "Capabilities", "", 1},
        {SETTING_DATA, volumeSetting, "CIM_StorageVolume", "SettingData", "", 1},
        {SETTING_DATA, volumeSetting, "CIM_StorageSetting", "", "", 0},
    };
    for (const Query& q : queries)
        EXPECT_EQ(associators(q.provider, q.object, q.resultClass, q.role, q.resultRole).size(), q.found)
            << q.provider << " " << (q.resultClass ? q.resultClass : "") << " " << q.role << " "
            << q.resultRole;

    // References: the association class or one of its superclasses admits, any other class excludes.
    struct Filter
    {
        const char* provider;
        CIMObjectPath object;
        const char* resultClass;
        size_t found;
    };
    const Filter filters[] = {
        {ALLOCATED, pool, "CIM_AllocatedFromStoragePool", n},
        {ALLOCATED, aVolume, "CIM_Dependency", 1},
        {ALLOCATED, pool, "CIM_Component", 0},
        {HOSTED, systemRef(arrayName()), "CIM_SystemComponent", 4},
        {HOSTED, systemRef(arrayName()), "CIM_Dependency", 0},
        {COMPONENT, pool, "CIM_Component", 12},
        {CAPABILITIES, pool, "CIM_ElementCapabilities", 1},
        {CAPABILITIES, capabilitiesRef(BASE_POOL), "CIM_Dependency", 0},
        {DEVICES, array, "CIM_SystemComponent", n + drives},
        {DEVICES, array, "CIM_Dependency", 0},
        {HOSTED_SERVICE, servicePath(), "CIM_HostedDependency", 1},
        {HOSTED_SERVICE, array, "CIM_Component", 0},
        {CONTROLLERS, sp0, "CIM_Component", 1},
    };
    for (const Filter& f : filters)
        EXPECT_EQ(references(f.provider, f.object, f.resultClass).size(), f.found)
            << f.provider << " " << f.resultClass;
    EXPECT_EQ(references(ALLOCATED, aVolume, nullptr, "Dependent").size(), 1u);
    EXPECT_EQ(references(ALLOCATED, aVolume, nullptr, "Antecedent").size(), 0u);
}

TEST_F(InventoryAssociationsTest, ObjectsOfOtherClassesOrUnknownIDsHaveNoLinks)
{
    const Uint32 aSetting = settings().front();
    const std::vector<std::pair<const char*, CIMObjectPath>> strangers = {
        {ALLOCATED, driveRef(0x38000001)},
        {ALLOCATED, volumeRef(aSetting)},
        {ALLOCATED, capabilitiesRef(BASE_POOL)},
        {HOSTED, systemRef(arrayName() + "-SP0")},
        {CAPABILITIES, settingRef(aSetting)},
        {COMPONENT, poolRef(0x38000001)},
        {HOSTED_SERVICE, systemRef(arrayName() + "-SP0")},
        {DEVICES, systemRef(arrayName() + "-SP1")},
        // Not this array's service, or not a served path of it; a record that is still a setting.
        {HOSTED_SERVICE, systemRef("ANOTHER-ARRAY")},
        {HOSTED_SERVICE, servicePath("CIM_StorageConfigurationService")},
        {CAPABILITIES,
         idPath("CIM_StorageConfigurationCapabilities", "OTHER:StorageConfigurationCapabilities")},
        {SETTING_DATA, hintsRef(aSetting)},
        {SETTING_DATA, idPath("Zarvo_StorageVolumeSetting", hex(aSetting))},
        {SETTING_DATA, volumeRef(aSetting)},
    };
    for (const auto& stranger : strangers)
    {
        SCOPED_TRACE(std::string(stranger.first) + " " + str(stranger.second.toString()));
        EXPECT_EQ(associators(stranger.first, stranger.second).size(), 0u);
        EXPECT_EQ(references(stranger.first, stranger.second).size(), 0u);
    }
}

TEST_F(InventoryAssociationsTest, AssociationInstancesAreServedByTheirTwoReferences)
{
    struct Association
    {
        const char *provider, *className, *firstRole, *secondRole;
        size_t links;
        CIMObjectPath first, second; // two elements that are not linked
    };
    const CIMObjectPath controller = systemRef(arrayName() + "-SP0");
    const Association served[] = {
        {ALLOCATED, "CIM_AllocatedFromStoragePool", "Antecedent", "Dependent", volumes().size(),
         poolRef(SPARE_POOL), volumeRef(volumes().front())},
        {HOSTED, "CIM_HostedStoragePool", "GroupComponent", "PartComponent", 4,
         systemRef(arrayName() + "-SP1"), poolRef(BASE_POOL)},
        {CAPABILITIES, "CIM_ElementCapabilities", "ManagedElement", "Capabilities",
         5 /* 4 pools, the service */, poolRef(BASE_POOL), capabilitiesRef(SPARE_POOL)},
        {COMPONENT, "CIM_ConcreteComponent", "GroupComponent", "PartComponent", 16, poolRef(SPARE_POOL),
         driveRef(0x38000001)},
        {HOSTED_SERVICE, "CIM_HostedService", "Antecedent", "Dependent", 1, controller, servicePath()},
        {DEVICES, "CIM_SystemDevice", "GroupComponent", "PartComponent", volumes().size() + 16, controller,
         volumeRef(volumes().front())},
        {CONTROLLERS, "CIM_ComponentCS", "GroupComponent", "PartComponent", 2, controller,
         systemRef(arrayName() + "-SP1")},
        {SETTING_DATA, "CIM_ElementSettingData", "ManagedElement", "SettingData", volumes().size(),
         volumeRef(volumes().front()), idPath("Zarvo_StorageVolumeSetting", hex(volumes().back()))},
    };
    for (const Association& a : served)
    {
        SCOPED_TRACE(a.className);
        const Array<CIMObjectPath> names = enumerateNames(a.provider, a.className);
        EXPECT_EQ(names.size(), a.links);
        EXPECT_EQ(enumerate(a.provider, a.className).size(), a.links);
        for (Uint32 i = 0; i < names.size(); ++i)
        {
            const CIMInstance link = get(a.provider, names[i], true);
            EXPECT_EQ(str(link.getPath().toString()), str(names[i].toString()));
            for (const char* role : {a.firstRole, a.secondRole})
            {
                EXPECT_EQ(str(referenceIn(link, role).toString()), keyOf(names[i], role));
                const CIMConstProperty reference = link.getProperty(link.findProperty(CIMName(role)));
                EXPECT_NE(reference.findQualifier(CIMName("Key")), PEG_NOT_FOUND);
            }
        }
        EXPECT_TRUE(
            notFound(a.provider, linkPath(a.className, a.firstRole, a.first, a.secondRole, a.second)));
        EXPECT_TRUE(
            notFound(a.provider, linkPath(a.className, a.secondRole, a.first, a.firstRole, a.second)));
    }
    const Uint32 aVolume = volumes().back();
    const CIMInstance allocated =
        get(ALLOCATED, linkPath("CIM_AllocatedFromStoragePool", "Antecedent", poolRef(BASE_POOL), "Dependent",
                                volumeRef(aVolume)));
    EXPECT_EQ(valueAs<Uint64>(allocated, "SpaceConsumed"), volume(aVolume)->ConsumedBlocks * 512);
    EXPECT_EQ(valueAs<Uint16>(get(SETTING_DATA, enumerateNames(SETTING_DATA, "CIM_ElementSettingData")[0]),
                              "IsCurrent"),
              1u);
}

TEST_F(InventoryAssociationsTest, LinksFollowVolumesAndDrivesAsTheyComeAndGo)
{
    Uint32 mirror = 0;
    for (Uint32 id : settings())
        if (!mirror && volume(id)->DataRedundancy == 2) mirror = id;
    const Uint32 made = createVolumeFrom(mirror, 4 * 1024 * 1024);
    EXPECT_EQ(idsOf(associators(ALLOCATED, volumeRef(made))), std::set<Uint32>{BASE_POOL});
    ASSERT_EQ(spaceByVolume().count(made), 1u);
    EXPECT_EQ(spaceByVolume().at(made), Uint64(2) * 4 * 1024 * 1024 * 512) << "two copies of 2 GiB";

    advance(600 * 1000000ULL); // the volume is made
    KVELTask deletion;
    ASSERT_EQ(engine().deleteVolume(made, &deletion), Uint32(KVEL_RC_SUCCESS));
    EXPECT_EQ(spaceByVolume().count(made), 1u) << "listed while its deletion runs";
    advance(60 * 1000000ULL);
    ASSERT_EQ(volume(made), nullptr);
    EXPECT_EQ(spaceByVolume().count(made), 0u);
    EXPECT_EQ(associators(ALLOCATED, volumeRef(made)).size(), 0u);
    EXPECT_EQ(enumerateNames(ALLOCATED, "CIM_AllocatedFromStoragePool").size(), volumes().size());
    EXPECT_TRUE(notFound(ALLOCATED, linkPath("CIM_AllocatedFromStoragePool", "Antecedent", poolRef(BASE_POOL),
                                             "Dependent", volumeRef(made))));
    // A drive moved to another pool is references.sh's, through TransferDriveByRef and cimhost.
}

} // namespace
} // namespace scs_test
