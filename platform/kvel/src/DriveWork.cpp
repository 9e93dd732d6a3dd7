// The drive operations. A drive may leave its pool only while the pool's other online drives
// still hold the pool's volumes and no volume lists the drive in its drive list.
#include "ArrayState.h"

PEGASUS_NAMESPACE_BEGIN

using namespace kvelsim;

namespace
{
bool canLeavePool(const ArrayModel& model, const KVELDrive& drive)
{
    return !driveCarriesVolume(model, drive.getObjectID()) &&
           poolHoldsWithout(model, drive.PoolObjectID, drive.getObjectID());
}
} // namespace

Uint32 KVELArrayState::transferDrive(Uint32 driveID, Uint32 poolID)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELDrive* drive = _model.findDrive(driveID);
    if (!drive) return KVEL_RC_NO_SUCH_DRIVE;
    if (!_model.isPool(poolID)) return KVEL_RC_NO_SUCH_POOL;
    if (drive->PoolObjectID == poolID) return KVEL_RC_SUCCESS_NO_CHANGE;
    if (poolID == KVELPool::UNAVAILABLE_POOL_ID)
        return KVEL_RC_INVALID_PARAMETER; // drives get there by downDrive
    if (drive->State != KVELDrive::DRIVE_STATE_ONLINE) return KVEL_RC_DRIVE_NOT_AVAILABLE;
    if (_scheduler.structuralBusy(driveID)) return KVEL_RC_OBJECT_BUSY;
    if (!canLeavePool(_model, *drive)) return KVEL_RC_DRIVE_IN_USE;
    drive->PoolObjectID = poolID;
    _model.touched = true;
    return KVEL_RC_SUCCESS;
}

// The drive stays in service until the task completes; the pool is checked again then, since
// volumes may have been made in the meantime.
Uint32 KVELArrayState::downDrive(Uint32 driveID, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELDrive* drive = _model.findDrive(driveID);
    if (!drive) return KVEL_RC_NO_SUCH_DRIVE;
    if (drive->State == KVELDrive::DRIVE_STATE_DOWN) return KVEL_RC_SUCCESS_NO_CHANGE;
    if (drive->State == KVELDrive::DRIVE_STATE_INITIALIZING || _scheduler.structuralBusy(driveID))
        return KVEL_RC_OBJECT_BUSY;
    if (!canLeavePool(_model, *drive)) return KVEL_RC_DRIVE_IN_USE;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_DOWN_DRIVE); rc != KVEL_RC_SUCCESS)
        return rc;
    startTask(task, KVELTask::TASK_TYPE_DOWN_DRIVE, driveID, 0);
    return KVEL_RC_SUCCESS;
}

// Initialising erases the drive, so drives of the base pool, which carry volume data, are refused.
Uint32 KVELArrayState::initializeDrive(Uint32 driveID, KVELTask* task)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELDrive* drive = _model.findDrive(driveID);
    if (!drive) return KVEL_RC_NO_SUCH_DRIVE;
    if (drive->PoolObjectID == KVELPool::BASE_POOL_ID) return KVEL_RC_DRIVE_IN_USE;
    if (drive->State == KVELDrive::DRIVE_STATE_INITIALIZING || _scheduler.structuralBusy(driveID))
        return KVEL_RC_OBJECT_BUSY;
    if (drive->State == KVELDrive::DRIVE_STATE_ONLINE && !canLeavePool(_model, *drive))
        return KVEL_RC_DRIVE_IN_USE;
    if (Uint32 rc = _scheduler.checkRequest(task, KVELTask::TASK_TYPE_INITIALIZE_DRIVE);
        rc != KVEL_RC_SUCCESS)
        return rc;
    drive->State = KVELDrive::DRIVE_STATE_INITIALIZING;
    _model.touched = true;
    startTask(task, KVELTask::TASK_TYPE_INITIALIZE_DRIVE, driveID, drive->CapacityBlocks);
    return KVEL_RC_SUCCESS;
}

PEGASUS_NAMESPACE_END
