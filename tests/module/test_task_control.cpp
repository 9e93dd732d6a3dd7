// Task control ("SuspendTask", "ResumeTask", "AbortTask", "RescheduleTask", "DeleteTask") and the
// controller operations.
#include "ServiceHarness.h"

namespace scs_test
{
namespace
{

class TaskControlTest : public ServiceMethodTest
{
protected:
    Uint32 startScan() { return ModuleTest::startScan(volumes()[0]); }
    // The return value of a task method called with the job alone.
    Uint32 onJob(const char* method, const CIMObjectPath& job)
    {
        return answer(call(method, params({param("Job", job)})));
    }
    // The return value of a method called with at most one parameter.
    Sint32 sint32Of(const char* method, const char* name = nullptr, const CIMValue& value = CIMValue())
    {
        return answer<Sint32>(call(method, name ? params({param(name, value)}) : Array<CIMParamValue>()));
    }
};

TEST_F(TaskControlTest, AbortAndAFinishedTasksRefusal)
{
    Uint32 taskID = startScan();
    EXPECT_EQ(onJob("AbortTask", jobRef(taskID)), 0u);
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_ABORTED);

    // The engine's refusal comes back mapped: a finished task cannot be suspended (31 -> 4).
    EXPECT_EQ(onJob("SuspendTask", jobRef(taskID)), 4u);
}

TEST_F(TaskControlTest, TheKeyIsTakenByPositionAndMissingJobsAreInvalid)
{
    Uint32 taskID = startScan();
    CIMObjectPath renamed = jobRef(taskID);
    Array<CIMKeyBinding> keys = renamed.getKeyBindings();
    keys[0].setName("SomethingElse");
    renamed.setKeyBindings(keys);
    EXPECT_EQ(onJob("SuspendTask", renamed), 0u);
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED);

    EXPECT_EQ(answer(call("ResumeTask", params({}))), 5u) << "no Job";
    CIMObjectPath unknown("root/snia:CIM_ConcreteJob.InstanceID=\"0011223344556677\"");
    EXPECT_EQ(onJob("AbortTask", CIMObjectPath("root/snia:CIM_ConcreteJob")), 5u) << "no key";
    EXPECT_EQ(onJob("AbortTask", unknown), 5u);
    EXPECT_EQ(onJob("DeleteTask", unknown), 5u) << "the engine's no-such-task result, mapped";
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED) << "untouched";

    EXPECT_EQ(onJob("DeleteTask", jobRef(taskID)), 0u);
    EXPECT_TRUE(objects(CLASSID_TASK).empty());
}

TEST_F(TaskControlTest, RescheduleNeedsPriorityAndStartAndBothPeriodicityParameters)
{
    Uint32 taskID = startScan();
    auto reschedule = [&](std::initializer_list<CIMParamValue> more)
    {
        Array<CIMParamValue> in = params(more);
        in.append(param("Job", jobRef(taskID)));
        return answer(call("RescheduleTask", in));
    };
    CIMParamValue priority = param("ScheduledTaskPriority", Uint32(65536 + 2));
    CIMParamValue start = param("ScheduledTaskStartTime", inSeconds(7200));
    CIMParamValue days = param("PeriodicityType", Uint16(4));

    EXPECT_EQ(reschedule({days, param("Periodicity", Uint16(1))}), 0u) << "only the periodicity: no change";
    EXPECT_EQ(reschedule({priority, start, days, param("Periodicity", Uint16(3))}), 0u);
    std::unique_ptr<KVELTask> recurring = task(taskID);
    EXPECT_EQ(recurring->PeriodicityUnit, KVELTask::PERIODICITY_DAYS);
    EXPECT_EQ(recurring->Periodicity, 3u);

    // Priority and start without "Periodicity": scheduled once, even with a PeriodicityType.
    EXPECT_EQ(reschedule({priority, start, days}), 0u);
    std::unique_ptr<KVELTask> once = task(taskID);
    EXPECT_TRUE(once->Scheduled);
    EXPECT_EQ(once->StartTime, START_TIME + 7200ULL * 1000000);
    EXPECT_EQ(once->Priority, 2u);
    EXPECT_EQ(once->PeriodicityUnit, KVELTask::PERIODICITY_ONCE);
    EXPECT_EQ(once->Periodicity, 0u);
}

TEST_F(TaskControlTest, HexadecimalNeverLeaksIntoLaterNumbers)
{
    Uint32 taskID = startScan();
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    TraceCapture trace;
    onJob("SuspendTask", jobRef(taskID));
    CIMInstance changed("CIM_ConcreteJob");
    changed.addProperty(CIMProperty("Priority", CIMValue(Uint32(5))));
    PlainRecorder handler;
    jobs->modifyInstance(context, jobRef(taskID), changed, false, CIMPropertyList(), handler);
    EXPECT_TRUE(trace.hasOnce("Task ID is: 0x" + hex(taskID, "%x")));
    EXPECT_TRUE(trace.hasOnce("Task ID is: " + std::to_string(taskID)));
}

TEST_F(TaskControlTest, ControllerMethodsAnswerZeroOrFourAsSint32)
{
    EXPECT_EQ(sint32Of("CompleteShutdown"), 0) << "even when the engine refuses";
    EXPECT_EQ(sint32Of("CompleteFirmwareUpgrade", "Environment", CIMValue(Uint32(1))), 4);
    EXPECT_EQ(sint32Of("InitiateFirmwareUpgrade", "ImageSize", CIMValue(Uint32(0))), 4);
    EXPECT_EQ(sint32Of("InitiateFirmwareUpgrade", "ImageSize", CIMValue(Uint32(1 << 20))), 0);
    EXPECT_EQ(sint32Of("CompleteFirmwareUpgrade", "Environment", CIMValue(Uint32(1))), 0);
}

TEST_F(TaskControlTest, ShutdownAndFailoverFollowTheEngine)
{
    EXPECT_EQ(sint32Of("ForceControllerFailover"), 0);
    advance(3600ULL * 1000000); // the controller is back
    EXPECT_EQ(sint32Of("InitiateShutdown", "Restart", CIMValue(true)), 0);
    EXPECT_EQ(sint32Of("InitiateShutdown", "Restart", CIMValue(false)), 4)
        << "a second initiate is refused, and answered 4, not the mapped code";
    EXPECT_EQ(sint32Of("CompleteShutdown"), 0);
}

} // namespace
} // namespace scs_test
