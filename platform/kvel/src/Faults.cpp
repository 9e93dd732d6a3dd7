// Failure injection: a drive that fails and a task that fails, so that clients can be shown (and
// tested against) a failing array. A failed drive no longer counts in its pool; the volumes with a
// part on it (those listing it, and those spread over its pool) lose a copy (DEGRADED) or, without
// redundancy, their data (FAILED), and the unfinished tasks on them or on the drive fail with
// KVEL_RC_DRIVE_FAILED, their work undone.
#include "ArrayState.h"
#include "TaskEffects.h"

PEGASUS_NAMESPACE_BEGIN

using namespace kvelsim;

namespace
{
// A volume spread over its pool (no drive list) has a part on every drive of the pool.
bool builtOn(const KVELVolume& volume, const KVELDrive& drive)
{
    if (volume.getDriveCount() == 0) return volume.PoolObjectID == drive.PoolObjectID;
    const Uint32 driveID = drive.getObjectID();
    for (Uint32 i = 0; i < KVELVolume::MAX_DRIVES && volume.DriveIDs[i] != 0; ++i)
        if (volume.DriveIDs[i] == driveID) return true;
    return false;
}
} // namespace

Uint32 KVELArrayState::failDrive(Uint32 driveID)
{
    KVELDrive* drive = _model.findDrive(driveID);
    if (!drive) return KVEL_RC_NO_SUCH_DRIVE;
    if (drive->State == KVELDrive::DRIVE_STATE_FAILED) return KVEL_RC_SUCCESS_NO_CHANGE;
    drive->State = KVELDrive::DRIVE_STATE_FAILED;
    _model.touched = true;
    _scheduler.failTasksOn(driveID, KVEL_RC_DRIVE_FAILED, now());
    std::vector<Uint32> hit;
    for (const auto& entry : _model.volumes)
        if (!entry.second.IsSetting && builtOn(entry.second, *drive)) hit.push_back(entry.first);
    for (Uint32 id : hit)
    {
        _scheduler.failTasksOn(id, KVEL_RC_DRIVE_FAILED, now());
        KVELVolume* volume = _model.findRealVolume(id); // a failed creation may have undone it
        if (!volume || (volume->State != KVELVolume::VOLUME_STATE_OK &&
                        volume->State != KVELVolume::VOLUME_STATE_REBUILDING))
            continue;
        volume->State = volume->PackageRedundancy > 0 ? KVELVolume::VOLUME_STATE_DEGRADED
                                                      : KVELVolume::VOLUME_STATE_FAILED;
    }
    _scheduler.startDue(now());
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::failTask(Uint32 taskID, Uint32 resultCode)
{
    TaskEntry* task = _model.findTask(taskID);
    if (!task) return KVEL_RC_NO_SUCH_TASK;
    if (isFinished(task->record)) return KVEL_RC_TASK_FINISHED;
    _scheduler.fail(*task, resultCode, now());
    return KVEL_RC_SUCCESS;
}

std::optional<MPU_TIME> KVELArrayState::nextTaskEvent()
{
    std::optional<MPU_TIME> next = _scheduler.nextEvent();
    // A drive fails at its time whatever runs; a job's fault waits for a job, whose run is an event.
    for (const ScheduledFault& fault : _model.faults)
        if (fault.driveID != 0 && (!next || fault.at < *next)) next = fault.at;
    return next;
}

void KVELArrayState::applyDueFaults()
{
    for (auto fault = _model.faults.begin(); fault != _model.faults.end();)
    {
        if (fault->at > now())
        {
            ++fault;
            continue;
        }
        if (fault->driveID != 0)
            failDrive(fault->driveID);
        else
        {
            // The task running longest; none running: the fault waits for one.
            TaskEntry* running = nullptr;
            for (auto& entry : _model.tasks)
                if (entry.second.record.State == KVELTask::TASK_STATE_RUNNING &&
                    (!running || entry.second.sequence < running->sequence))
                    running = &entry.second;
            if (!running)
            {
                ++fault;
                continue;
            }
            _scheduler.fail(*running, fault->errorCode, now());
        }
        fault = _model.faults.erase(fault);
        _model.touched = true;
    }
}

PEGASUS_NAMESPACE_END
