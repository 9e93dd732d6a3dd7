// The storage engine: the one object through which everything on the array is read and changed.
// All operations are safe to call from many threads: the engine serialises them behind one lock.
//
// Time: every operation first moves the tasks on to the clock's reading, so no thread drives the
// engine and the same calls at the same readings always give the same state. Long work runs as a
// task: the work operations make the visible change at once (a new volume exists as INITIALIZING,
// a grown volume has its new size, a deleted one is DELETING) and the task completes it after a
// run time that follows the work size (seconds to a few minutes), or undoes it when aborted.
// One task runs per volume or drive at a time; while a create, grow, reconfigure or delete is
// unfinished on a volume (or a take-down or initialisation on a drive), another such operation
// is refused with KVEL_RC_OBJECT_BUSY, and so is any work on an INITIALIZING or DELETING volume.
// Scans and rebuilds queue. A finished task stays listed for 300 s. At most 256 tasks exist.
//
// A schedule set on the caller's task record (setTaskScheduling...) is honoured: a start time in
// the future leaves the task QUEUED until then (the result is still KVEL_RC_SUCCESS).
//
// Controller: while a shutdown is pending, the controller restarts (30 s after a forced reset,
// 90 s after a firmware activation, 180 s when both controllers activate, 120 s after a completed
// shutdown with restart) or it is halted, operations that change the array or start work answer
// KVEL_RC_SHUTTING_DOWN; reading and task control go on.
//
// Durable state: with a state file, the whole state is written as JSON after every change, and
// loaded instead of the description when the file exists. A change whose writing fails answers
// KVEL_RC_STATE_NOT_SAVED (it was made). describe() gives the same JSON.
#ifndef KVEL_KVELEngine_h
#define KVEL_KVELEngine_h

#include <memory>
#include <string>
#include <vector>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/String.h>
#include <KVELTypes.h>
#include <KVELErrorCodes.h>
#include <KVELClock.h>
#include <KVELController.h>
#include <KVELTask.h>
#include <KVELVolume.h>
#include <KVELDrive.h>
#include <KVELEngineObserver.h>

PEGASUS_NAMESPACE_BEGIN

class KVELArrayState;

// How the process-wide engine is made. fromEnvironment() reads:
//   KVEL_ARRAY        JSON description of the array to load (default: the built-in demo array)
//   KVEL_STATE        durable state file; loaded when it exists, rewritten after every change
//   KVEL_RAMDISK_DIR  directory of persistence transfer files (default: $TMPDIR or /tmp)
//   KVEL_SLOT         this controller's slot, 0 or 1 (default 0; anything else throws Exception)
//   KVEL_TIME_SCALE   the clock runs this many times as fast, 1 to 10000 (default 1; else throws)
//   KVEL_HOST_NAME    the host name in the array's paths (default: the array description's, else
//                     the name of the machine, as a real array's management controller has)
struct KVEL_LINKAGE KVELEngineConfig
{
    std::string arrayDescriptionFile;
    std::string stateFile;
    std::string ramdiskDirectory;
    Uint32 controllerSlot = 0;
    std::string hostName;             // empty: the description's host, else the machine's name
    std::shared_ptr<KVELClock> clock; // null: the system clock
    // Size of the task table; work beyond it is refused with KVEL_RC_TOO_MANY_TASKS. Benchmarks
    // raise it to measure with many tasks.
    Uint32 maxTasks = 256;

    static KVELEngineConfig fromEnvironment();
};

class KVEL_LINKAGE KVELEngine
{
public:
    // The process-wide engine, made from the environment on first use. Throws Exception when
    // the array description or the state file cannot be used; the message names the file.
    static KVELEngine* _getInstance();
    // Replaces the process-wide engine (tests, and servers that configure it explicitly).
    // Engines replaced earlier stay alive until the process ends, so pointers to them held by
    // providers never dangle.
    static KVELEngine* createInstance(const KVELEngineConfig& config);

    // Point to the system name and the host name of the array (the demo array's "ZARVO-0001"
    // and the machine's name before an engine exists). They change only when createInstance
    // loads an array with other names, and point to storage that stays valid.
    static const char* _ZarvoSystemNamePtr;
    static const char* _ZarvoHostNamePtr;

    // This controller's slot (0 or 1), of the process-wide engine (KVEL_SLOT before there is one).
    static Uint32 _getControllerSlotId();
    // Writes a fresh transfer file name, "<ramdisk dir>/kvel-xfer-<pid>-<n>.tmp" with n counting
    // up, into buffer (NUL-terminated). Returns 0 when the name does not fit in bufferSize bytes,
    // else the name's length.
    static Uint32 getRamdiskFilename(Uint32 bufferSize, char* buffer);

    ~KVELEngine();

    // ---- records --------------------------------------------------------------------------------
    // Object IDs of all records of a class, in ascending order; volume setting records are
    // listed with the volumes (class 58); class 57 lists the array and its two blades, which have
    // no records.
    Array<Uint32> enumerateObjects(CLASSID_e classID);
    // The ID of the task with that key, or KVEL_NULL_OBJECT_ID. The String form accepts the key
    // as its hexadecimal text (a job's "InstanceID", either letter case) as well as the raw bytes
    // (each character below 256 one byte).
    Uint32 getObjectIDByKey(CLASSID_e classID, const KVELKey& key);
    Uint32 getObjectIDByKey(CLASSID_e classID, const String& key);
    // A copy of the record (KVELTask, KVELPool, KVELDrive, KVELVolume), owned by the caller
    // (delete it), or null when there is none or the ID is not of the class.
    ManagedObject* getObject(CLASSID_e classID, Uint32 objectID);
    // Writes a changed record back; a copy changed but not written back changes nothing.
    // Tasks, by CommandCode: 12 resume (KVEL_RC_TASK_NOT_RESUMABLE unless suspended), 13 suspend
    // (KVEL_RC_TASK_NOT_SUSPENDABLE unless queued or running), 14 abort, 15 set Priority (low 16
    // bits; KVEL_RC_SUCCESS_NO_CHANGE when equal); on a finished task KVEL_RC_TASK_FINISHED;
    // other codes KVEL_RC_INVALID_COMMAND. With 0, a changed schedule (Scheduled, StartTime,
    // PeriodicityUnit, Periodicity, Priority) is taken; it applies to runs not yet started.
    // Volumes: the name; setting records: every field but State and ConsumedBlocks.
    // Drives and pools: KVEL_RC_NOT_SUPPORTED.
    Uint32 modifyObject(CLASSID_e classID, const ManagedObject* object);
    // Removes a task (unfinished ones are aborted first) or an unused volume setting record
    // (a volume: KVEL_RC_SETTING_IN_USE; use deleteVolume).
    Uint32 deleteObject(CLASSID_e classID, Uint32 objectID);
    // A new volume setting record with the given name and layout; IsSetting is set. Result code;
    // the new ID in objectID.
    Uint32 createSetting(const KVELVolume& layout, Uint32& objectID);

    // ---- work run as tasks ------------------------------------------------------------------------
    // Each takes a default-built task record; on success it becomes a copy of the started task
    // (its object ID is the task ID). Without a task (no change) it is left as it was.
    //
    // createVolume: the setting record (by its object ID; KVEL_RC_NO_SUCH_OBJECT, or
    // KVEL_RC_SETTING_IN_USE when it is a volume already) becomes the volume, described by the
    // fields of the record passed: Size (KVEL_RC_INVALID_SIZE when 0), Name, PoolObjectID (0 = the
    // base pool), layout, and with ManualCreate the drives in DriveIDs (all online and in the pool;
    // at least DataRedundancy x StripeWidth). Beyond the free space: KVEL_RC_INSUFFICIENT_CAPACITY.
    // Unlike the other operations it reports a refusal by throwing KVELOperationFailedException
    // with that result code; it returns only when the volume was made: KVEL_RC_SUCCESS, or
    // KVEL_RC_STATE_NOT_SAVED.
    Uint32 createVolume(KVELVolume* setting, KVELTask* task);
    // New size = volume->Size: smaller KVEL_RC_INVALID_SIZE, equal KVEL_RC_SUCCESS_NO_CHANGE.
    Uint32 growVolume(Uint32 volumeID, KVELVolume* volume, KVELTask* task);
    // The volume takes the layout and hints of the setting record (which stays), and its Size
    // when that is not 0 (not smaller than the volume). Only hints changing: done at once, no task.
    Uint32 reconfigureVolume(Uint32 volumeID, KVELVolume* setting, KVELTask* task);
    // A setting record is removed at once (no task); a volume goes DELETING, its queued scans and
    // rebuilds are aborted, and it is removed, its space returned, when the task completes.
    Uint32 deleteVolume(Uint32 objectID, KVELTask* task);
    // The drive stays in service until the task completes; it then goes DOWN into the unavailable
    // pool, or the task fails with KVEL_RC_DRIVE_IN_USE if its pool could no longer hold its
    // volumes. KVEL_RC_DRIVE_IN_USE at once too when a volume lists the drive.
    Uint32 downDrive(Uint32 driveID, KVELTask* task);
    // Not for drives of the base pool (KVEL_RC_DRIVE_IN_USE). INITIALIZING, then ONLINE in the
    // available pool; aborted: DOWN in the unavailable pool.
    Uint32 initializeDrive(Uint32 driveID, KVELTask* task);
    // The only work that may recur (setTaskSchedulingRecurring); others: KVEL_RC_INVALID_SCHEDULE.
    Uint32 scanVolume(Uint32 volumeID, KVELTask* task);
    // Needs redundancy (KVEL_RC_VOLUME_NOT_REDUNDANT); REBUILDING while it runs, then OK.
    Uint32 rebuildVolume(Uint32 volumeID, KVELTask* task);

    // A volume from plain layout values (mirrorCount is DataRedundancy; poolPtr 0 = the base pool;
    // an empty drive list spreads it over the pool).
    Uint32 createVolumeAtomic(const char* name, Uint64 sizeBlocks, Uint32 poolPtr, Uint8 stripeWidth,
                              Uint8 mirrorCount, Uint32 chunkBlocks,
                              KVELVolume::VolumeOrganizationEnum organization, std::vector<Uint32> drives,
                              KVELTask* task, Uint32& newVolumeID);
    // Builds a shadow volume with the new layout beside the old one (the pool needs room for
    // both; sizeBlocks 0 keeps the size, poolPtr 0 the pool) and returns its ID. The shadow is
    // INITIALIZING until the task completes; then the old volume is removed and the shadow, under
    // its own ID and with the old name, takes its place (pending tasks move to it). Aborted: the
    // shadow is removed.
    Uint32 reconfigureVolumeAtomic(Uint32 volumePtr, Uint64 sizeBlocks, Uint32 poolPtr, Uint8 stripeWidth,
                                   Uint8 mirrorCount, Uint32 chunkBlocks,
                                   KVELVolume::VolumeOrganizationEnum organization,
                                   std::vector<Uint32> drives, KVELTask* task, Uint32& shadowVolumeID);
    // The pool's free raw blocks (or the listed drives' share of them) divided by the layout's
    // factor.
    Uint32 getMaxVolumeSizeBlocks(Uint32 chunkBlocks, Uint8 stripeWidth, Uint8 mirrorCount,
                                  KVELVolume::VolumeOrganizationEnum organization, Uint32 poolPtr,
                                  std::vector<Uint32> drives, Uint64& maxBlocks);

    // ---- drives and the controller pair -------------------------------------------------------------
    // Moves an online drive at once (not into the unavailable pool: KVEL_RC_INVALID_PARAMETER).
    // KVEL_RC_DRIVE_IN_USE when its pool could no longer hold its volumes or a volume lists it.
    Uint32 transferDrive(Uint32 driveID, Uint32 poolID);
    Uint32 setDiskLineMode(KVELRedundantPair::DiskLineModeEnum mode);
    // Shutdown and upgrade: a second initiate KVEL_RC_CONTROLLER_STATE, a second step without its
    // first KVEL_RC_OUT_OF_ORDER. A completed shutdown without restart halts the controller until
    // the engine is made anew.
    Uint32 initiateShutdown(bool restart);
    Uint32 completeShutdown();
    Uint32 forceLocalReset();
    // Image sizes 1 byte to 64 MiB.
    Uint32 initiateFirmwareUpgrade(Uint32 imageSize);
    // environment 0: this controller, 1: both in turn; others KVEL_RC_INVALID_PARAMETER.
    Uint32 activateFirmwareUpgrade(Uint32 environment);
    // Reads the transfer file (at most 16 MiB, else KVEL_RC_INVALID_PARAMETER) and stores its bytes
    // as the persistence block(s) of the setting.
    Uint32 setPersistenceData(KVELController::PersistenceEnum setting, const char* fileName);
    // Writes this controller's persistence block into the transfer file (created or truncated).
    // Only with KVEL_RC_SUCCESS is the file left for the caller: when any other result is
    // answered (KVEL_RC_STATE_NOT_SAVED included) a file it wrote has been removed again.
    Uint32 getPersistenceData(const char* fileName);

    // ---- failure injection ---------------------------------------------------------------------------
    // For demonstrations and client tests (an array description's "faults" schedules them too).
    // failDrive: the drive goes FAILED and stops counting in its pool; the volumes built on it go
    // DEGRADED (FAILED without redundancy); unfinished tasks on them or on the drive fail with
    // KVEL_RC_DRIVE_FAILED, their work undone. An already failed drive: KVEL_RC_SUCCESS_NO_CHANGE.
    Uint32 failDrive(Uint32 driveID);
    // An unfinished task ends FAILED with the result code (as ErrorCode), its work undone as an
    // abort's; a finished one answers KVEL_RC_TASK_FINISHED.
    Uint32 failTask(Uint32 taskID, Uint32 resultCode);

    // The engine time of the next thing the array does by itself (a task's run ending, a scheduled
    // start coming due, a finished task's retention running out, a drive failing as the array
    // description's faults say): true and the time, or false when nothing is due. For watchers
    // that would rather wake then than poll.
    bool nextTaskEvent(MPU_TIME& when);

    // ---- observers ---------------------------------------------------------------------------------
    // The engine keeps the observer (shared) until removeObserver; a call already under way may
    // still reach it after that returns, so an observer guards its own state. Threads calling the
    // engine at once may tell an observer at once.
    void addObserver(const std::shared_ptr<KVELEngineObserver>& observer);
    void removeObserver(const KVELEngineObserver* observer);

    // ---- for servers and tests ---------------------------------------------------------------------
    MPU_TIME now() const;
    KVELClock& clock() const;
    // The state as JSON text, as the durable state file holds it.
    std::string describe();

private:
    explicit KVELEngine(const KVELEngineConfig& config);
    KVELEngine(const KVELEngine&) = delete;
    KVELEngine& operator=(const KVELEngine&) = delete;

    // Tells the observers after a call; see KVELEngineObserver.
    void notifyObservers(Uint64 changesBefore, MPU_TIME timeBefore);
    template <typename Operation> Uint32 work(Operation operation);
    template <typename Operation> auto look(Operation operation);

    std::unique_ptr<KVELArrayState> _state;
    struct Observers;
    std::unique_ptr<Observers> _observers;
};

PEGASUS_NAMESPACE_END

#endif
