// Capacity rules: what a layout costs in raw pool blocks, how much a pool or a set of drives has
// free, and which drive lists can carry a layout.
//
// Raw blocks a volume of s blocks takes (rounded up):
//   striped        s                    stripe width 1..16
//   mirrored       s * copies           copies (DataRedundancy) 2..4, copies * width <= 16
//   parity         s * w / (w - 1)      w = StripeWidth, parity included, 3..16
//   double parity  s * w / (w - 2)      w 4..16
// The engine spreads a volume evenly over its pool, so a drive's free blocks are its capacity
// times the pool's free fraction.
#ifndef KVEL_Capacity_h
#define KVEL_Capacity_h

#include <vector>
#include "ArrayModel.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// The largest volume the engine accepts: 2^48 blocks (128 PiB).
const Uint64 MAX_VOLUME_BLOCKS = Uint64(1) << 48;
const Uint32 DEFAULT_CHUNK_BLOCKS = 128; // 64 KiB
const size_t MAX_NAME_LENGTH = 64;

struct Layout
{
    KVELVolume::VolumeOrganizationEnum organization = KVELVolume::VOLUME_ORGANIZATION_STRIPED;
    Uint16 copies = 1;
    Uint16 width = 1;
    Uint32 chunkBlocks = DEFAULT_CHUNK_BLOCKS;
};

// Checks and normalises a layout: copies 0 means 1 outside mirroring, chunk 0 means 64 KiB,
// other chunks are powers of two from 4 KiB to 1 MiB. KVEL_RC_SUCCESS or KVEL_RC_INVALID_LAYOUT.
Uint32 makeLayout(Uint32 organization, Uint32 copies, Uint32 width, Uint32 chunkBlocks, Layout& layout);
Uint32 layoutOf(const KVELVolume& volume, Layout& layout);
// Writes the layout into a record, with the package redundancy it gives.
void applyLayout(const Layout& layout, KVELVolume& volume);
bool sameLayout(const Layout& a, const Layout& b);

Uint16 packageRedundancy(const Layout& layout);
Uint32 drivesNeeded(const Layout& layout);
Uint64 rawBlocks(const Layout& layout, Uint64 sizeBlocks);
// The largest size whose raw blocks fit in rawFree.
Uint64 maxSizeFor(const Layout& layout, Uint64 rawFree);

Uint32 checkName(const std::string& name); // KVEL_RC_SUCCESS or KVEL_RC_INVALID_NAME

// Pool figures. A pool's total counts its online drives (but the one excluded).
Uint64 poolTotalBlocks(const ArrayModel& model, Uint32 poolID, Uint32 excludedDrive = 0);
Uint64 poolUsedBlocks(const ArrayModel& model, Uint32 poolID);
Uint64 poolFreeBlocks(const ArrayModel& model, Uint32 poolID);
Uint32 poolOnlineDrives(const ArrayModel& model, Uint32 poolID);
// Free blocks of the listed drives of a pool: their share of the pool's free space.
Uint64 drivesFreeBlocks(const ArrayModel& model, Uint32 poolID, const std::vector<Uint32>& drives);

// Whether the pool still holds its volumes once the drive has left it.
bool poolHoldsWithout(const ArrayModel& model, Uint32 poolID, Uint32 driveID);
// Whether a volume names the drive in its drive list.
bool driveCarriesVolume(const ArrayModel& model, Uint32 driveID);

// The drive list of a record, up to its first 0.
std::vector<Uint32> driveListOf(const KVELVolume& volume);
void setDriveList(KVELVolume& volume, const std::vector<Uint32>& drives);

// Checks a drive list for a layout in a pool: KVEL_RC_INVALID_DRIVE_LIST (empty, a drive twice,
// more than MAX_DRIVES, fewer than the layout needs), KVEL_RC_NO_SUCH_DRIVE, or
// KVEL_RC_DRIVE_NOT_AVAILABLE (not online or in another pool).
Uint32 checkDriveList(const ArrayModel& model, Uint32 poolID, const std::vector<Uint32>& drives,
                      const Layout& layout);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
