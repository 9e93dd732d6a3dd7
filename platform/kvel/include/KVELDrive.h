// A disk drive record and a pool record.
#ifndef KVEL_KVELDrive_h
#define KVEL_KVELDrive_h

#include <string>
#include <ManagedObject.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELDrive : public ManagedObject
{
public:
    enum DriveStateEnum
    {
        DRIVE_STATE_ONLINE = 0,
        DRIVE_STATE_DOWN = 1,          // taken down by downDrive
        DRIVE_STATE_INITIALIZING = 2,
        DRIVE_STATE_FAILED = 3
    };

    KVELDrive();
    virtual ManagedObject* clone() const;

    Uint32 PoolObjectID;
    Uint64 CapacityBlocks;         // in 512-byte blocks
    Uint16 Slot;                   // enclosure slot
    std::string Vendor;
    std::string Model;
    std::string SerialNumber;
    DriveStateEnum State;
};

class KVEL_LINKAGE KVELPool : public ManagedObject
{
public:
    // The four pools every array has, under fixed object IDs.
    static const Uint32 UNAVAILABLE_POOL_ID = 0x37000001; // failed and downed drives
    static const Uint32 SPARE_POOL_ID = 0x37000002;       // hot spares
    static const Uint32 AVAILABLE_POOL_ID = 0x37000003;   // drives not yet given to storage
    static const Uint32 BASE_POOL_ID = 0x37000004;        // the pool volumes are made in

    KVELPool();
    virtual ManagedObject* clone() const;

    std::string Name;
    Uint64 TotalBlocks;            // sum of the capacity of its online drives
    Uint64 UsedBlocks;             // taken by volumes, redundancy included
    bool Primordial;               // true for the three pools of raw drives, false for the base pool
};

PEGASUS_NAMESPACE_END

#endif
