// The engine's state and the rules of every engine operation. KVELEngine holds one, takes its
// lock and brings the tasks up to the clock before each call, and commits the change after.
#ifndef KVEL_ArrayState_h
#define KVEL_ArrayState_h

#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include <Pegasus/Common/Array.h>
#include <KVELEngine.h>
#include "ArrayModel.h"
#include "Capacity.h"
#include "ControllerPair.h"
#include "TaskScheduler.h"

PEGASUS_NAMESPACE_BEGIN

class KVELArrayState
{
public:
    // Loads the state file when it exists, else the description file, else the demo array.
    // Throws Exception naming the file when one cannot be used.
    explicit KVELArrayState(const KVELEngineConfig& config);

    static void assignObjectID(ManagedObject& record, Uint32 objectID) { record._objectID = objectID; }

    std::mutex& mutex() { return _mutex; }
    KVELClock& clock() const { return *_clock; }
    // The clock's time, carried on from a loaded state that is ahead of it (see _clockOffset).
    MPU_TIME clockNow() const { return _clock->now() + _clockOffset; }
    const KVELEngineConfig& config() const { return _config; }
    const std::string& systemName() const { return _model.systemName; }
    // The configured host name, else the description's, else the machine's.
    const std::string& hostName() const { return _hostName; }

    // Brings tasks and the controller up to the clock.
    // Moves tasks and the controller on to the clock's time; before work.
    void advance();
    // The same before a reading; cheap when nothing can have moved since the last one.
    void advanceToRead();
    // The engine time of the next task event or drive fault, if any (see KVELEngine::nextTaskEvent).
    std::optional<MPU_TIME> nextTaskEvent();
    // Writes the state file when something changed; a successful result becomes
    // KVEL_RC_STATE_NOT_SAVED when that fails.
    Uint32 commit(Uint32 resultCode);
    std::string describe();
    // Counts the changes committed so far (every one the durable state file sees).
    Uint64 changeCount() const { return _changeCount; }
    // Engine time the last move of the tasks brought them to.
    MPU_TIME engineTime() const { return _model.lastAdvanced; }

    // Records.
    Array<Uint32> enumerateObjects(CLASSID_e classID) const;
    Uint32 taskIDByKey(CLASSID_e classID, const KVELKey& key) const;
    ManagedObject* copyOf(CLASSID_e classID, Uint32 objectID);
    Uint32 modifyObject(CLASSID_e classID, const ManagedObject* object);
    Uint32 deleteObject(CLASSID_e classID, Uint32 objectID);
    Uint32 createSetting(const KVELVolume& layout, Uint32& objectID);

    // Volume work.
    Uint32 createVolume(const KVELVolume* setting, KVELTask* task);
    Uint32 growVolume(Uint32 volumeID, const KVELVolume* volume, KVELTask* task);
    Uint32 reconfigureVolume(Uint32 volumeID, const KVELVolume* setting, KVELTask* task);
    Uint32 deleteVolume(Uint32 objectID, KVELTask* task);
    Uint32 scanVolume(Uint32 volumeID, KVELTask* task);
    Uint32 rebuildVolume(Uint32 volumeID, KVELTask* task);
    // The layout of the atomic operations and of maxVolumeSize comes as makeLayout takes it.
    struct LayoutRequest
    {
        Uint32 organization;
        Uint32 copies;
        Uint32 width;
        Uint32 chunkBlocks;
    };
    Uint32 createVolumeAtomic(const char* name, Uint64 sizeBlocks, Uint32 poolID, const LayoutRequest& layout,
                              const std::vector<Uint32>& drives, KVELTask* task, Uint32& newVolumeID);
    Uint32 reconfigureVolumeAtomic(Uint32 volumeID, Uint64 sizeBlocks, Uint32 poolID,
                                   const LayoutRequest& layout, const std::vector<Uint32>& drives,
                                   KVELTask* task, Uint32& shadowVolumeID);
    Uint32 maxVolumeSize(const LayoutRequest& layout, Uint32 poolID, const std::vector<Uint32>& drives,
                         Uint64& maxBlocks);

    // Drives.
    Uint32 transferDrive(Uint32 driveID, Uint32 poolID);
    Uint32 downDrive(Uint32 driveID, KVELTask* task);
    Uint32 initializeDrive(Uint32 driveID, KVELTask* task);

    // Failure injection (Faults.cpp): a drive fails, or a task ends FAILED with the result code.
    Uint32 failDrive(Uint32 driveID);
    Uint32 failTask(Uint32 taskID, Uint32 resultCode);

    // The controller.
    Uint32 setDiskLineMode(Uint32 mode);
    Uint32 initiateShutdown(bool restart);
    Uint32 completeShutdown();
    Uint32 forceLocalReset();
    Uint32 initiateFirmwareUpgrade(Uint32 imageSize);
    Uint32 activateFirmwareUpgrade(Uint32 environment);
    Uint32 setPersistenceData(Uint32 setting, const char* fileName);
    Uint32 getPersistenceData(const char* fileName);

private:
    // Engine time of the present operation.
    MPU_TIME now() const { return _model.lastAdvanced; }
    void load();
    // The checks every new volume passes; fills in the pool, layout fields, drive list and
    // consumed blocks of the wanted volume.
    Uint32 prepareVolume(KVELVolume& wanted);
    // Refusal for work on a volume in its present state, or KVEL_RC_SUCCESS.
    Uint32 volumeWorkable(const KVELVolume& volume, bool structural) const;
    // Adds the task, starts it when it can and copies it into the caller's record.
    void startTask(KVELTask* request, KVELTask::TaskTypeEnum type, Uint32 target, Uint64 workBlocks,
                   std::optional<KVELVolume> before = std::nullopt, Uint32 shadowID = 0);
    std::string defaultTaskName(KVELTask::TaskTypeEnum type, Uint32 target) const;
    Uint32 modifyVolume(const KVELVolume& copy);
    // Applies the description's faults whose time has come.
    void applyDueFaults();

    KVELEngineConfig _config;
    std::shared_ptr<KVELClock> _clock;
    // A state saved by a faster clock (a time scale) is ahead of this one; time goes on from
    // where it was rather than standing still until this clock catches up.
    MPU_TIME _clockOffset = 0;
    std::mutex _mutex;
    kvelsim::ArrayModel _model;
    std::string _hostName;
    kvelsim::TaskScheduler _scheduler;
    Uint64 _changeCount = 0;
    bool _quiet = false; // advanced at lastAdvanced, and no work done since
    kvelsim::ControllerPair _controller;
};

PEGASUS_NAMESPACE_END

#endif
