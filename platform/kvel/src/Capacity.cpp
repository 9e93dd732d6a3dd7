#include "Capacity.h"

#include <algorithm>
#include <set>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
typedef unsigned __int128 Wide;

Uint64 ceilDiv(Wide numerator, Wide denominator)
{
    return Uint64((numerator + denominator - 1) / denominator);
}

bool isPowerOfTwo(Uint32 value)
{
    return value != 0 && (value & (value - 1)) == 0;
}
} // namespace

Uint32 makeLayout(Uint32 organization, Uint32 copies, Uint32 width, Uint32 chunkBlocks, Layout& layout)
{
    Layout result;
    if (chunkBlocks == 0) chunkBlocks = DEFAULT_CHUNK_BLOCKS;
    if (!isPowerOfTwo(chunkBlocks) || chunkBlocks < 8 || chunkBlocks > 2048) return KVEL_RC_INVALID_LAYOUT;
    result.chunkBlocks = chunkBlocks;
    switch (organization)
    {
    case KVELVolume::VOLUME_ORGANIZATION_STRIPED:
        if (copies > 1 || width < 1 || width > KVELVolume::MAX_DRIVES) return KVEL_RC_INVALID_LAYOUT;
        copies = 1;
        break;
    case KVELVolume::VOLUME_ORGANIZATION_MIRRORED:
        if (copies < 2 || copies > 4 || width < 1 || copies * width > KVELVolume::MAX_DRIVES)
            return KVEL_RC_INVALID_LAYOUT;
        break;
    case KVELVolume::VOLUME_ORGANIZATION_PARITY:
        if (copies > 1 || width < 3 || width > KVELVolume::MAX_DRIVES) return KVEL_RC_INVALID_LAYOUT;
        copies = 1;
        break;
    case KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY:
        if (copies > 1 || width < 4 || width > KVELVolume::MAX_DRIVES) return KVEL_RC_INVALID_LAYOUT;
        copies = 1;
        break;
    default:
        return KVEL_RC_INVALID_LAYOUT;
    }
    result.organization = KVELVolume::VolumeOrganizationEnum(organization);
    result.copies = Uint16(copies);
    result.width = Uint16(width);
    layout = result;
    return KVEL_RC_SUCCESS;
}

Uint32 layoutOf(const KVELVolume& volume, Layout& layout)
{
    return makeLayout(Uint32(volume.VolumeOrganization), volume.DataRedundancy, volume.StripeWidth,
                      volume.ChunkSize, layout);
}

void applyLayout(const Layout& layout, KVELVolume& volume)
{
    volume.VolumeOrganization = layout.organization;
    volume.DataRedundancy = layout.copies;
    volume.StripeWidth = layout.width;
    volume.ChunkSize = layout.chunkBlocks;
    volume.PackageRedundancy = packageRedundancy(layout);
}

bool sameLayout(const Layout& a, const Layout& b)
{
    return a.organization == b.organization && a.copies == b.copies && a.width == b.width &&
           a.chunkBlocks == b.chunkBlocks;
}

Uint16 packageRedundancy(const Layout& layout)
{
    switch (layout.organization)
    {
    case KVELVolume::VOLUME_ORGANIZATION_MIRRORED:
        return Uint16(layout.copies - 1);
    case KVELVolume::VOLUME_ORGANIZATION_PARITY:
        return 1;
    case KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY:
        return 2;
    default:
        return 0;
    }
}

Uint32 drivesNeeded(const Layout& layout)
{
    return Uint32(layout.copies) * layout.width;
}

Uint64 rawBlocks(const Layout& layout, Uint64 sizeBlocks)
{
    switch (layout.organization)
    {
    case KVELVolume::VOLUME_ORGANIZATION_MIRRORED:
        return sizeBlocks * layout.copies;
    case KVELVolume::VOLUME_ORGANIZATION_PARITY:
        return ceilDiv(Wide(sizeBlocks) * layout.width, layout.width - 1);
    case KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY:
        return ceilDiv(Wide(sizeBlocks) * layout.width, layout.width - 2);
    default:
        return sizeBlocks;
    }
}

Uint64 maxSizeFor(const Layout& layout, Uint64 rawFree)
{
    Uint64 size;
    switch (layout.organization)
    {
    case KVELVolume::VOLUME_ORGANIZATION_MIRRORED:
        size = rawFree / layout.copies;
        break;
    case KVELVolume::VOLUME_ORGANIZATION_PARITY:
        size = Uint64(Wide(rawFree) * (layout.width - 1) / layout.width);
        break;
    case KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY:
        size = Uint64(Wide(rawFree) * (layout.width - 2) / layout.width);
        break;
    default:
        size = rawFree;
    }
    return std::min(size, MAX_VOLUME_BLOCKS);
}

Uint32 checkName(const std::string& name)
{
    if (name.empty() || name.size() > MAX_NAME_LENGTH) return KVEL_RC_INVALID_NAME;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F) return KVEL_RC_INVALID_NAME;
    return KVEL_RC_SUCCESS;
}

Uint64 poolTotalBlocks(const ArrayModel& model, Uint32 poolID, Uint32 excludedDrive)
{
    Uint64 total = 0;
    for (const auto& [id, drive] : model.drives)
        if (id != excludedDrive && drive.PoolObjectID == poolID &&
            drive.State == KVELDrive::DRIVE_STATE_ONLINE)
            total += drive.CapacityBlocks;
    return total;
}

Uint64 poolUsedBlocks(const ArrayModel& model, Uint32 poolID)
{
    Uint64 used = 0;
    for (const auto& entry : model.volumes)
        if (!entry.second.IsSetting && entry.second.PoolObjectID == poolID)
            used += entry.second.ConsumedBlocks;
    return used;
}

Uint64 poolFreeBlocks(const ArrayModel& model, Uint32 poolID)
{
    Uint64 total = poolTotalBlocks(model, poolID);
    Uint64 used = poolUsedBlocks(model, poolID);
    return total > used ? total - used : 0;
}

Uint32 poolOnlineDrives(const ArrayModel& model, Uint32 poolID)
{
    Uint32 count = 0;
    for (const auto& entry : model.drives)
        if (entry.second.PoolObjectID == poolID && entry.second.State == KVELDrive::DRIVE_STATE_ONLINE)
            ++count;
    return count;
}

Uint64 drivesFreeBlocks(const ArrayModel& model, Uint32 poolID, const std::vector<Uint32>& drives)
{
    Uint64 total = poolTotalBlocks(model, poolID);
    if (total == 0) return 0;
    Wide listed = 0;
    for (Uint32 id : drives)
    {
        auto it = model.drives.find(id);
        if (it != model.drives.end()) listed += it->second.CapacityBlocks;
    }
    return Uint64(listed * poolFreeBlocks(model, poolID) / total);
}

bool poolHoldsWithout(const ArrayModel& model, Uint32 poolID, Uint32 driveID)
{
    return poolTotalBlocks(model, poolID, driveID) >= poolUsedBlocks(model, poolID);
}

bool driveCarriesVolume(const ArrayModel& model, Uint32 driveID)
{
    for (const auto& entry : model.volumes)
    {
        if (entry.second.IsSetting) continue;
        std::vector<Uint32> list = driveListOf(entry.second);
        if (std::find(list.begin(), list.end(), driveID) != list.end()) return true;
    }
    return false;
}

std::vector<Uint32> driveListOf(const KVELVolume& volume)
{
    return std::vector<Uint32>(volume.DriveIDs, volume.DriveIDs + volume.getDriveCount());
}

void setDriveList(KVELVolume& volume, const std::vector<Uint32>& drives)
{
    for (Uint32 i = 0; i < KVELVolume::MAX_DRIVES; ++i)
        volume.DriveIDs[i] = i < drives.size() ? drives[i] : 0;
}

Uint32 checkDriveList(const ArrayModel& model, Uint32 poolID, const std::vector<Uint32>& drives,
                      const Layout& layout)
{
    std::set<Uint32> distinct(drives.begin(), drives.end());
    if (drives.empty() || drives.size() > KVELVolume::MAX_DRIVES || distinct.size() != drives.size() ||
        distinct.count(0) != 0 || drives.size() < drivesNeeded(layout))
        return KVEL_RC_INVALID_DRIVE_LIST;
    for (Uint32 id : drives)
        if (model.drives.count(id) == 0) return KVEL_RC_NO_SUCH_DRIVE;
    for (Uint32 id : drives)
    {
        const KVELDrive& drive = model.drives.at(id);
        if (drive.State != KVELDrive::DRIVE_STATE_ONLINE || drive.PoolObjectID != poolID)
            return KVEL_RC_DRIVE_NOT_AVAILABLE;
    }
    return KVEL_RC_SUCCESS;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
