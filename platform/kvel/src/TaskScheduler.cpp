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
bool runsFirst(const TaskEntry& a, const TaskEntry& b)
{
    if (a.record.Priority != b.record.Priority) return a.record.Priority > b.record.Priority;
    return a.sequence < b.sequence;
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
    MPU_TIME last = _model.lastAdvanced;
    if (target < last) target = last;
    for (;;)
    {
        startDue(last);
        std::optional<MPU_TIME> next = nextEvent(last);
        if (!next || *next > target) break;
        progress(*next - last);
        last = *next;
        _model.lastAdvanced = last;
        completeDue(last);
        expireDue(last);
    }
    progress(target - last);
    _model.lastAdvanced = target;
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
    _model.touched = true;
    return _model.tasks.emplace(id, std::move(entry)).first->second;
}

void TaskScheduler::startDue(MPU_TIME now)
{
    for (;;)
    {
        std::set<Uint32> held;
        for (const auto& entry : _model.tasks)
            if (entry.second.holdsObject && !isFinished(entry.second.record))
                held.insert(entry.second.record.TargetObjectPtr);
        std::map<Uint32, TaskEntry*> chosen;
        for (auto& entry : _model.tasks)
        {
            TaskEntry& task = entry.second;
            Uint32 target = task.record.TargetObjectPtr;
            if (task.record.State != KVELTask::TASK_STATE_QUEUED || task.runAt > now || held.count(target))
                continue;
            TaskEntry*& best = chosen[target];
            if (!best || runsFirst(task, *best)) best = &task;
        }
        bool anyFailed = false;
        for (auto& entry : chosen)
        {
            start(*entry.second, now);
            anyFailed = anyFailed || entry.second->record.State == KVELTask::TASK_STATE_FAILED;
        }
        // A task that failed to start frees its object for the next one.
        if (!anyFailed) return;
    }
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
    task.record.TimeStarted = t;
    task.record.ElapsedRunTime = 0;
    task.record.PercentComplete = 0;
    setState(task, KVELTask::TASK_STATE_RUNNING, t);
    onTaskStart(_model, task);
}

void TaskScheduler::complete(TaskEntry& task, MPU_TIME t)
{
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

void TaskScheduler::progress(MPU_TIME dt)
{
    if (dt == 0) return;
    for (auto& entry : _model.tasks)
    {
        TaskEntry& task = entry.second;
        if (task.record.State != KVELTask::TASK_STATE_RUNNING) continue;
        MPU_TIME elapsed = std::min(task.duration, task.record.ElapsedRunTime + dt);
        task.record.ElapsedRunTime = elapsed;
        task.record.PercentComplete =
            Uint16(task.duration == 0 ? 99 : std::min<MPU_TIME>(99, elapsed * 100 / task.duration));
    }
}

void TaskScheduler::completeDue(MPU_TIME t)
{
    std::vector<TaskEntry*> due;
    for (auto& entry : _model.tasks)
        if (entry.second.record.State == KVELTask::TASK_STATE_RUNNING &&
            entry.second.record.ElapsedRunTime >= entry.second.duration)
            due.push_back(&entry.second);
    std::sort(due.begin(), due.end(),
              [](const TaskEntry* a, const TaskEntry* b) { return a->sequence < b->sequence; });
    for (TaskEntry* task : due)
        complete(*task, t);
}

void TaskScheduler::expireDue(MPU_TIME t)
{
    for (auto it = _model.tasks.begin(); it != _model.tasks.end();)
    {
        const KVELTask& record = it->second.record;
        if (isFinished(record) && record.TimeFinished + record.RetentionTime <= t)
        {
            it = _model.tasks.erase(it);
            _model.touched = true;
        }
        else
            ++it;
    }
}

std::optional<MPU_TIME> TaskScheduler::nextEvent(MPU_TIME t) const
{
    std::optional<MPU_TIME> next;
    for (const auto& entry : _model.tasks)
    {
        const TaskEntry& task = entry.second;
        MPU_TIME at;
        if (task.record.State == KVELTask::TASK_STATE_RUNNING)
            at = t + (task.duration - std::min(task.duration, task.record.ElapsedRunTime));
        else if (task.record.State == KVELTask::TASK_STATE_QUEUED && task.runAt > t)
            at = task.runAt;
        else if (isFinished(task.record))
            at = std::max(t, task.record.TimeFinished + task.record.RetentionTime);
        else
            continue;
        if (!next || at < *next) next = at;
    }
    return next;
}

Uint32 TaskScheduler::apply(const KVELTask& copy, MPU_TIME now)
{
    TaskEntry* task = _model.findTask(copy.getObjectID());
    if (!task) return KVEL_RC_NO_SUCH_TASK;
    KVELTask& record = task->record;
    bool finished = isFinished(record);
    switch (copy.CommandCode)
    {
    case KVELTask::TASK_COMMAND_RESUME:
        if (finished) return KVEL_RC_TASK_FINISHED;
        if (record.State != KVELTask::TASK_STATE_SUSPENDED) return KVEL_RC_TASK_NOT_RESUMABLE;
        setState(*task, task->holdsObject ? KVELTask::TASK_STATE_RUNNING : KVELTask::TASK_STATE_QUEUED, now);
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
    onTaskAbort(_model, task);
    task.holdsObject = false;
    task.record.TimeFinished = now;
    setState(task, KVELTask::TASK_STATE_ABORTED, now);
    startDue(now);
}

void TaskScheduler::abortTasksOn(Uint32 target, MPU_TIME now)
{
    std::vector<Uint32> ids;
    for (const auto& entry : _model.tasks)
        if (entry.second.record.TargetObjectPtr == target && !isFinished(entry.second.record))
            ids.push_back(entry.first);
    for (Uint32 id : ids)
    {
        TaskEntry& task = _model.tasks.at(id);
        onTaskAbort(_model, task);
        task.holdsObject = false;
        task.record.TimeFinished = now;
        setState(task, KVELTask::TASK_STATE_ABORTED, now);
    }
}

Uint32 TaskScheduler::remove(Uint32 taskID, MPU_TIME now)
{
    TaskEntry* task = _model.findTask(taskID);
    if (!task) return KVEL_RC_NO_SUCH_TASK;
    if (!isFinished(task->record)) abort(*task, now);
    _model.tasks.erase(taskID);
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
