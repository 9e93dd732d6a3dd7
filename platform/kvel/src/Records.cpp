// The record classes: defaults, copies and the task schedule setters.
#include <KVELDrive.h>
#include <KVELTask.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

// Definitions of the in-class constants, for uses that need their address.
const Uint32 KVELVolume::MAX_DRIVES;
const Uint32 KVELPool::UNAVAILABLE_POOL_ID;
const Uint32 KVELPool::SPARE_POOL_ID;
const Uint32 KVELPool::AVAILABLE_POOL_ID;
const Uint32 KVELPool::BASE_POOL_ID;

ManagedObject::~ManagedObject() {}

KVELTask::KVELTask()
    : ManagedObject(CLASSID_TASK, 0), TargetObjectPtr(0), Type(TASK_TYPE_NONE), Priority(100),
      CommandCode(TASK_COMMAND_NONE), Scheduled(false), StartTime(0), PeriodicityUnit(PERIODICITY_NONE),
      Periodicity(0), State(TASK_STATE_QUEUED), PercentComplete(0), TimeSubmitted(0), TimeStarted(0),
      TimeOfLastStateChange(0), TimeFinished(0), ElapsedRunTime(0), RetentionTime(0), RunCount(0),
      ErrorCode(0)
{
}

ManagedObject* KVELTask::clone() const
{
    return new KVELTask(*this);
}

void KVELTask::setTaskScheduling(Uint16 priority, MPU_TIME startTime)
{
    Priority = priority;
    Scheduled = true;
    StartTime = startTime;
    PeriodicityUnit = PERIODICITY_ONCE;
    Periodicity = 0;
}

void KVELTask::setTaskSchedulingRecurring(Uint16 priority, MPU_TIME startTime,
                                          TaskSchedulingPeriodicityUnitsEnum unit, Uint16 periodicity)
{
    Priority = priority;
    Scheduled = true;
    StartTime = startTime;
    PeriodicityUnit = unit;
    Periodicity = periodicity;
}

KVELVolume::KVELVolume()
    : ManagedObject(CLASSID_VOLUME, 0), Size(0), PoolObjectID(0), DataRedundancy(1), PackageRedundancy(0),
      StorageEfficiencyHint(0), AccessBandwidthWeight(0), NoSinglePointOfFailure(false), ManualCreate(false),
      ChunkSize(128), StripeWidth(1), VolumeOrganization(VOLUME_ORGANIZATION_STRIPED), DriveIDs(),
      IsSetting(false), State(VOLUME_STATE_OK), ConsumedBlocks(0)
{
}

ManagedObject* KVELVolume::clone() const
{
    return new KVELVolume(*this);
}

Uint32 KVELVolume::getDriveCount() const
{
    Uint32 count = 0;
    while (count < MAX_DRIVES && DriveIDs[count] != 0)
        ++count;
    return count;
}

KVELDrive::KVELDrive()
    : ManagedObject(CLASSID_DRIVE, 0), PoolObjectID(0), CapacityBlocks(0), Slot(0), State(DRIVE_STATE_ONLINE)
{
}

ManagedObject* KVELDrive::clone() const
{
    return new KVELDrive(*this);
}

KVELPool::KVELPool() : ManagedObject(CLASSID_STORAGEPOOL, 0), TotalBlocks(0), UsedBlocks(0), Primordial(false)
{
}

ManagedObject* KVELPool::clone() const
{
    return new KVELPool(*this);
}

PEGASUS_NAMESPACE_END
