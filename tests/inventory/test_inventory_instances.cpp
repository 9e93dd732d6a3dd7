// Pools, volumes, drives, volume settings, capabilities and computer systems as the inventory
// serves them, against the engine's records.
#include "InventoryHarness.h"

#include <algorithm>
#include <cctype>

#include <SMIMOBuilders.h>

namespace scs_test
{
namespace
{

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

class InventoryInstancesTest : public InventoryTest
{
};

TEST_F(InventoryInstancesTest, EveryClassEnumeratesExactlyTheRecordsThatExist)
{
    ASSERT_EQ(volumes().size(), 4u); // the demo array; its other volume records are settings
    ASSERT_EQ(settings().size(), 7u);
    const std::vector<std::pair<std::pair<const char*, const char*>, std::set<Uint32>>> served = {
        {{"StoragePoolProvider", "CIM_StoragePool"}, asSet(objects(CLASSID_STORAGEPOOL))},
        {{"StorageVolumeProvider", "CIM_StorageVolume"}, asSet(volumes())},
        {{"DiskDriveProvider", "CIM_DiskDrive"}, asSet(objects(CLASSID_DRIVE))},
        {{"StorageSettingProvider", "CIM_StorageSettingWithHints"}, asSet(settings())},
        {{"StorageCapabilitiesProvider", "CIM_StorageCapabilities"}, asSet(objects(CLASSID_STORAGEPOOL))}};
    for (const auto& kind : served)
    {
        const char* className = kind.first.second;
        SCOPED_TRACE(className);
        const Array<CIMObjectPath> paths = enumerateNames(kind.first.first, className);
        const Array<CIMInstance> found = enumerate(kind.first.first, className);
        EXPECT_EQ(idsOf(paths), kind.second);
        ASSERT_EQ(found.size(), kind.second.size());
        EXPECT_EQ(idsOf(found), kind.second);
        EXPECT_EQ(str(found[0].getClassName().getString()), className);
    }
    // The superclass the settings provider is registered for: the server enumerates the subclass.
    EXPECT_EQ(enumerate("StorageSettingProvider", "CIM_StorageSetting").size(), 0u);
    EXPECT_EQ(enumerateNames("StorageSettingProvider", "CIM_StorageSetting").size(), 0u);
}

TEST_F(InventoryInstancesTest, UnknownIDsPathsOfOtherClassesAndMalformedKeysAreNotFound)
{
    const Uint32 aVolume = volumes().front(), aSetting = settings().front();
    const std::vector<std::pair<const char*, CIMObjectPath>> misses = {
        {"StoragePoolProvider", poolRef(0x37000099)},
        {"StoragePoolProvider", capabilitiesRef(BASE_POOL)},
        {"StoragePoolProvider", idPath("CIM_StoragePool", "base")},
        {"StorageVolumeProvider", volumeRef(aSetting)},
        {"StorageVolumeProvider", devicePath("CIM_StorageVolume", "3A00000G")},
        {"StorageVolumeProvider", devicePath("CIM_StorageVolume", "13A000001")}, // beyond 32 bits
        {"DiskDriveProvider", driveRef(aVolume)},
        {"StorageSettingProvider", hintsRef(aVolume)},
        {"StorageSettingProvider", volumeRef(aSetting)},
        {"StorageSettingProvider", idPath("CIM_StorageSettingWithHints", "")},
        {"StorageCapabilitiesProvider", capabilitiesRef(aVolume)},
        {"ComputerSystemProvider", systemRef("ANOTHER-ARRAY")},
        {"ComputerSystemProvider", systemRef(arrayName() + "-SP2")},
    };
    for (const auto& miss : misses)
        EXPECT_TRUE(notFound(miss.first, miss.second)) << miss.first << " " << str(miss.second.toString());
}

TEST_F(InventoryInstancesTest, SuperclassPathsAndLowerCaseKeysLeadToTheServedInstances)
{
    auto servedAs = [this](const char* provider, const CIMObjectPath& path)
    { return str(get(provider, path).getPath().toString()); };
    for (Uint32 id : settings())
        EXPECT_EQ(servedAs("StorageSettingProvider", settingRef(id)), str(StorageSettingPath(id).toString()))
            << "a CIM_StorageSetting path names the record too";

    const Uint32 aVolume = volumes().front(), aSetting = settings().front(), aDrive = 0x3800000a;
    EXPECT_EQ(servedAs("StorageVolumeProvider", devicePath("CIM_StorageVolume", lower(hex(aVolume)))),
              str(StorageVolumePath(aVolume).toString()));
    EXPECT_EQ(servedAs("DiskDriveProvider", devicePath("CIM_DiskDrive", lower(hex(aDrive)))),
              str(DiskDrivePath(aDrive).toString()));
    EXPECT_EQ(servedAs("StorageSettingProvider", idPath("CIM_StorageSettingWithHints", lower(hex(aSetting)))),
              str(StorageSettingPath(aSetting).toString()));
    EXPECT_EQ(keyOf(get("ComputerSystemProvider", systemRef(lower(arrayName() + "-SP1"))).getPath(), "Name"),
              arrayName() + "-SP1");
}

TEST_F(InventoryInstancesTest, PropertyListsFilterKeysTooAndOnlyKeysCarryTheKeyQualifier)
{
    const std::vector<std::pair<const char*, CIMObjectPath>> samples = {
        {"StorageCapabilitiesProvider", capabilitiesRef(BASE_POOL)},
        {"ComputerSystemProvider", systemRef(arrayName())},
    };
    for (const auto& sample : samples)
    {
        SCOPED_TRACE(sample.first);
        const CIMInstance named = get(sample.first, sample.second, false,
                                      CIMPropertyList(Array<CIMName>(1, CIMName("ElementName"))));
        EXPECT_EQ(named.getPropertyCount(), 1u);
        EXPECT_NE(named.findProperty(CIMName("ElementName")), PEG_NOT_FOUND);
        EXPECT_EQ(
            get(sample.first, sample.second, false, CIMPropertyList(Array<CIMName>())).getPropertyCount(),
            0u);

        const CIMInstance plain = get(sample.first, sample.second, false);
        const CIMInstance qualified = get(sample.first, sample.second, true);
        ASSERT_EQ(plain.getPropertyCount(), qualified.getPropertyCount());
        for (Uint32 i = 0; i < qualified.getPropertyCount(); ++i)
        {
            const CIMConstProperty property = qualified.getProperty(i);
            const bool isKey = keyOf(sample.second, str(property.getName().getString()).c_str()) != "<none>";
            const Uint32 qualifier = property.findQualifier(CIMName("Key"));
            EXPECT_EQ(qualifier != PEG_NOT_FOUND, isKey) << str(property.getName().getString());
            EXPECT_EQ(plain.getProperty(plain.findProperty(property.getName())).getQualifierCount(), 0u);
        }
    }
}

} // namespace
} // namespace scs_test
