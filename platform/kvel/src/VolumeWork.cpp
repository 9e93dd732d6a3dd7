// The volume operations: checks in a fixed order, the visible change at once, the rest as a task
// (TaskEffects.h says what completing or aborting each one does).
#include "ArrayState.h"

PEGASUS_NAMESPACE_BEGIN

using namespace kvelsim;

namespace
{
bool sameHints(const KVELVolume& a, const KVELVolume& b)
{
    return a.StorageEfficiencyHint == b.StorageEfficiencyHint &&
           a.AccessBandwidthWeight == b.AccessBandwidthWeight &&
           a.NoSinglePointOfFailure == b.NoSinglePointOfFailure && a.ManualCreate == b.ManualCreate;
}

void takeHints(const KVELVolume& from, KVELVolume& to)
{
    to.StorageEfficiencyHint = from.StorageEfficiencyHint;
    to.AccessBandwidthWeight = from.AccessBandwidthWeight;
    to.NoSinglePointOfFailure = from.NoSinglePointOfFailure;
    to.ManualCreate = from.ManualCreate;
}
} // namespace

Uint32 KVELArrayState::volumeWorkable(const KVELVolume& volume, bool structural) const
{
    switch (volume.State)
    {
    case KVELVolume::VOLUME_STATE_INITIALIZING:
    case KVELVolume::VOLUME_STATE_DELETING:
        return KVEL_RC_OBJECT_BUSY;
    case KVELVolume::VOLUME_STATE_FAILED:
        return KVEL_RC_OPERATION_FAILED;
    default:
        break;
    }
    if (structural && _scheduler.structuralBusy(volume.getObjectID())) return KVEL_RC_OBJECT_BUSY;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::prepareVolume(KVELVolume& wanted)
{
    if (wanted.Size == 0 || wanted.Size > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
    if (Uint32 rc = checkName(wanted.Name); rc != KVEL_RC_SUCCESS) return rc;
    Uint32 pool = wanted.PoolObjectID != 0 ? wanted.PoolObjectID : Uint32(KVELPool::BASE_POOL_ID);
    if (!_model.isPool(pool)) return KVEL_RC_NO_SUCH_POOL;
    Layout layout;
    if (Uint32 rc = layoutOf(wanted, layout); rc != KVEL_RC_SUCCESS) return rc;
    std::vector<Uint32> drives;
    Uint64 free;
    if (wanted.ManualCreate)
    {
        drives = driveListOf(wanted);
        if (Uint32 rc = checkDriveList(_model, pool, drives, layout); rc != KVEL_RC_SUCCESS) return rc;
        free = drivesFreeBlocks(_model, pool, drives);
    }
    else
    {
        if (poolOnlineDrives(_model, pool) < drivesNeeded(layout)) return KVEL_RC_INVALID_DRIVE_LIST;
        free = poolFreeBlocks(_model, pool);
    }
    Uint64 raw = rawBlocks(layout, wanted.Size);
    if (raw > free) return KVEL_RC_INSUFFICIENT_CAPACITY;
    applyLayout(layout, wanted);
    wanted.PoolObjectID = pool;
    setDriveList(wanted, drives);
    wanted.ConsumedBlocks = raw;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::createVolume(const KVELVolume* setting, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    if (!setting) return KVEL_RC_INVALID_PARAMETER;
    KVELVolume* stored = _model.findVolume(setting->getObjectID());
    if (!stored) return KVEL_RC_NO_SUCH_OBJECT;
    if (!stored->IsSetting) return KVEL_RC_SETTING_IN_USE;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_CREATE_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    KVELVolume wanted = *setting;
    if (Uint32 rc = prepareVolume(wanted); rc != KVEL_RC_SUCCESS) return rc;
    wanted.IsSetting = false;
    wanted.State = KVELVolume::VOLUME_STATE_INITIALIZING;
    *stored = wanted;
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_CREATE_VOLUME, wanted.getObjectID(), wanted.Size);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::growVolume(Uint32 volumeID, const KVELVolume* record, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findRealVolume(volumeID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    if (!record) return KVEL_RC_INVALID_PARAMETER;
    Uint64 newSize = record->Size;
    if (newSize < volume->Size || newSize > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
    if (newSize == volume->Size) return KVEL_RC_SUCCESS_NO_CHANGE;
    if (Uint32 rc = volumeWorkable(*volume, true); rc != KVEL_RC_SUCCESS) return rc;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_GROW_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    Layout layout;
    if (layoutOf(*volume, layout) != KVEL_RC_SUCCESS) return KVEL_RC_INTERNAL_ERROR;
    Uint64 newRaw = rawBlocks(layout, newSize);
    if (newRaw - volume->ConsumedBlocks > poolFreeBlocks(_model, volume->PoolObjectID))
        return KVEL_RC_INSUFFICIENT_CAPACITY;
    KVELVolume before = *volume;
    volume->Size = newSize;
    volume->ConsumedBlocks = newRaw;
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_GROW_VOLUME, volumeID, newSize - before.Size, before);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::reconfigureVolume(Uint32 volumeID, const KVELVolume* setting, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findRealVolume(volumeID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    if (!setting) return KVEL_RC_INVALID_PARAMETER;
    const KVELVolume* stored = _model.findVolume(setting->getObjectID());
    if (!stored) return KVEL_RC_NO_SUCH_OBJECT;
    if (!stored->IsSetting) return KVEL_RC_SETTING_IN_USE;
    Layout layout;
    if (Uint32 rc = layoutOf(*setting, layout); rc != KVEL_RC_SUCCESS) return rc;
    Uint64 newSize = setting->Size != 0 ? setting->Size : volume->Size;
    if (newSize < volume->Size || newSize > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
    if (setting->PoolObjectID != 0 && setting->PoolObjectID != volume->PoolObjectID)
        return KVEL_RC_INVALID_PARAMETER; // the atomic reconfiguration moves volumes between pools
    std::vector<Uint32> drives;
    if (setting->ManualCreate)
    {
        drives = driveListOf(*setting);
        if (Uint32 rc = checkDriveList(_model, volume->PoolObjectID, drives, layout); rc != KVEL_RC_SUCCESS)
            return rc;
    }
    else if (poolOnlineDrives(_model, volume->PoolObjectID) < drivesNeeded(layout))
        return KVEL_RC_INVALID_DRIVE_LIST;

    KVELVolume target = *volume;
    applyLayout(layout, target);
    takeHints(*setting, target);
    target.Size = newSize;
    setDriveList(target, drives);
    target.ConsumedBlocks = rawBlocks(layout, newSize);
    Layout current;
    layoutOf(*volume, current);
    bool moves = !sameLayout(current, layout) || newSize != volume->Size || drives != driveListOf(*volume);
    if (!moves && sameHints(target, *volume)) return KVEL_RC_SUCCESS_NO_CHANGE;
    if (Uint32 rc = volumeWorkable(*volume, moves); rc != KVEL_RC_SUCCESS) return rc;
    if (!moves)
    {
        // Only the hints change: nothing to move, no task.
        *volume = target;
        _model.touched = true;
        return KVEL_RC_SUCCESS;
    }
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_RECONFIGURE_VOLUME);
        rc != KVEL_RC_SUCCESS)
        return rc;
    if (target.ConsumedBlocks > volume->ConsumedBlocks &&
        target.ConsumedBlocks - volume->ConsumedBlocks > poolFreeBlocks(_model, volume->PoolObjectID))
        return KVEL_RC_INSUFFICIENT_CAPACITY;
    KVELVolume before = *volume;
    *volume = target;
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_RECONFIGURE_VOLUME, volumeID, newSize, before);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::deleteVolume(Uint32 objectID, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findVolume(objectID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    if (volume->IsSetting)
    {
        _model.volumes.erase(objectID);
        _model.touched = true;
        return KVEL_RC_SUCCESS;
    }
    if (Uint32 rc = volumeWorkable(*volume, true); rc != KVEL_RC_SUCCESS) return rc;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_DELETE_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    // Pending scans and rebuilds of the volume have no point any more.
    _scheduler.abortTasksOn(objectID, now());
    KVELVolume before = *volume;
    volume->State = KVELVolume::VOLUME_STATE_DELETING;
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_DELETE_VOLUME, objectID, 0, before);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::scanVolume(Uint32 volumeID, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findRealVolume(volumeID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    if (Uint32 rc = volumeWorkable(*volume, false); rc != KVEL_RC_SUCCESS) return rc;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_SCAN_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    startTask(task, KVELTask::TASK_TYPE_SCAN_VOLUME, volumeID, volume->Size);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::rebuildVolume(Uint32 volumeID, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findRealVolume(volumeID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    if (volume->PackageRedundancy == 0) return KVEL_RC_VOLUME_NOT_REDUNDANT;
    if (Uint32 rc = volumeWorkable(*volume, false); rc != KVEL_RC_SUCCESS) return rc;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_REBUILD_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    startTask(task, KVELTask::TASK_TYPE_REBUILD_VOLUME, volumeID, volume->Size);
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::createVolumeAtomic(const char* name, Uint64 sizeBlocks, Uint32 poolID,
                                          const LayoutRequest& request, const std::vector<Uint32>& drives,
                                          KVELTask* task, Uint32& newVolumeID)
{
    newVolumeID = KVEL_NULL_OBJECT_ID;
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    if (!name) return KVEL_RC_INVALID_NAME;
    Layout layout;
    if (Uint32 rc =
            makeLayout(request.organization, request.copies, request.width, request.chunkBlocks, layout);
        rc != KVEL_RC_SUCCESS)
        return rc;
    if (drives.size() > KVELVolume::MAX_DRIVES) return KVEL_RC_INVALID_DRIVE_LIST;
    KVELVolume wanted;
    wanted.Name = name;
    wanted.Size = sizeBlocks;
    wanted.PoolObjectID = poolID;
    applyLayout(layout, wanted);
    wanted.NoSinglePointOfFailure = wanted.PackageRedundancy > 0;
    wanted.ManualCreate = !drives.empty();
    setDriveList(wanted, drives);
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_CREATE_VOLUME); rc != KVEL_RC_SUCCESS)
        return rc;
    if (Uint32 rc = prepareVolume(wanted); rc != KVEL_RC_SUCCESS) return rc;
    Uint32 id = _model.allocateVolumeID();
    if (id == KVEL_NULL_OBJECT_ID) return KVEL_RC_OPERATION_FAILED;
    assignObjectID(wanted, id);
    wanted.IsSetting = false;
    wanted.State = KVELVolume::VOLUME_STATE_INITIALIZING;
    _model.volumes.emplace(id, wanted);
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_CREATE_VOLUME, id, wanted.Size);
    newVolumeID = id;
    return KVEL_RC_SUCCESS;
}

// The shadow volume is built beside the old one (so the pool needs room for both) and replaces it
// when the task completes; until then it is INITIALIZING.
Uint32 KVELArrayState::reconfigureVolumeAtomic(Uint32 volumeID, Uint64 sizeBlocks, Uint32 poolID,
                                               const LayoutRequest& request,
                                               const std::vector<Uint32>& drives, KVELTask* task,
                                               Uint32& shadowVolumeID)
{
    shadowVolumeID = KVEL_NULL_OBJECT_ID;
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* volume = _model.findRealVolume(volumeID);
    if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
    Layout layout;
    if (Uint32 rc =
            makeLayout(request.organization, request.copies, request.width, request.chunkBlocks, layout);
        rc != KVEL_RC_SUCCESS)
        return rc;
    Uint64 newSize = sizeBlocks != 0 ? sizeBlocks : volume->Size;
    if (newSize < volume->Size || newSize > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
    if (drives.size() > KVELVolume::MAX_DRIVES) return KVEL_RC_INVALID_DRIVE_LIST;
    if (Uint32 rc = volumeWorkable(*volume, true); rc != KVEL_RC_SUCCESS) return rc;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_RECONFIGURE_VOLUME);
        rc != KVEL_RC_SUCCESS)
        return rc;
    KVELVolume shadow = *volume;
    shadow.Size = newSize;
    shadow.PoolObjectID = poolID != 0 ? poolID : volume->PoolObjectID;
    applyLayout(layout, shadow);
    shadow.NoSinglePointOfFailure = shadow.PackageRedundancy > 0;
    shadow.ManualCreate = !drives.empty();
    setDriveList(shadow, drives);
    if (Uint32 rc = prepareVolume(shadow); rc != KVEL_RC_SUCCESS) return rc;
    Uint32 id = _model.allocateVolumeID();
    if (id == KVEL_NULL_OBJECT_ID) return KVEL_RC_OPERATION_FAILED;
    assignObjectID(shadow, id);
    shadow.State = KVELVolume::VOLUME_STATE_INITIALIZING;
    _model.volumes.emplace(id, shadow);
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_RECONFIGURE_VOLUME, volumeID, newSize, std::nullopt, id);
    shadowVolumeID = id;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::maxVolumeSize(const LayoutRequest& request, Uint32 poolID,
                                     const std::vector<Uint32>& drives, Uint64& maxBlocks)
{
    maxBlocks = 0;
    Layout layout;
    if (Uint32 rc =
            makeLayout(request.organization, request.copies, request.width, request.chunkBlocks, layout);
        rc != KVEL_RC_SUCCESS)
        return rc;
    Uint32 pool = poolID != 0 ? poolID : Uint32(KVELPool::BASE_POOL_ID);
    if (!_model.isPool(pool)) return KVEL_RC_NO_SUCH_POOL;
    Uint64 free;
    if (!drives.empty())
    {
        if (Uint32 rc = checkDriveList(_model, pool, drives, layout); rc != KVEL_RC_SUCCESS) return rc;
        free = drivesFreeBlocks(_model, pool, drives);
    }
    else
    {
        if (poolOnlineDrives(_model, pool) < drivesNeeded(layout)) return KVEL_RC_INVALID_DRIVE_LIST;
        free = poolFreeBlocks(_model, pool);
    }
    maxBlocks = maxSizeFor(layout, free);
    return KVEL_RC_SUCCESS;
}

PEGASUS_NAMESPACE_END
