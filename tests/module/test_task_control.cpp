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
    Uint32 startScan()
    {
        KVELTask record;
        EXPECT_EQ(engine().scanVolume(volumes()[0], &record), Uint32(KVEL_RC_SUCCESS));
        return record.getTaskID();
    }
    static std::string lowerHex(Uint32 id)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%x", id);
        return text;
    }
    CIMDateTime at(Uint64 secondsAfterStart)
    {
        return CIMDateTime(62167219200000000ULL + START_TIME + secondsAfterStart * 1000000ULL, false);
    }
};

TEST_F(TaskControlTest, SuspendResumeAbortSendCommandCodesToTheSameTask)
{
    Uint32 taskID = startScan();
    CIMParamValue job = param("Job", CIMValue(jobRef(taskID)));
    TraceCapture trace;
    EXPECT_EQ(uint32Result(call("SuspendTask", params({job}))), 0u);
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED);
    EXPECT_EQ(uint32Result(call("ResumeTask", params({job}))), 0u);
    EXPECT_NE(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED);
    EXPECT_EQ(uint32Result(call("AbortTask", params({job}))), 0u);
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_ABORTED);
    EXPECT_EQ(trace.find("Task ID is: 0x" + lowerHex(taskID)).size(), 3u) << trace.raw();

    // The engine's refusal comes back mapped: a finished task cannot be suspended (31 -> 4).
    EXPECT_EQ(uint32Result(call("SuspendTask", params({job}))), 4u);
}

TEST_F(TaskControlTest, TheKeyIsTakenByPositionAndMissingJobsAreInvalid)
{
    Uint32 taskID = startScan();
    CIMObjectPath renamed = jobRef(taskID);
    Array<CIMKeyBinding> keys = renamed.getKeyBindings();
    keys[0].setName("SomethingElse");
    renamed.setKeyBindings(keys);
    EXPECT_EQ(uint32Result(call("SuspendTask", params({param("Job", CIMValue(renamed))}))), 0u);
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED);

    EXPECT_EQ(uint32Result(call("ResumeTask", params({}))), 5u) << "no Job";
    CIMObjectPath keyless("root/snia:CIM_ConcreteJob");
    EXPECT_EQ(uint32Result(call("AbortTask", params({param("Job", CIMValue(keyless))}))), 5u);
    CIMObjectPath unknown("root/snia:CIM_ConcreteJob.InstanceID=\"0011223344556677\"");
    EXPECT_EQ(uint32Result(call("AbortTask", params({param("Job", CIMValue(unknown))}))), 5u);
    EXPECT_EQ(uint32Result(call("DeleteTask", params({param("Job", CIMValue(unknown))}))), 5u)
        << "the engine's no-such-task result, mapped";
    EXPECT_EQ(task(taskID)->State, KVELTask::TASK_STATE_SUSPENDED) << "untouched";

    EXPECT_EQ(uint32Result(call("DeleteTask", params({param("Job", CIMValue(jobRef(taskID)))}))), 0u);
    EXPECT_TRUE(objects(CLASSID_TASK).empty());
}

TEST_F(TaskControlTest, RescheduleNeedsPriorityAndStartAndBothPeriodicityParameters)
{
    Uint32 taskID = startScan();
    CIMParamValue job = param("Job", CIMValue(jobRef(taskID)));
    CIMParamValue priority = param("ScheduledTaskPriority", CIMValue(Uint32(65536 + 2)));
    CIMParamValue start = param("ScheduledTaskStartTime", CIMValue(at(7200)));

    // Only the periodicity: nothing changes, the record is still written back.
    std::unique_ptr<KVELTask> before = task(taskID);
    EXPECT_EQ(uint32Result(call("RescheduleTask", params({job, param("PeriodicityType", CIMValue(Uint16(4))),
                                                          param("Periodicity", CIMValue(Uint16(1)))}))),
              0u);
    EXPECT_EQ(task(taskID)->Scheduled, before->Scheduled);
    EXPECT_EQ(task(taskID)->Priority, before->Priority);

    // Priority and start without "Periodicity": scheduled once, even with a PeriodicityType.
    EXPECT_EQ(uint32Result(call("RescheduleTask", params({job, priority, start,
                                                          param("PeriodicityType", CIMValue(Uint16(4)))}))),
              0u);
    std::unique_ptr<KVELTask> once = task(taskID);
    EXPECT_TRUE(once->Scheduled);
    EXPECT_EQ(once->StartTime, START_TIME + 7200ULL * 1000000);
    EXPECT_EQ(once->Priority, 2u);
    EXPECT_EQ(once->Periodicity, 0u);

    EXPECT_EQ(uint32Result(call("RescheduleTask",
                                params({job, priority, start, param("PeriodicityType", CIMValue(Uint16(4))),
                                        param("Periodicity", CIMValue(Uint16(3)))}))),
              0u);
    std::unique_ptr<KVELTask> recurring = task(taskID);
    EXPECT_EQ(recurring->PeriodicityUnit, KVELTask::PERIODICITY_DAYS);
    EXPECT_EQ(recurring->Periodicity, 3u);
}

TEST_F(TaskControlTest, HexadecimalNeverLeaksIntoLaterNumbers)
{
    Uint32 taskID = startScan();
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    TraceCapture trace;
    call("SuspendTask", params({param("Job", CIMValue(jobRef(taskID)))}));
    CIMInstance changed("CIM_ConcreteJob");
    changed.addProperty(CIMProperty("Priority", CIMValue(Uint32(5))));
    PlainRecorder handler;
    jobs->modifyInstance(context, jobRef(taskID), changed, false, CIMPropertyList(), handler);
    EXPECT_EQ(trace.find("Task ID is: 0x" + lowerHex(taskID)).size(), 1u);
    EXPECT_EQ(trace.find("Task ID is: " + std::to_string(taskID)).size(), 1u) << trace.raw();
}

TEST_F(TaskControlTest, ControllerMethodsAnswerZeroOrFourAsSint32)
{
    EXPECT_EQ(sint32Result(call("CompleteShutdown", params({}))), 0) << "even when the engine refuses";
    EXPECT_EQ(
        sint32Result(call("CompleteFirmwareUpgrade", params({param("Environment", CIMValue(Uint32(1)))}))),
        4);
    EXPECT_EQ(
        sint32Result(call("InitiateFirmwareUpgrade", params({param("ImageSize", CIMValue(Uint32(0)))}))), 4);
    EXPECT_EQ(sint32Result(
                  call("InitiateFirmwareUpgrade", params({param("ImageSize", CIMValue(Uint32(1 << 20)))}))),
              0);
    EXPECT_EQ(
        sint32Result(call("CompleteFirmwareUpgrade", params({param("Environment", CIMValue(Uint32(1)))}))),
        0);
}

TEST_F(TaskControlTest, ShutdownAndFailoverFollowTheEngine)
{
    EXPECT_EQ(sint32Result(call("ForceControllerFailover", params({}))), 0);
    advance(3600ULL * 1000000); // the controller is back
    EXPECT_EQ(sint32Result(call("InitiateShutdown", params({param("Restart", CIMValue(true))}))), 0);
    EXPECT_EQ(sint32Result(call("InitiateShutdown", params({param("Restart", CIMValue(false))}))), 4)
        << "a second initiate is refused, and answered 4, not the mapped code";
    EXPECT_EQ(sint32Result(call("CompleteShutdown", params({}))), 0);
}

} // namespace
} // namespace scs_test
