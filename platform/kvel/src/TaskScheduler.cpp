#include "TaskScheduler.h"

#include <algorithm>
#include <map>
#include <set>
#include "TaskEffects.h"
#include "TaskTiming.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
// Orders the ready tasks of one object: the highest Priority first, then the one submitted first,
// then the lowest task ID.
std::tuple<Uint32, Uint64, Uint32> readyKey(const TaskEntry& task)
{
    return {~task.record.Priority, task.sequence, task.record.getObjectID()};
}

bool holds(const TaskEntry& task)
{
    return task.holdsObject && !isFinished(task.record);
}

// The time of the task's next event: its run ending, its scheduled start coming due, its retention
// running out. A time that has passed means at once.
std::optional<MPU_TIME> eventOf(const TaskEntry& task, MPU_TIME now)
{
    const KVELTask& record = task.record;
    if (record.State == KVELTask::TASK_STATE_RUNNING)
        return task.progressedAt + (task.duration - std::min(task.duration, record.ElapsedRunTime));
    if (record.State == KVELTask::TASK_STATE_QUEUED && task.runAt > now) return task.runAt;
    if (isFinished(record)) return record.TimeFinished + record.RetentionTime;
    return std::nullopt;
}
} // namespace

KVELKey makeTaskKey(Uint32 taskID, Uint64 sequence)
{
    Uint64 value = (Uint64(taskID) << 32) | (sequence & 0xFFFFFFFFu);
    KVELKey key(8);
    for (int i = 7; i >= 0; --i, value >>= 8)
        key[size_t(i)] = Uint8(value & 0xFF);
    return key;
}

void TaskScheduler::setState(TaskEntry& task, KVELTask::TaskStateEnum state, MPU_TIME t)
{
    if (task.record.State != state)
    {
        task.record.State = state;
        task.record.TimeOfLastStateChange = t;
    }
    _model.touched = true;
}

void TaskScheduler::advanceTo(MPU_TIME target)
{
    if (!_indexed) rebuild();
    MPU_TIME last = _model.lastAdvanced;
    if (target < last) target = last;
    for (;;)
    {
        startReady(last);
        if (_events.empty()) break;
        MPU_TIME next = std::max(last, _events.begin()->first);
        if (next > target) break;
        last = next;
        _model.lastAdvanced = last;
        step(last);
    }
    _model.lastAdvanced = target;
}

std::optional<MPU_TIME> TaskScheduler::nextEvent()
{
    if (!_indexed) rebuild();
    if (_events.empty()) return std::nullopt;
    return _events.begin()->first;
}

void TaskScheduler::reset()
{
    for (auto& entry : _model.tasks)
        entry.second.progressedAt = _model.lastAdvanced;
    invalidate();
}

void TaskScheduler::bringUp(TaskEntry& task) const
{
    MPU_TIME now = _model.lastAdvanced;
    if (task.record.State == KVELTask::TASK_STATE_RUNNING && now > task.progressedAt)
    {
        MPU_TIME elapsed = std::min(task.duration, task.record.ElapsedRunTime + (now - task.progressedAt));
        task.record.ElapsedRunTime = elapsed;
        task.record.PercentComplete =
            Uint16(task.duration == 0 ? 99 : std::min<MPU_TIME>(99, elapsed * 100 / task.duration));
    }
    task.progressedAt = now;
}

void TaskScheduler::bringUpAll()
{
    for (auto& entry : _model.tasks)
        bringUp(entry.second);
}

Uint32 TaskScheduler::checkRequest(const KVELTask* request, KVELTask::TaskTypeEnum type) const
{
    if (request && request->Scheduled)
    {
        if (Uint32 rc = checkPeriodicity(request->PeriodicityUnit, request->Periodicity);
            rc != KVEL_RC_SUCCESS)
            return rc;
        if (isRecurring(*request) && type != KVELTask::TASK_TYPE_SCAN_VOLUME) return KVEL_RC_INVALID_SCHEDULE;
    }
    if (_model.tasks.size() >= _maxTasks) return KVEL_RC_TOO_MANY_TASKS;
    return KVEL_RC_SUCCESS;
}

TaskEntry& TaskScheduler::add(const KVELTask* request, KVELTask::TaskTypeEnum type, Uint32 target,
                              Uint64 workBlocks, const std::string& defaultName, MPU_TIME now)
{
    TaskEntry entry;
    Uint32 id = _model.allocateTaskID();
    assignObjectID(entry.record, id);
    entry.sequence = ++_model.taskSequence;
    KVELTask& record = entry.record;
    record.Key = makeTaskKey(id, entry.sequence);
    record.TargetObjectPtr = target;
    record.Type = type;
    record.Name = request && !request->Name.empty() ? request->Name : defaultName;
    record.Priority = request ? (request->Priority & 0xFFFF) : DEFAULT_TASK_PRIORITY;
    if (request && request->Scheduled)
    {
        record.Scheduled = true;
        record.StartTime = request->StartTime;
        record.PeriodicityUnit = request->PeriodicityUnit;
        record.Periodicity = request->Periodicity;
    }
    record.State = KVELTask::TASK_STATE_QUEUED;
    record.TimeSubmitted = now;
    record.TimeOfLastStateChange = now;
    record.RetentionTime = TASK_RETENTION;
    entry.duration = taskDuration(type, workBlocks);
    entry.runAt = record.Scheduled ? record.StartTime : now;
    entry.progressedAt = now;
    _model.touched = true;
    invalidate();
    return _model.tasks.emplace(id, std::move(entry)).first->second;
}

void TaskScheduler::startDue(MPU_TIME now)
{
    if (!_indexed) rebuild();
    startReady(now);
}

void TaskScheduler::startReady(MPU_TIME now)
{
    while (!_toCheck.empty())
    {
        Uint32 target = *_toCheck.begin();
        _toCheck.erase(_toCheck.begin());
        // A task that fails to start frees the object for the next one.
        while (_held.count(target) == 0)
        {
            auto ready = _ready.find(target);
            if (ready == _ready.end()) break;
            Uint32 id = std::get<2>(*ready->second.begin());
            TaskEntry& task = _model.tasks.at(id);
            unplace(id);
            start(task, now);
            place(task);
        }
    }
}

void TaskScheduler::rebuild()
{
    _events.clear();
    _ready.clear();
    _held.clear();
    _toCheck.clear();
    _placed.clear();
    for (const auto& entry : _model.tasks)
        place(entry.second);
    _indexed = true;
}

void TaskScheduler::place(const TaskEntry& task)
{
    Uint32 id = task.record.getObjectID();
    Placement& placement = _placed[id];
    placement.target = task.record.TargetObjectPtr;
    if ((placement.event = eventOf(task, _model.lastAdvanced)))
        _events.emplace(*placement.event, id);
    else if (task.record.State == KVELTask::TASK_STATE_QUEUED)
    {
        placement.ready = readyKey(task);
        _ready[placement.target].insert(*placement.ready);
        _toCheck.insert(placement.target);
    }
    if ((placement.holds = holds(task))) ++_held[placement.target];
}

void TaskScheduler::unplace(Uint32 taskID)
{
    auto it = _placed.find(taskID);
    if (it == _placed.end()) return;
    const Placement& placement = it->second;
    if (placement.event) _events.erase({*placement.event, taskID});
    if (placement.ready)
    {
        auto ready = _ready.find(placement.target);
        ready->second.erase(*placement.ready);
        if (ready->second.empty()) _ready.erase(ready);
    }
    if (placement.holds)
    {
        auto held = _held.find(placement.target);
        if (--held->second == 0)
        {
            _held.erase(held);
            _toCheck.insert(placement.target);
        }
    }
    _placed.erase(it);
}

void TaskScheduler::start(TaskEntry& task, MPU_TIME t)
{
    if (Uint32 rc = checkTarget(_model, task); rc != KVEL_RC_SUCCESS)
    {
        task.record.ErrorCode = rc;
        task.record.TimeFinished = t;
        setState(task, KVELTask::TASK_STATE_FAILED, t);
        return;
    }
    task.holdsObject = true;
    task.progressedAt = t;
    task.record.TimeStarted = t;
    task.record.ElapsedRunTime = 0;
    task.record.PercentComplete = 0;
    setState(task, KVELTask::TASK_STATE_RUNNING, t);
    onTaskStart(_model, task);
}

void TaskScheduler::complete(TaskEntry& task, MPU_TIME t)
{
    bringUp(task);
    // Completing an atomic reconfiguration moves the other tasks of the volume to its replacement.
    if (task.shadowID != 0 && task.record.Type == KVELTask::TASK_TYPE_RECONFIGURE_VOLUME) invalidate();
    Uint32 rc = onTaskComplete(_model, task);
    task.holdsObject = false;
    if (rc != KVEL_RC_SUCCESS)
    {
        task.record.ErrorCode = rc;
        task.record.TimeFinished = t;
        setState(task, KVELTask::TASK_STATE_FAILED, t);
        return;
    }
    ++task.record.RunCount;
    if (isRecurring(task.record))
    {
        task.runAt =
            nextRunAfter(task.record.StartTime, task.record.PeriodicityUnit, task.record.Periodicity, t);
        task.record.ElapsedRunTime = 0;
        task.record.PercentComplete = 0;
        setState(task, KVELTask::TASK_STATE_QUEUED, t);
        return;
    }
    task.record.PercentComplete = 100;
    task.record.TimeFinished = t;
    setState(task, KVELTask::TASK_STATE_COMPLETED, t);
}

// The events due at t, in this order: runs ending (in submission order), scheduled starts coming
// due, retentions running out. Waiting tasks start at the next turn of advanceTo.
void TaskScheduler::step(MPU_TIME t)
{
    std::vector<Uint32> ended, due;
    for (auto it = _events.begin(); it != _events.end() && it->first <= t; ++it)
    {
        KVELTask::TaskStateEnum state = _model.tasks.at(it->second).record.State;
        if (state == KVELTask::TASK_STATE_RUNNING)
            ended.push_back(it->second);
        else if (state == KVELTask::TASK_STATE_QUEUED)
            due.push_back(it->second);
    }
    std::sort(ended.begin(), ended.end());
    std::sort(ended.begin(), ended.end(),
              [this](Uint32 a, Uint32 b)
              { return _model.tasks.at(a).sequence < _model.tasks.at(b).sequence; });
    for (Uint32 id : ended)
    {
        TaskEntry& task = _model.tasks.at(id);
        unplace(id);
        complete(task, t);
        place(task);
    }
    for (Uint32 id : due)
    {
        unplace(id);
        place(_model.tasks.at(id));
    }
    if (!_indexed) rebuild();
    for (auto it = _events.begin(); it != _events.end() && it->first <= t;)
    {
        Uint32 id = it->second;
        ++it;
        if (!isFinished(_model.tasks.at(id).record)) continue;
        unplace(id);
        _model.tasks.erase(id);
        _model.touched = true;
    }
}

Uint32 TaskScheduler::apply(const KVELTask& copy, MPU_TIME now)
{
    TaskEntry* task = _model.findTask(copy.getObjectID());
    if (!task) return KVEL_RC_NO_SUCH_TASK;
    KVELTask& record = task->record;
    bool finished = isFinished(record);
    bringUp(*task);
    invalidate();
    switch (copy.CommandCode)
    {
    case KVELTask::TASK_COMMAND_RESUME:
        if (finished) return KVEL_RC_TASK_FINISHED;
        if (record.State != KVELTask::TASK_STATE_SUSPENDED) return KVEL_RC_TASK_NOT_RESUMABLE;
        setState(*task, task->holdsObject ? KVELTask::TASK_STATE_RUNNING : KVELTask::TASK_STATE_QUEUED, now);
        task->progressedAt = now;
        startDue(now);
        return KVEL_RC_SUCCESS;
    case KVELTask::TASK_COMMAND_SUSPEND:
        if (finished) return KVEL_RC_TASK_FINISHED;
        if (record.State != KVELTask::TASK_STATE_QUEUED && record.State != KVELTask::TASK_STATE_RUNNING)
            return KVEL_RC_TASK_NOT_SUSPENDABLE;
        setState(*task, KVELTask::TASK_STATE_SUSPENDED, now);
        return KVEL_RC_SUCCESS;
    case KVELTask::TASK_COMMAND_ABORT:
        if (finished) return KVEL_RC_TASK_FINISHED;
        abort(*task, now);
        return KVEL_RC_SUCCESS;
    case KVELTask::TASK_COMMAND_SET_PRIORITY:
        if (finished) return KVEL_RC_TASK_FINISHED;
        if ((copy.Priority & 0xFFFF) == record.Priority) return KVEL_RC_SUCCESS_NO_CHANGE;
        record.Priority = copy.Priority & 0xFFFF;
        _model.touched = true;
        return KVEL_RC_SUCCESS;
    case KVELTask::TASK_COMMAND_NONE:
        return applySchedule(*task, copy, now);
    default:
        return KVEL_RC_INVALID_COMMAND;
    }
}

Uint32 TaskScheduler::applySchedule(TaskEntry& task, const KVELTask& copy, MPU_TIME now)
{
    KVELTask& record = task.record;
    Uint32 priority = copy.Priority & 0xFFFF;
    bool changed = priority != record.Priority || copy.Scheduled != record.Scheduled ||
                   copy.StartTime != record.StartTime || copy.PeriodicityUnit != record.PeriodicityUnit ||
                   copy.Periodicity != record.Periodicity;
    if (!changed) return KVEL_RC_SUCCESS_NO_CHANGE;
    if (isFinished(record)) return KVEL_RC_TASK_FINISHED;
    if (copy.Scheduled)
    {
        if (Uint32 rc = checkPeriodicity(copy.PeriodicityUnit, copy.Periodicity); rc != KVEL_RC_SUCCESS)
            return rc;
        if (isRecurring(copy) && record.Type != KVELTask::TASK_TYPE_SCAN_VOLUME)
            return KVEL_RC_INVALID_SCHEDULE;
    }
    record.Priority = priority;
    record.Scheduled = copy.Scheduled;
    record.StartTime = copy.StartTime;
    record.PeriodicityUnit = copy.PeriodicityUnit;
    record.Periodicity = copy.Periodicity;
    // A run that has started keeps going; the new schedule applies to the runs to come.
    if (!task.holdsObject) task.runAt = record.Scheduled ? record.StartTime : now;
    _model.touched = true;
    startDue(now);
    return KVEL_RC_SUCCESS;
}

void TaskScheduler::abort(TaskEntry& task, MPU_TIME now)
{
    bringUp(task);
    invalidate();
    onTaskAbort(_model, task);
    task.holdsObject = false;
    task.record.TimeFinished = now;
    setState(task, KVELTask::TASK_STATE_ABORTED, now);
    startDue(now);
}

void TaskScheduler::abortTasksOn(Uint32 target, MPU_TIME now)
{
    endTasksOn(target, KVELTask::TASK_STATE_ABORTED, 0, now);
}

void TaskScheduler::fail(TaskEntry& task, Uint32 resultCode, MPU_TIME now)
{
    bringUp(task);
    invalidate();
    onTaskAbort(_model, task);
    task.holdsObject = false;
    task.record.ErrorCode = resultCode;
    task.record.TimeFinished = now;
    setState(task, KVELTask::TASK_STATE_FAILED, now);
    startDue(now);
}

void TaskScheduler::failTasksOn(Uint32 target, Uint32 resultCode, MPU_TIME now)
{
    endTasksOn(target, KVELTask::TASK_STATE_FAILED, resultCode, now);
}

void TaskScheduler::endTasksOn(Uint32 target, KVELTask::TaskStateEnum state, Uint32 resultCode, MPU_TIME now)
{
    std::vector<Uint32> ids;
    for (const auto& entry : _model.tasks)
        if (entry.second.record.TargetObjectPtr == target && !isFinished(entry.second.record))
            ids.push_back(entry.first);
    for (Uint32 id : ids)
    {
        TaskEntry& task = _model.tasks.at(id);
        bringUp(task);
        onTaskAbort(_model, task);
        task.holdsObject = false;
        task.record.TimeFinished = now;
        if (state == KVELTask::TASK_STATE_FAILED) task.record.ErrorCode = resultCode;
        setState(task, state, now);
    }
    invalidate();
}

Uint32 TaskScheduler::remove(Uint32 taskID, MPU_TIME now)
{
    TaskEntry* task = _model.findTask(taskID);
    if (!task) return KVEL_RC_NO_SUCH_TASK;
    if (!isFinished(task->record)) abort(*task, now);
    _model.tasks.erase(taskID);
    invalidate();
    _model.touched = true;
    return KVEL_RC_SUCCESS;
}

bool TaskScheduler::structuralBusy(Uint32 target) const
{
    for (const auto& entry : _model.tasks)
        if (entry.second.record.TargetObjectPtr == target && !isFinished(entry.second.record) &&
            isStructural(entry.second.record.Type))
            return true;
    return false;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
