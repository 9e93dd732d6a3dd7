#include "DemoArray.h"

#include "Capacity.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
const Uint64 GIB_BLOCKS = 2 * 1024 * 1024;
const Uint64 DRIVE_BLOCKS = 1024 * GIB_BLOCKS; // 1 TiB

struct DemoVolume
{
    const char* name;
    KVELVolume::VolumeOrganizationEnum organization;
    Uint16 copies;
    Uint16 width;
    Uint64 sizeGiB; // 0 for a setting record
};

const DemoVolume VOLUMES[] = {
    {"db-mirror", KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 2, 500},
    {"archive-parity", KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 5, 2048},
    {"scratch", KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 4, 200},
    {"vm-dparity", KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY, 1, 8, 1024},
    {"striped-4", KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 4, 0},
    {"mirror-2way", KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 1, 0},
    {"mirror-3way", KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 3, 1, 0},
    {"mirror-2x4", KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 4, 0},
    {"parity-4+1", KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 5, 0},
    {"parity-8+1", KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 9, 0},
    {"dparity-6+2", KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY, 1, 8, 0},
};
} // namespace

void buildDemoArray(ArrayModel& model, MPU_TIME now)
{
    model.systemName = "ZARVO-0001";
    model.firmwareVersion = "3.2.0";
    model.diskLineMode = KVELRedundantPair::DISK_LINE_MODE_SHARED;
    model.addStandardPools();
    for (Uint16 slot = 0; slot < 16; ++slot)
    {
        KVELDrive drive;
        assignObjectID(drive, kvelMakeObjectID(CLASSID_DRIVE, slot + 1u));
        drive.Slot = slot;
        drive.PoolObjectID = slot < 12   ? Uint32(KVELPool::BASE_POOL_ID)
                             : slot < 14 ? Uint32(KVELPool::SPARE_POOL_ID)
                                         : Uint32(KVELPool::AVAILABLE_POOL_ID);
        drive.CapacityBlocks = DRIVE_BLOCKS;
        drive.Vendor = "ZARVO";
        drive.Model = "ZD-1000";
        drive.SerialNumber = "ZV" + std::to_string(100000 + slot);
        model.drives.emplace(drive.getObjectID(), drive);
    }
    Uint32 number = 1;
    for (const DemoVolume& demo : VOLUMES)
    {
        KVELVolume volume;
        assignObjectID(volume, kvelMakeObjectID(CLASSID_VOLUME, number++));
        volume.Name = demo.name;
        volume.IsSetting = demo.sizeGiB == 0;
        volume.Size = demo.sizeGiB * GIB_BLOCKS;
        volume.PoolObjectID = KVELPool::BASE_POOL_ID;
        Layout layout;
        makeLayout(demo.organization, demo.copies, demo.width, DEFAULT_CHUNK_BLOCKS, layout);
        applyLayout(layout, volume);
        volume.NoSinglePointOfFailure = volume.PackageRedundancy > 0;
        volume.ConsumedBlocks = volume.IsSetting ? 0 : rawBlocks(layout, volume.Size);
        model.volumes.emplace(volume.getObjectID(), volume);
    }
    model.nextVolumeNumber = number;
    model.lastAdvanced = now;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
