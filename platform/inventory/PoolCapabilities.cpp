#include "PoolCapabilities.h"

#include <algorithm>
#include <memory>

#include <KVELDrive.h>

#include "EngineRecords.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{
const Uint32 MAX_COPIES = 4;
const Uint32 DEFAULT_STRIPE = 4;
const Uint32 DEFAULT_CHUNK_BLOCKS = 128;
} // namespace

PoolCapabilities poolCapabilities(Uint32 poolID)
{
    PoolCapabilities capabilities;
    const Array<Uint32> drives = engine().enumerateObjects(CLASSID_DRIVE);
    for (Uint32 i = 0; i < drives.size(); ++i)
    {
        std::unique_ptr<KVELDrive> drive = fetchRecord<KVELDrive>(CLASSID_DRIVE, drives[i]);
        if (drive && drive->PoolObjectID == poolID && drive->State == KVELDrive::DRIVE_STATE_ONLINE)
            ++capabilities.onlineDrives;
    }
    const Uint32 n = capabilities.onlineDrives;
    capabilities.dataRedundancyMax = Uint16(std::max(1u, std::min(MAX_COPIES, n)));
    capabilities.packageRedundancyMax = Uint16(capabilities.dataRedundancyMax - 1);
    capabilities.noSinglePointOfFailure = n >= 2;

    KVELVolume& layout = capabilities.defaultLayout;
    layout.PoolObjectID = poolID;
    layout.ChunkSize = DEFAULT_CHUNK_BLOCKS;
    if (n >= 2)
    {
        layout.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_MIRRORED;
        layout.DataRedundancy = 2;
        layout.PackageRedundancy = 1;
        layout.StripeWidth = Uint16(std::min(DEFAULT_STRIPE, n / 2));
        layout.NoSinglePointOfFailure = true;
    }
    else
    {
        layout.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_STRIPED;
        layout.DataRedundancy = 1;
        layout.PackageRedundancy = 0;
        layout.StripeWidth = 1;
        layout.NoSinglePointOfFailure = false;
    }
    return capabilities;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
