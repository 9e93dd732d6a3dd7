// Task life cycle on the manual clock, task commands through copies, keys, schedules.
#include <string>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelTasks : public KvelEngineTest
{
protected:
    Uint32 scan(Uint32 volumeID, KVELTask* job)
    {
        EXPECT_EQ(KVEL_RC_SUCCESS, engine->scanVolume(volumeID, job));
        return job->getTaskID();
    }
    Uint32 stateOf(Uint32 taskID) { return task(taskID)->State; }
};

TEST_F(kvelTasks, ACreateRunsByEngineTimeAndIsForgottenAfterItsRetention)
{
    auto setting = volume(MIRROR_2WAY);
    setting->Size = 100 * GIB; // 100 s at 1 GiB/s
    MPU_TIME next = 0;
    EXPECT_FALSE(engine->nextTaskEvent(next)) << "no task, nothing to wait for";
    KVELTask job;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->createVolume(setting.get(), &job));
    Uint32 id = job.getTaskID();
    EXPECT_EQ(KVELVolume::VOLUME_STATE_INITIALIZING, volume(MIRROR_2WAY)->State);
    ASSERT_TRUE(engine->nextTaskEvent(next));
    EXPECT_EQ(T0 + 100 * SECOND, next) << "the run's end is known ahead";

    advance(50);
    auto half = task(id);
    EXPECT_EQ(50u, half->PercentComplete);
    EXPECT_EQ(50 * SECOND, half->ElapsedRunTime);
    advance(50);
    auto done = task(id);
    EXPECT_EQ(KVELTask::TASK_STATE_COMPLETED, done->State);
    EXPECT_EQ(T0 + 100 * SECOND, done->TimeFinished);
    EXPECT_EQ(KVELVolume::VOLUME_STATE_OK, volume(MIRROR_2WAY)->State);
    ASSERT_TRUE(engine->nextTaskEvent(next));
    EXPECT_EQ(T0 + 400 * SECOND, next) << "then the end of its retention";

    advance(299);
    EXPECT_TRUE(task(id));
    advance(1);
    EXPECT_FALSE(task(id));
    EXPECT_EQ(0u, engine->enumerateObjects(CLASSID_TASK).size());
    EXPECT_FALSE(engine->nextTaskEvent(next));
}

TEST_F(kvelTasks, CommandsWrittenBackOnCopiesDriveTheTask)
{
    KVELTask job;
    Uint32 id = scan(SCRATCH, &job); // 200 GiB at 2 GiB/s: 100 s
    advance(10);
    EXPECT_EQ(KVEL_RC_SUCCESS, command(id, KVELTask::TASK_COMMAND_SUSPEND));
    EXPECT_EQ(KVEL_RC_TASK_NOT_SUSPENDABLE, command(id, KVELTask::TASK_COMMAND_SUSPEND));
    advance(50);
    EXPECT_EQ(KVELTask::TASK_STATE_SUSPENDED, stateOf(id));
    EXPECT_EQ(10u, task(id)->PercentComplete) << "no progress while suspended";
    EXPECT_EQ(KVEL_RC_SUCCESS, command(id, KVELTask::TASK_COMMAND_RESUME));
    EXPECT_EQ(KVEL_RC_TASK_NOT_RESUMABLE, command(id, KVELTask::TASK_COMMAND_RESUME));
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(id));

    auto unsent = task(id);
    unsent->CommandCode = KVELTask::TASK_COMMAND_ABORT; // changed, never written back
    unsent->Priority = 1;
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(id));
    EXPECT_EQ(100u, task(id)->Priority);
    EXPECT_EQ(0u, task(id)->CommandCode);

    EXPECT_EQ(KVEL_RC_INVALID_COMMAND, command(id, 99));
    EXPECT_EQ(KVEL_RC_SUCCESS, command(id, KVELTask::TASK_COMMAND_SET_PRIORITY, 0x10000 + 42));
    EXPECT_EQ(42u, task(id)->Priority);
    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, command(id, KVELTask::TASK_COMMAND_SET_PRIORITY, 42));

    advance(90);
    EXPECT_EQ(KVELTask::TASK_STATE_COMPLETED, stateOf(id));
    EXPECT_EQ(100 * SECOND, task(id)->ElapsedRunTime);
    for (Uint32 code :
         {KVELTask::TASK_COMMAND_SUSPEND, KVELTask::TASK_COMMAND_ABORT, KVELTask::TASK_COMMAND_RESUME})
        EXPECT_EQ(KVEL_RC_TASK_FINISHED, command(id, code));
}

TEST_F(kvelTasks, AbortingUndoesTheWork)
{
    Uint64 used = poolUsed(BASE);
    auto grown = volume(SCRATCH);
    grown->Size += 10 * GIB;
    KVELTask grow;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->growVolume(SCRATCH, grown.get(), &grow));
    ASSERT_EQ(KVEL_RC_SUCCESS, command(grow.getTaskID(), KVELTask::TASK_COMMAND_ABORT));
    EXPECT_EQ(200 * GIB, volume(SCRATCH)->Size);
    EXPECT_EQ(used, poolUsed(BASE));
    auto aborted = task(grow.getTaskID());
    EXPECT_EQ(KVELTask::TASK_STATE_ABORTED, aborted->State);
    EXPECT_EQ(T0, aborted->TimeFinished);

    KVELTask create;
    Uint32 id = makeVolume(GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, &create);
    ASSERT_EQ(KVEL_RC_SUCCESS, command(create.getTaskID(), KVELTask::TASK_COMMAND_ABORT));
    EXPECT_FALSE(volume(id));
    EXPECT_EQ(used, poolUsed(BASE));

    KVELTask removal;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->deleteVolume(ARCHIVE, &removal));
    ASSERT_EQ(KVEL_RC_SUCCESS, command(removal.getTaskID(), KVELTask::TASK_COMMAND_ABORT));
    advance(10);
    EXPECT_EQ(KVELVolume::VOLUME_STATE_OK, volume(ARCHIVE)->State);
}

// One task at a time per object is also an invariant of the concurrency test.
TEST_F(kvelTasks, OneTaskRunsPerObjectAndTheHighestPriorityGoesNext)
{
    KVELTask first, second, urgent;
    scan(SCRATCH, &first);
    Uint32 b = scan(SCRATCH, &second);
    urgent.setTaskScheduling(200, 0);
    Uint32 c = scan(SCRATCH, &urgent);
    advance(100);
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(c));
    EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, stateOf(b));

    // Structural work queues behind scans, but a second one is refused until the first ends.
    auto grown = volume(SCRATCH);
    grown->Size += GIB;
    KVELTask grow, again;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->growVolume(SCRATCH, grown.get(), &grow));
    EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, grow.State);
    grown->Size += GIB;
    EXPECT_EQ(KVEL_RC_OBJECT_BUSY, engine->growVolume(SCRATCH, grown.get(), &again));
    EXPECT_EQ(KVEL_RC_VOLUME_NOT_REDUNDANT, engine->rebuildVolume(SCRATCH, &again));
}

TEST_F(kvelTasks, ScheduledTasksWaitForTheirStartAndStartByTheirPriorityAsChangedWhileTheyWait)
{
    Uint32 ids[3];
    for (Uint32& id : ids)
    {
        KVELTask job; // a scan of SCRATCH takes 100 s
        job.setTaskScheduling(100, T0 + 60 * SECOND);
        id = scan(SCRATCH, &job);
        EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, job.State);
    }
    ASSERT_EQ(KVEL_RC_SUCCESS, command(ids[2], KVELTask::TASK_COMMAND_SET_PRIORITY, 150));
    advance(59);
    EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, stateOf(ids[2]));
    advance(1);
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(ids[2]));
    EXPECT_EQ(T0 + 60 * SECOND, task(ids[2])->TimeStarted);
    ASSERT_EQ(KVEL_RC_SUCCESS, command(ids[1], KVELTask::TASK_COMMAND_SET_PRIORITY, 120));
    advance(250); // one reading after two runs have ended
    EXPECT_EQ(T0 + 160 * SECOND, task(ids[1])->TimeStarted);
    EXPECT_EQ(T0 + 260 * SECOND, task(ids[0])->TimeStarted);
    EXPECT_EQ(50u, task(ids[0])->PercentComplete);
}

TEST_F(kvelTasks, RecurringScansRequeueForTheirNextPeriod)
{
    KVELTask job;
    job.setTaskSchedulingRecurring(100, T0, KVELTask::PERIODICITY_MINUTES, 10);
    Uint32 id = scan(SCRATCH, &job);
    advance(100);
    EXPECT_EQ(1u, task(id)->RunCount);
    EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, stateOf(id));
    advance(499);
    EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, stateOf(id));
    advance(1);
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(id));
    EXPECT_EQ(T0 + 600 * SECOND, task(id)->TimeStarted);

    KVELTask bad;
    bad.setTaskSchedulingRecurring(100, T0, KVELTask::PERIODICITY_MINUTES, 0);
    EXPECT_EQ(KVEL_RC_INVALID_PERIODICITY, engine->scanVolume(ARCHIVE, &bad));
    bad.setTaskSchedulingRecurring(100, T0, KVELTask::TaskSchedulingPeriodicityUnitsEnum(9), 1);
    EXPECT_EQ(KVEL_RC_INVALID_PERIODICITY, engine->scanVolume(ARCHIVE, &bad));
    bad.setTaskSchedulingRecurring(100, T0, KVELTask::PERIODICITY_DAYS, 1);
    auto grown = volume(ARCHIVE);
    grown->Size += GIB;
    EXPECT_EQ(KVEL_RC_INVALID_SCHEDULE, engine->growVolume(ARCHIVE, grown.get(), &bad));
}

TEST_F(kvelTasks, MonthlyRunsKeepTheirDayWhereTheMonthHasIt)
{
    const MPU_TIME jan31 = 1706659200ull * SECOND, feb29 = 1709164800ull * SECOND,
                   mar31 = 1711843200ull * SECOND;
    clock->set(jan31);
    KVELTask job;
    job.setTaskSchedulingRecurring(100, jan31, KVELTask::PERIODICITY_MONTHS, 1);
    Uint32 id = scan(SCRATCH, &job);
    for (MPU_TIME next : {feb29, mar31})
    {
        clock->set(next - SECOND);
        EXPECT_EQ(KVELTask::TASK_STATE_QUEUED, stateOf(id));
        clock->set(next);
        EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(id));
    }
}

TEST_F(kvelTasks, AScheduleChangedOnACopyMovesAWaitingTask)
{
    KVELTask job;
    job.setTaskScheduling(100, T0 + 3600 * SECOND);
    Uint32 id = scan(SCRATCH, &job);
    auto copy = task(id);
    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, engine->modifyObject(CLASSID_TASK, copy.get()));
    copy->setTaskScheduling(5, T0 + 60 * SECOND);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->modifyObject(CLASSID_TASK, copy.get()));
    EXPECT_EQ(5u, task(id)->Priority);
    advance(60);
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, stateOf(id));

    KVELTask removal;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->deleteVolume(ARCHIVE, &removal));
    auto deleting = task(removal.getTaskID());
    deleting->setTaskSchedulingRecurring(1, T0, KVELTask::PERIODICITY_HOURS, 1);
    EXPECT_EQ(KVEL_RC_INVALID_SCHEDULE, engine->modifyObject(CLASSID_TASK, deleting.get()));
}

// The module's full-table tests refuse at whatever size the table has; its size is pinned here.
TEST_F(kvelTasks, TheTaskTableHoldsAtMost256Tasks)
{
    KVELTask job;
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(KVEL_RC_SUCCESS, engine->scanVolume(SCRATCH, &(job = KVELTask()))) << i;
    EXPECT_EQ(KVEL_RC_TOO_MANY_TASKS, engine->scanVolume(ARCHIVE, &(job = KVELTask())));
}

} // namespace
