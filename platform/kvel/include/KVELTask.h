// A task record: one piece of long-running engine work (creating, growing, deleting a volume,
// scanning, rebuilding, initialising or taking down a drive).
#ifndef KVEL_KVELTask_h
#define KVEL_KVELTask_h

#include <string>
#include <ManagedObject.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELTask : public ManagedObject
{
public:
    enum TaskSchedulingPeriodicityUnitsEnum : Uint16
    {
        PERIODICITY_NONE = 0,
        PERIODICITY_ONCE = 1,
        PERIODICITY_MINUTES = 2,
        PERIODICITY_HOURS = 3,
        PERIODICITY_DAYS = 4,
        PERIODICITY_WEEKS = 5,
        PERIODICITY_MONTHS = 6
    };

    enum TaskStateEnum
    {
        TASK_STATE_QUEUED = 0,    // waiting for its start time or for the object to be free
        TASK_STATE_RUNNING = 1,
        TASK_STATE_SUSPENDED = 2,
        TASK_STATE_COMPLETED = 3,
        TASK_STATE_ABORTED = 4,
        TASK_STATE_FAILED = 5
    };

    enum TaskTypeEnum
    {
        TASK_TYPE_NONE = 0,
        TASK_TYPE_CREATE_VOLUME = 1,
        TASK_TYPE_GROW_VOLUME = 2,
        TASK_TYPE_RECONFIGURE_VOLUME = 3,
        TASK_TYPE_DELETE_VOLUME = 4,
        TASK_TYPE_SCAN_VOLUME = 5,
        TASK_TYPE_REBUILD_VOLUME = 6,
        TASK_TYPE_INITIALIZE_DRIVE = 7,
        TASK_TYPE_DOWN_DRIVE = 8
    };

    // Command codes that modifyObject applies to a task.
    enum TaskCommandEnum
    {
        TASK_COMMAND_NONE = 0,
        TASK_COMMAND_RESUME = 12,
        TASK_COMMAND_SUSPEND = 13,
        TASK_COMMAND_ABORT = 14,
        TASK_COMMAND_SET_PRIORITY = 15
    };

    // A fresh record, as callers pass to the work operations: task ID 0, priority 100, no schedule.
    KVELTask();
    virtual ManagedObject* clone() const;

    // The ID of the started task after a work operation, 0 when no task was started.
    Uint32 getTaskID() const { return getObjectID(); }

    // Run once at startTime (or at once if it has passed) with the given priority.
    void setTaskScheduling(Uint16 priority, MPU_TIME startTime);
    // Run at startTime and then every periodicity units.
    void setTaskSchedulingRecurring(Uint16 priority, MPU_TIME startTime, TaskSchedulingPeriodicityUnitsEnum unit,
                                    Uint16 periodicity);

    // Identity and request.
    KVELKey Key;                  // 8 bytes: task ID, then submission number (most significant
                                  // first); "InstanceID" of its job is this in hexadecimal
    Uint32 TargetObjectPtr;       // the volume or drive the task works on
    TaskTypeEnum Type;
    std::string Name;             // given by the client, or made by the engine when empty
    Uint32 Priority;              // 16 bits are used; default 100; among the tasks waiting for an
                                  // object the highest value starts first
    Uint32 CommandCode;           // TaskCommandEnum, read by modifyObject; 0 in every copy

    // Schedule. Without one a task starts at once (when its object is free). A recurring task
    // (only scans recur) runs at StartTime + k x Periodicity units; months are calendar months.
    bool Scheduled;               // a start time was set
    MPU_TIME StartTime;
    TaskSchedulingPeriodicityUnitsEnum PeriodicityUnit;
    Uint16 Periodicity;           // 0 unless recurring

    // Progress, kept by the engine.
    TaskStateEnum State;
    Uint16 PercentComplete;
    MPU_TIME TimeSubmitted;
    MPU_TIME TimeStarted;         // start of the latest run; 0 until it first runs
    MPU_TIME TimeOfLastStateChange;
    MPU_TIME TimeFinished;        // 0 until it ends
    MPU_TIME ElapsedRunTime;      // time the present run has spent running, suspensions excluded
    MPU_TIME RetentionTime;       // how long a finished task stays listed (300 s)
    Uint32 RunCount;              // completed runs
    Uint32 ErrorCode;             // engine result code of a failed task, else 0

private:
    friend class KVELArrayState;
};

PEGASUS_NAMESPACE_END

#endif
