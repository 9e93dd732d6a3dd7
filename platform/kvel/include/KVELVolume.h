// A volume record. Volume setting records are volume records too (IsSetting true): a client
// prepares one as the "goal" of a volume creation, and creating the volume turns that record
// into the volume, under the same object ID.
//
// Layouts (the engine refuses others with KVEL_RC_INVALID_LAYOUT), with the raw pool blocks a
// volume of s blocks consumes, rounded up:
//   STRIPED        DataRedundancy 1, StripeWidth 1..16                 s
//   MIRRORED       DataRedundancy 2..4 copies, copies x width <= 16    s x copies
//   PARITY         StripeWidth w 3..16 (parity included)               s x w / (w - 1)
//   DOUBLE_PARITY  StripeWidth w 4..16                                 s x w / (w - 2)
// DataRedundancy 0 reads as 1 outside mirroring. ChunkSize 0 means 128 blocks (64 KiB); others
// must be powers of two from 8 to 2048 blocks. PackageRedundancy follows from the layout
// (copies - 1, 1 or 2). A volume needs DataRedundancy x StripeWidth online drives in its pool.
// Sizes go up to 2^48 blocks.
#ifndef KVEL_KVELVolume_h
#define KVEL_KVELVolume_h

#include <string>
#include <ManagedObject.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELVolume : public ManagedObject
{
public:
    // How the data is laid out on the drives.
    enum VolumeOrganizationEnum : Uint16
    {
        VOLUME_ORGANIZATION_STRIPED = 0,       // no redundancy
        VOLUME_ORGANIZATION_MIRRORED = 1,      // MirrorCount copies
        VOLUME_ORGANIZATION_PARITY = 5,        // one parity chunk per stripe
        VOLUME_ORGANIZATION_DOUBLE_PARITY = 6  // two parity chunks per stripe
    };

    enum VolumeStateEnum
    {
        VOLUME_STATE_OK = 0,
        VOLUME_STATE_INITIALIZING = 1,
        VOLUME_STATE_DEGRADED = 2,
        VOLUME_STATE_REBUILDING = 3,
        VOLUME_STATE_DELETING = 4,
        VOLUME_STATE_FAILED = 5
    };

    // The drive list holds at most this many drives; it ends at the first 0 entry.
    static const Uint32 MAX_DRIVES = 16;

    KVELVolume();
    virtual ManagedObject* clone() const;

    Uint64 Size;                   // in 512-byte blocks
    std::string Name;
    Uint32 PoolObjectID;
    Uint16 DataRedundancy;         // copies of the data (1 = none, 2 = mirrored); "MirrorCnt"
    Uint16 PackageRedundancy;      // drives that may fail without data loss
    Uint16 StorageEfficiencyHint;
    Uint16 AccessBandwidthWeight;
    bool NoSinglePointOfFailure;
    bool ManualCreate;             // built on the drives in DriveIDs rather than spread over the pool
    Uint32 ChunkSize;              // in 512-byte blocks
    Uint16 StripeWidth;            // drives a stripe spans: per copy when mirrored, parity included
    VolumeOrganizationEnum VolumeOrganization;
    Uint32 DriveIDs[MAX_DRIVES];

    bool IsSetting;                // a volume setting record not yet used for a volume
    // Kept by the engine.
    VolumeStateEnum State;
    Uint64 ConsumedBlocks;         // raw pool blocks the volume takes, redundancy included

    // Number of entries before the first 0 in DriveIDs.
    Uint32 getDriveCount() const;
};

PEGASUS_NAMESPACE_END

#endif
