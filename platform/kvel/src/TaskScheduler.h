// Task progress on engine time. Tasks are moved on lazily: advanceTo(t) replays every event up
// to t in order (a run ending, a scheduled start coming due, a finished task's retention running
// out), so the state depends only on the calls made and the clock readings they saw.
//
// One task runs per object (the volume or drive it works on); others wait QUEUED. Of the waiting
// tasks whose start time has come, the one with the highest Priority starts first, then the one
// submitted first. A suspended task that had started keeps its object and its progress. A
// recurring task (a scan) goes back to QUEUED after each run, for the next time of its series. A
// finished task stays listed for its RetentionTime (300 s) and then disappears.
//
// Readings come far more often than events, so the scheduler keeps the tasks indexed by what they
// wait for: the time of their next event, the object they are ready to run on, the object they
// hold. Moving on to a time before the next event, with no task ready for a free object, is one
// comparison; an event visits the tasks it concerns. A running task's progress is brought up to
// the engine time when its record is read or changed (bringUp), not at every move. The index is
// rebuilt after every change made outside advanceTo (a work operation or a command), at the
// next move or startDue.
#ifndef KVEL_TaskScheduler_h
#define KVEL_TaskScheduler_h

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
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
    // Takes the task records as they are now, at the model's engine time (after loading them).
    void reset();
    // Brings the progress of a running task up to the engine time; every reader of a task's run
    // time or percentage calls it first.
    void bringUp(TaskEntry& task) const;
    void bringUpAll();

    // Whether a caller's task record can start a task of the type: KVEL_RC_SUCCESS,
    // KVEL_RC_TOO_MANY_TASKS, KVEL_RC_INVALID_PERIODICITY, or KVEL_RC_INVALID_SCHEDULE (only scans
    // recur).
    Uint32 checkRequest(const KVELTask* request, KVELTask::TaskTypeEnum type) const;
    // Adds a task for the request (checked before) at engine time now. The caller may add undo
    // data to the entry and then calls startDue(now).
    TaskEntry& add(const KVELTask* request, KVELTask::TaskTypeEnum type, Uint32 target, Uint64 workBlocks,
                   const std::string& defaultName, MPU_TIME now);
    // Starts the waiting tasks that can run now (after changes to the tasks).
    void startDue(MPU_TIME now);
    // The engine time of the next event of any task, if one has any.
    std::optional<MPU_TIME> nextEvent();

    // Applies the command code, or the schedule changes, of a task copy (see KVELEngine).
    Uint32 apply(const KVELTask& copy, MPU_TIME now);
    // Removes a task, aborting it first when unfinished.
    Uint32 remove(Uint32 taskID, MPU_TIME now);
    void abort(TaskEntry& task, MPU_TIME now);
    // Aborts every unfinished task on the target (no waiting task is started).
    void abortTasksOn(Uint32 target, MPU_TIME now);
    // Ends an unfinished task as FAILED with the result code; its work is undone as an abort's.
    void fail(TaskEntry& task, Uint32 resultCode, MPU_TIME now);
    // The same for every unfinished task on the target (no waiting task is started).
    void failTasksOn(Uint32 target, Uint32 resultCode, MPU_TIME now);

    // Whether an unfinished task that changes the object's structure works on it.
    bool structuralBusy(Uint32 target) const;

private:
    // Where a task stands in the index, as it was placed there.
    struct Placement
    {
        std::optional<MPU_TIME> event;                           // key in _events
        std::optional<std::tuple<Uint32, Uint64, Uint32>> ready; // key in _ready[target]
        Uint32 target = 0;
        bool holds = false; // counted in _held[target]
    };

    void setState(TaskEntry& task, KVELTask::TaskStateEnum state, MPU_TIME t);
    // Ends every unfinished task on the target as ABORTED, or FAILED with the result code.
    void endTasksOn(Uint32 target, KVELTask::TaskStateEnum state, Uint32 resultCode, MPU_TIME now);
    void start(TaskEntry& task, MPU_TIME t);
    void complete(TaskEntry& task, MPU_TIME t);
    void step(MPU_TIME t);
    void startReady(MPU_TIME now);
    void rebuild();
    void place(const TaskEntry& task);
    void unplace(Uint32 taskID);
    void invalidate() { _indexed = false; }
    Uint32 applySchedule(TaskEntry& task, const KVELTask& copy, MPU_TIME now);

    ArrayModel& _model;
    size_t _maxTasks;

    bool _indexed = false;
    // Unfinished tasks by the time of their next event (a run ending, a scheduled start coming
    // due), finished ones by the end of their retention.
    std::set<std::pair<MPU_TIME, Uint32>> _events;
    // Queued tasks whose start time has come, by object, the first to start first.
    std::map<Uint32, std::set<std::tuple<Uint32, Uint64, Uint32>>> _ready;
    // Objects held by a started, unfinished run, and how many runs hold each.
    std::map<Uint32, Uint32> _held;
    // Objects that may have become free for one of their ready tasks.
    std::set<Uint32> _toCheck;
    std::unordered_map<Uint32, Placement> _placed;
};

// The key of a task: its object ID and its submission number, 8 bytes, most significant first.
KVELKey makeTaskKey(Uint32 taskID, Uint64 sequence);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
