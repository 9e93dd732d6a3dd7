// Task progress on engine time. Tasks are moved on lazily: advanceTo(t) replays every event up
// to t in order (a run ending, a scheduled start coming due, a finished task's retention running
// out), so the state depends only on the calls made and the clock readings they saw.
//
// One task runs per object (the volume or drive it works on); others wait QUEUED. Of the waiting
// tasks whose start time has come, the one with the highest Priority starts first, then the one
// submitted first. A suspended task that had started keeps its object and its progress. A
// recurring task (a scan) goes back to QUEUED after each run, for the next time of its series. A
// finished task stays listed for its RetentionTime (300 s) and then disappears.
#ifndef KVEL_TaskScheduler_h
#define KVEL_TaskScheduler_h

#include <optional>
#include <string>
#include "ArrayModel.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

class TaskScheduler
{
public:
    TaskScheduler(ArrayModel& model, size_t maxTasks) : _model(model), _maxTasks(maxTasks) {}

    // Moves every task on to time t; an earlier t than the last one changes nothing.
    void advanceTo(MPU_TIME t);

    // Whether a caller's task record can start a task of the type: KVEL_RC_SUCCESS,
    // KVEL_RC_TOO_MANY_TASKS, KVEL_RC_INVALID_PERIODICITY, or KVEL_RC_INVALID_SCHEDULE (only scans
    // recur).
    Uint32 checkRequest(const KVELTask* request, KVELTask::TaskTypeEnum type) const;
    // Adds a task for the request (checked before) at engine time now. The caller may add undo
    // data to the entry and then calls startDue(now).
    TaskEntry& add(const KVELTask* request, KVELTask::TaskTypeEnum type, Uint32 target, Uint64 workBlocks,
                   const std::string& defaultName, MPU_TIME now);
    // Starts the waiting tasks that can run now.
    void startDue(MPU_TIME now);

    // Applies the command code, or the schedule changes, of a task copy (see KVELEngine).
    Uint32 apply(const KVELTask& copy, MPU_TIME now);
    // Removes a task, aborting it first when unfinished.
    Uint32 remove(Uint32 taskID, MPU_TIME now);
    void abort(TaskEntry& task, MPU_TIME now);
    // Aborts every unfinished task on the target (no waiting task is started).
    void abortTasksOn(Uint32 target, MPU_TIME now);

    // Whether an unfinished task that changes the object's structure works on it.
    bool structuralBusy(Uint32 target) const;

private:
    void setState(TaskEntry& task, KVELTask::TaskStateEnum state, MPU_TIME t);
    void start(TaskEntry& task, MPU_TIME t);
    void complete(TaskEntry& task, MPU_TIME t);
    void progress(MPU_TIME dt);
    void completeDue(MPU_TIME t);
    void expireDue(MPU_TIME t);
    std::optional<MPU_TIME> nextEvent(MPU_TIME t) const;
    Uint32 applySchedule(TaskEntry& task, const KVELTask& copy, MPU_TIME now);

    ArrayModel& _model;
    size_t _maxTasks;
};

// The key of a task: its object ID and its submission number, 8 bytes, most significant first.
KVELKey makeTaskKey(Uint32 taskID, Uint64 sequence);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
