#include <SMIMOBuilders.h>

#include <KVELErrorCodes.h>
#include <Pegasus/Common/CIMType.h>
#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

// DMTF CIM_ConcreteJob.JobState values used for tasks.
enum : Uint16
{
    JS_NEW = 2,
    JS_RUNNING = 4,
    JS_SUSPENDED = 5,
    JS_COMPLETED = 7,
    JS_TERMINATED = 8,
    JS_EXCEPTION = 10
};

// How a task state reads as a job. OperationalStatus follows the usual job-polling convention:
// the first value says whether the job is healthy (OK, Error, Stopped), the second what phase it
// is in, so that a poller can wait for "Completed" and then look at the first value:
//   queued    {OK, Dormant}      waits for its start time or for its object
//   running   {OK}
//   suspended {OK, Stopped}      can be resumed
//   completed {OK, Completed}
//   aborted   {Stopped, Aborted} stopped on request, will not finish
//   failed    {Error, Completed} finished without doing its work; ErrorCode says why
struct JobStatus
{
    Uint16 jobState;
    CIMValue operationalStatus;
    const char* text;
};

JobStatus jobStatusOf(KVELTask::TaskStateEnum state)
{
    switch (state)
    {
    case KVELTask::TASK_STATE_QUEUED:
        return {JS_NEW, smimo::operationalStatus({smimo::OS_OK, smimo::OS_DORMANT}), "Queued"};
    case KVELTask::TASK_STATE_RUNNING:
        return {JS_RUNNING, smimo::operationalStatus({smimo::OS_OK}), "Running"};
    case KVELTask::TASK_STATE_SUSPENDED:
        return {JS_SUSPENDED, smimo::operationalStatus({smimo::OS_OK, smimo::OS_STOPPED}), "Suspended"};
    case KVELTask::TASK_STATE_COMPLETED:
        return {JS_COMPLETED, smimo::operationalStatus({smimo::OS_OK, smimo::OS_COMPLETED}), "Completed"};
    case KVELTask::TASK_STATE_ABORTED:
        return {JS_TERMINATED, smimo::operationalStatus({smimo::OS_STOPPED, smimo::OS_ABORTED}), "Aborted"};
    case KVELTask::TASK_STATE_FAILED:
        return {JS_EXCEPTION, smimo::operationalStatus({smimo::OS_ERROR, smimo::OS_COMPLETED}), "Failed"};
    }
    return {JS_EXCEPTION, smimo::operationalStatus({smimo::OS_UNKNOWN}), "Unknown"};
}

const char* actionOf(KVELTask::TaskTypeEnum type)
{
    switch (type)
    {
    case KVELTask::TASK_TYPE_CREATE_VOLUME:
        return "Create volume";
    case KVELTask::TASK_TYPE_GROW_VOLUME:
        return "Grow volume";
    case KVELTask::TASK_TYPE_RECONFIGURE_VOLUME:
        return "Reconfigure volume";
    case KVELTask::TASK_TYPE_DELETE_VOLUME:
        return "Delete volume";
    case KVELTask::TASK_TYPE_SCAN_VOLUME:
        return "Scan volume";
    case KVELTask::TASK_TYPE_REBUILD_VOLUME:
        return "Rebuild volume";
    case KVELTask::TASK_TYPE_INITIALIZE_DRIVE:
        return "Initialize disk drive";
    case KVELTask::TASK_TYPE_DOWN_DRIVE:
        return "Take down disk drive";
    case KVELTask::TASK_TYPE_NONE:
        break;
    }
    return "Engine task";
}

// The job's property names, made once: every job of an enumeration uses them.
namespace names
{
const CIMName Name("Name");
const CIMName ElementName("ElementName");
const CIMName Description("Description");
const CIMName JobState("JobState");
const CIMName JobStatus("JobStatus");
const CIMName OperationalStatus("OperationalStatus");
const CIMName PercentComplete("PercentComplete");
const CIMName Priority("Priority");
const CIMName LocalOrUtcTime("LocalOrUtcTime");
const CIMName TimeSubmitted("TimeSubmitted");
const CIMName StartTime("StartTime");
const CIMName TimeOfLastStateChange("TimeOfLastStateChange");
const CIMName ElapsedTime("ElapsedTime");
const CIMName DeleteOnCompletion("DeleteOnCompletion");
const CIMName TimeBeforeRemoval("TimeBeforeRemoval");
const CIMName ErrorCode("ErrorCode");
const CIMName ErrorDescription("ErrorDescription");
const CIMName ScheduledStartTime("ScheduledStartTime");
const CIMName JobRunTimes("JobRunTimes");
const CIMName PeriodicityType("PeriodicityType");
const CIMName Periodicity("Periodicity");
const CIMName RunCount("RunCount");
} // namespace names

bool isRecurring(const KVELTask& task)
{
    return task.PeriodicityUnit >= KVELTask::PERIODICITY_MINUTES && task.Periodicity != 0;
}

void fillJob(CIMInstance& job, Boolean includeQualifiers, const CIMPropertyList& propertyList,
             const KVELTask& task)
{
    const CIMObjectPath path = ConcreteJobPath(task);
    const JobStatus status = jobStatusOf(task.State);
    const String action(actionOf(task.Type));
    smimo::InstanceFiller filler(job, includeQualifiers, propertyList);

    filler.addKeys(path);
    filler.add(names::Name, CIMValue(action));
    filler.add(names::ElementName, CIMValue(task.Name.empty() ? action : String(task.Name.c_str())));
    filler.add(names::Description, CIMValue(action + String(" ") + smimo::hexID(task.TargetObjectPtr)));

    filler.add(names::JobState, CIMValue(status.jobState));
    filler.add(names::JobStatus, CIMValue(String(status.text)));
    filler.add(names::OperationalStatus, status.operationalStatus);
    filler.add(names::PercentComplete, CIMValue(Uint16(task.PercentComplete > 100 ? 100 : task.PercentComplete)));
    filler.add(names::Priority, CIMValue(Uint32(task.Priority)));

    // Times are given in UTC (LocalOrUtcTime 2).
    filler.add(names::LocalOrUtcTime, CIMValue(Uint16(2)));
    filler.add(names::TimeSubmitted, CIMValue(smimo::timestampFromMpu(task.TimeSubmitted)));
    filler.add(names::StartTime, task.TimeStarted != 0 ? CIMValue(smimo::timestampFromMpu(task.TimeStarted))
                                                  : CIMValue(CIMTYPE_DATETIME, false));
    filler.add(names::TimeOfLastStateChange, CIMValue(smimo::timestampFromMpu(task.TimeOfLastStateChange)));
    filler.add(names::ElapsedTime, CIMValue(smimo::intervalFromMpu(task.ElapsedRunTime)));
    filler.add(names::DeleteOnCompletion, CIMValue(true));
    filler.add(names::TimeBeforeRemoval, CIMValue(smimo::intervalFromMpu(task.RetentionTime)));

    if (task.State == KVELTask::TASK_STATE_FAILED)
    {
        filler.add(names::ErrorCode, CIMValue(Uint16(task.ErrorCode)));
        filler.add(
            names::ErrorDescription,
            CIMValue(String(KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(task.ErrorCode)))));
    }

    if (task.Scheduled)
    {
        filler.add(names::ScheduledStartTime, CIMValue(smimo::timestampFromMpu(task.StartTime)));
        // JobRunTimes as CIM counts it: 1 runs once, 0 recurs without limit.
        filler.add(names::JobRunTimes, CIMValue(Uint32(isRecurring(task) ? 0 : 1)));
    }
    if (isRecurring(task))
    {
        // Named as the scheduling methods name them; RunCount is the runs completed so far.
        filler.add(names::PeriodicityType, CIMValue(Uint16(task.PeriodicityUnit)));
        filler.add(names::Periodicity, CIMValue(Uint16(task.Periodicity)));
        filler.add(names::RunCount, CIMValue(Uint32(task.RunCount)));
    }

    job.setPath(path);
}

std::unique_ptr<KVELTask> fetchTaskByInstanceID(const String& instanceID)
{
    // Text that is not hexadecimal decodes to the empty key, which no task has.
    const KVELKey key = ManagedObject::hexToBin(instanceID);
    const Uint32 taskID =
        key.empty() ? KVEL_NULL_OBJECT_ID : smimo::engine().getObjectIDByKey(CLASSID_TASK, key);
    if (taskID == KVEL_NULL_OBJECT_ID)
        throw CIMObjectNotFoundException(String("No job with InstanceID \"") + instanceID + String("\""));
    return smimo::fetchRecord<KVELTask>(CLASSID_TASK, taskID, "Task");
}

} // namespace

ConcreteJobInstance::ConcreteJobInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                         Uint32 taskID)
    : CIMInstance(smimo::concreteJobClassName())
{
    fillJob(*this, includeQualifiers, propertyList,
            *smimo::fetchRecord<KVELTask>(CLASSID_TASK, taskID, "Task"));
}

ConcreteJobInstance::ConcreteJobInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                         const String& instanceID)
    : CIMInstance(smimo::concreteJobClassName())
{
    fillJob(*this, includeQualifiers, propertyList, *fetchTaskByInstanceID(instanceID));
}

ConcreteJobInstance::ConcreteJobInstance(Boolean includeQualifiers, const KVELTask* task)
    : CIMInstance(smimo::concreteJobClassName())
{
    if (!task) throw CIMObjectNotFoundException("No task record to build a job from");
    fillJob(*this, includeQualifiers, CIMPropertyList(), *task);
}

PEGASUS_NAMESPACE_END
