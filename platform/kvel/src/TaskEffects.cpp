#include "TaskEffects.h"

#include "Capacity.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
bool isDriveTask(KVELTask::TaskTypeEnum type)
{
    return type == KVELTask::TASK_TYPE_INITIALIZE_DRIVE || type == KVELTask::TASK_TYPE_DOWN_DRIVE;
}

// Takes everything back but the name, which may have been changed since.
void restoreVolume(KVELVolume& volume, const KVELVolume& before)
{
    std::string name = volume.Name;
    volume = before;
    volume.Name = name;
}
} // namespace

bool isStructural(KVELTask::TaskTypeEnum type)
{
    return type != KVELTask::TASK_TYPE_SCAN_VOLUME && type != KVELTask::TASK_TYPE_REBUILD_VOLUME;
}

bool isFinished(const KVELTask& task)
{
    return task.State == KVELTask::TASK_STATE_COMPLETED || task.State == KVELTask::TASK_STATE_ABORTED ||
           task.State == KVELTask::TASK_STATE_FAILED;
}

Uint32 checkTarget(const ArrayModel& model, const TaskEntry& task)
{
    Uint32 target = task.record.TargetObjectPtr;
    if (isDriveTask(task.record.Type))
        return model.drives.count(target) ? KVEL_RC_SUCCESS : KVEL_RC_NO_SUCH_DRIVE;
    auto it = model.volumes.find(target);
    return it != model.volumes.end() && !it->second.IsSetting ? KVEL_RC_SUCCESS : KVEL_RC_NO_SUCH_VOLUME;
}

void onTaskStart(ArrayModel& model, TaskEntry& task)
{
    if (task.record.Type != KVELTask::TASK_TYPE_REBUILD_VOLUME) return;
    if (KVELVolume* volume = model.findRealVolume(task.record.TargetObjectPtr))
    {
        task.before = *volume;
        volume->State = KVELVolume::VOLUME_STATE_REBUILDING;
    }
}

Uint32 onTaskComplete(ArrayModel& model, TaskEntry& task)
{
    Uint32 target = task.record.TargetObjectPtr;
    KVELVolume* volume = model.findRealVolume(target);
    KVELDrive* drive = model.findDrive(target);
    switch (task.record.Type)
    {
    case KVELTask::TASK_TYPE_CREATE_VOLUME:
        if (volume) volume->State = KVELVolume::VOLUME_STATE_OK;
        break;
    case KVELTask::TASK_TYPE_RECONFIGURE_VOLUME:
        if (task.shadowID != 0)
        {
            if (KVELVolume* shadow = model.findRealVolume(task.shadowID))
                shadow->State = KVELVolume::VOLUME_STATE_OK;
            model.volumes.erase(target);
            for (auto& entry : model.tasks)
                if (&entry.second != &task && entry.second.record.TargetObjectPtr == target)
                    entry.second.record.TargetObjectPtr = task.shadowID;
        }
        break;
    case KVELTask::TASK_TYPE_DELETE_VOLUME:
        model.volumes.erase(target);
        break;
    case KVELTask::TASK_TYPE_REBUILD_VOLUME:
        if (volume && volume->State == KVELVolume::VOLUME_STATE_REBUILDING)
            volume->State = KVELVolume::VOLUME_STATE_OK;
        break;
    case KVELTask::TASK_TYPE_INITIALIZE_DRIVE:
        if (drive)
        {
            drive->State = KVELDrive::DRIVE_STATE_ONLINE;
            drive->PoolObjectID = KVELPool::AVAILABLE_POOL_ID;
        }
        break;
    case KVELTask::TASK_TYPE_DOWN_DRIVE:
        if (drive)
        {
            if (driveCarriesVolume(model, target) || !poolHoldsWithout(model, drive->PoolObjectID, target))
                return KVEL_RC_DRIVE_IN_USE;
            drive->State = KVELDrive::DRIVE_STATE_DOWN;
            drive->PoolObjectID = KVELPool::UNAVAILABLE_POOL_ID;
        }
        break;
    default:
        break;
    }
    task.before.reset();
    return KVEL_RC_SUCCESS;
}

void onTaskAbort(ArrayModel& model, TaskEntry& task)
{
    Uint32 target = task.record.TargetObjectPtr;
    KVELVolume* volume = model.findRealVolume(target);
    switch (task.record.Type)
    {
    case KVELTask::TASK_TYPE_CREATE_VOLUME:
        model.volumes.erase(target);
        break;
    case KVELTask::TASK_TYPE_GROW_VOLUME:
    case KVELTask::TASK_TYPE_RECONFIGURE_VOLUME:
        if (task.shadowID != 0)
            model.volumes.erase(task.shadowID);
        else if (volume && task.before)
            restoreVolume(*volume, *task.before);
        break;
    case KVELTask::TASK_TYPE_DELETE_VOLUME:
    case KVELTask::TASK_TYPE_REBUILD_VOLUME:
        if (volume && task.before) volume->State = task.before->State;
        break;
    case KVELTask::TASK_TYPE_INITIALIZE_DRIVE:
        if (KVELDrive* drive = model.findDrive(target))
        {
            drive->State = KVELDrive::DRIVE_STATE_DOWN;
            drive->PoolObjectID = KVELPool::UNAVAILABLE_POOL_ID;
        }
        break;
    default:
        break;
    }
    task.before.reset();
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
