// What a pool can give its volumes, from the drives online in it: the bounds of each layout goal
// and the layout a new volume setting starts from.
#ifndef INVENTORY_PoolCapabilities_h
#define INVENTORY_PoolCapabilities_h

#include <Pegasus/Common/Config.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

struct PoolCapabilities
{
    Uint32 onlineDrives = 0;
    Uint16 dataRedundancyMax = 1;    // copies of the data: up to 4, each on its own drives
    Uint16 packageRedundancyMax = 0; // drives that may fail: copies - 1, or 2 with double parity
    bool noSinglePointOfFailure = false;
    // Two copies striped over up to four drives each when the pool has two drives or more, else a
    // single drive; chunks of 128 blocks (64 KiB).
    KVELVolume defaultLayout;
};

// Reads the pool's drives from the engine; an unknown pool has no drives.
PoolCapabilities poolCapabilities(Uint32 poolID);

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
