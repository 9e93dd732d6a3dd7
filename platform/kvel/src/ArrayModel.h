// The array's records as plain data: what the durable state file holds. No rules live here;
// the capacity rules, the task scheduler and the work operations act on it.
#ifndef KVEL_ArrayModel_h
#define KVEL_ArrayModel_h

#include <map>
#include <optional>
#include <string>
#include <vector>
#include <KVELController.h>
#include <KVELErrorCodes.h>
#include <KVELDrive.h>
#include <KVELTask.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// A task as the engine keeps it: the public record plus what the engine needs to run and undo it.
struct TaskEntry
{
    KVELTask record;                  // what getObject hands out (CommandCode always 0)
    Uint64 sequence = 0;              // submission order; also the low half of the key
    MPU_TIME duration = 0;            // run time one run needs
    MPU_TIME runAt = 0;               // when the pending run may start
    bool holdsObject = false;         // its current run has started and not ended
    MPU_TIME progressedAt = 0;        // engine time the run time of a running task refers to
    std::optional<KVELVolume> before; // the volume as it was, to undo the work on abort
    Uint32 shadowID = 0;              // the replacement volume of an atomic reconfiguration
};

// A failure the array description asks for, to show clients how a failing array looks: at engine
// time `at` the drive fails, or (driveID 0) the first task running from then on fails with
// errorCode. Applied at the first engine call at or after that time.
struct ScheduledFault
{
    MPU_TIME at = 0;
    Uint32 driveID = 0;
    Uint32 errorCode = KVEL_RC_DRIVE_FAILED;
};

struct ArrayModel
{
    std::string systemName;
    std::string hostName; // empty: the machine's name
    std::string firmwareVersion;
    KVELRedundantPair::DiskLineModeEnum diskLineMode = KVELRedundantPair::DISK_LINE_MODE_SHARED;
    std::map<Uint32, std::string> poolNames; // exactly the four fixed pools
    std::map<Uint32, KVELDrive> drives;
    std::map<Uint32, KVELVolume> volumes; // volumes and volume setting records
    std::map<Uint32, TaskEntry> tasks;
    std::vector<ScheduledFault> faults; // not yet applied, in the description's order
    std::vector<Uint8> persistence[2];  // the persistence block of each controller slot
    Uint32 nextVolumeNumber = 1;
    Uint32 nextTaskNumber = 1;
    Uint64 taskSequence = 0;
    MPU_TIME lastAdvanced = 0; // engine time the task progress refers to

    // Set by every change that the durable state file must see; cleared when it is written.
    bool touched = false;

    KVELVolume* findVolume(Uint32 id);     // volumes and setting records
    KVELVolume* findRealVolume(Uint32 id); // volumes only
    KVELDrive* findDrive(Uint32 id);
    TaskEntry* findTask(Uint32 id);
    bool isPool(Uint32 id) const { return poolNames.count(id) != 0; }

    // Fresh object IDs (0 when the class has run out of numbers). Task numbers never use
    // 0xFFFFFF, which callers read as "no task".
    Uint32 allocateVolumeID();
    Uint32 allocateTaskID();

    // The four pools with their usual names.
    void addStandardPools();
};

// Sets the object ID of a record (the base keeps it private).
void assignObjectID(ManagedObject& record, Uint32 objectID);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
