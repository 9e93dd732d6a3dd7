// Control of a job's task: delete, suspend, resume, abort, reschedule.
#include "StorageConfigurationServiceProvider.h"

#include <memory>

#include <KVELEngine.h>
#include <JobDateTime.h>

#include "HandlerSupport.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Uint32 RETURN_INVALID_PARAMETER = 5;

// The task of the "Job" parameter: its first key, whatever its name, is the task key in
// hexadecimal. A job without a key (or no "Job" at all) is answered 5 and gives false; otherwise
// the task ID is traced.
bool taskOfJobParameter(KVELEngine& engine, int line, const Array<CIMParamValue>& inParameters,
                        MethodResultResponseHandler& handler, Uint32& taskID)
{
    CIMObjectPath job;
    readParameter(inParameters, "Job", job);
    const Array<CIMKeyBinding>& keys = job.getKeyBindings();
    if (keys.size() == 0)
    {
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return false;
    }
    taskID = engine.getObjectIDByKey(CLASSID_TASK, ManagedObject::hexToBin(keys[0].getValue()));
    traceLine(SCS_TRACE_FILE, line, TRACE_NORMAL, "Task ID is: 0x", taskID);
    return true;
}

// Hands the record of the job's task to `change`, which returns the engine result of writing it
// back. A task that is gone is an invalid parameter.
template <class Change>
void changeTask(KVELEngine& engine, int line, const Array<CIMParamValue>& inParameters,
                MethodResultResponseHandler& handler, Change change)
{
    Uint32 taskID = 0;
    if (!taskOfJobParameter(engine, line, inParameters, handler, taskID)) return;
    std::unique_ptr<ManagedObject> record(engine.getObject(CLASSID_TASK, taskID));
    KVELTask* task = dynamic_cast<KVELTask*>(record.get());
    if (!task)
    {
        handler.deliver(CIMValue(RETURN_INVALID_PARAMETER));
        return;
    }
    handler.deliver(CIMValue(StorageConfigurationServiceProvider::cimrcFromKvelRc(change(*task))));
}

void commandTask(KVELEngine& engine, int line, const Array<CIMParamValue>& inParameters,
                 MethodResultResponseHandler& handler, KVELTask::TaskCommandEnum command)
{
    changeTask(engine, line, inParameters, handler,
               [&](KVELTask& task)
               {
                   task.CommandCode = command;
                   return engine.modifyObject(CLASSID_TASK, &task);
               });
}

} // namespace

void StorageConfigurationServiceProvider::_handleDeleteTask(const CIMObjectPath&,
                                                            const Array<CIMParamValue>& inParameters,
                                                            MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleDeleteTask");
    Uint32 taskID = 0;
    if (taskOfJobParameter(*_engine, __LINE__, inParameters, handler, taskID))
        handler.deliver(CIMValue(cimrcFromKvelRc(_engine->deleteObject(CLASSID_TASK, taskID))));
}

void StorageConfigurationServiceProvider::_handleSuspendTask(const CIMObjectPath&,
                                                             const Array<CIMParamValue>& inParameters,
                                                             MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleSuspendTask");
    commandTask(*_engine, __LINE__, inParameters, handler, KVELTask::TASK_COMMAND_SUSPEND);
}

void StorageConfigurationServiceProvider::_handleResumeTask(const CIMObjectPath&,
                                                            const Array<CIMParamValue>& inParameters,
                                                            MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleResumeTask");
    commandTask(*_engine, __LINE__, inParameters, handler, KVELTask::TASK_COMMAND_RESUME);
}

void StorageConfigurationServiceProvider::_handleAbortTask(const CIMObjectPath&,
                                                           const Array<CIMParamValue>& inParameters,
                                                           MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleAbortTask");
    commandTask(*_engine, __LINE__, inParameters, handler, KVELTask::TASK_COMMAND_ABORT);
}

void StorageConfigurationServiceProvider::_handleRescheduleTask(const CIMObjectPath&,
                                                                const Array<CIMParamValue>& inParameters,
                                                                MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleRescheduleTask");
    Uint32 priority = 0;
    JobDateTime startTime;
    Uint16 periodicityType = 0, periodicity = 0;
    const bool priorityGiven = readParameter(inParameters, "ScheduledTaskPriority", priority);
    const bool startGiven = readParameter(inParameters, "ScheduledTaskStartTime", startTime);
    const bool typeGiven = readParameter(inParameters, "PeriodicityType", periodicityType);
    const bool periodicityGiven = readParameter(inParameters, "Periodicity", periodicity);
    changeTask(*_engine, __LINE__, inParameters, handler,
               [&](KVELTask& task)
               {
                   if (priorityGiven && startGiven)
                   {
                       if (typeGiven && periodicityGiven)
                           task.setTaskSchedulingRecurring(
                               Uint16(priority), startTime.getMpuTime(),
                               KVELTask::TaskSchedulingPeriodicityUnitsEnum(periodicityType), periodicity);
                       else
                           task.setTaskScheduling(Uint16(priority), startTime.getMpuTime());
                   }
                   return _engine->modifyObject(CLASSID_TASK, &task);
               });
}

PEGASUS_NAMESPACE_END
