#include "ConcreteJobProvider.h"

#include <memory>

#include <KVELEngine.h>
#include <KVELOperationFailedException.h>
#include <SMIMO_Util.h>
#include <SMIMOBuilders.h>

#include "CatchLadder.h"
#include "CimNames.h"
#include "OperationTrace.h"
#include "Refusal.h"
#include "VanishedTasks.h"

#define SCS_TRACE_FILE "ConcreteJob"

PEGASUS_NAMESPACE_BEGIN

namespace
{

// The task named by a job path: the "InstanceID" key is the task key in hexadecimal.
Uint32 taskIDOfJobPath(KVELEngine& engine, const CIMObjectPath& jobPath)
{
    String instanceID = SMIMO_Util::getKeyStringValue(jobPath, PROPERTY_InstanceID);
    return engine.getObjectIDByKey(CLASSID_TASK, ManagedObject::hexToBin(instanceID));
}

} // namespace

ConcreteJobProvider::ConcreteJobProvider() : _engine(nullptr) {}

ConcreteJobProvider::~ConcreteJobProvider() {}

void ConcreteJobProvider::initialize(CIMOMHandle& cimom)
{
    _engine = KVELEngine::_getInstance();
    _cimomHandle = cimom;
}

void ConcreteJobProvider::terminate()
{
    delete this;
}

void ConcreteJobProvider::enumerateInstanceNames(const OperationContext&, const CIMObjectPath& classReference,
                                                 ObjectPathResponseHandler& handler)
{
    SCS_METHOD_SCOPE("ConcreteJobProvider::enumerateInstanceNames");
    SCS_TRACE_PATH(classReference);
    runInCatchLadder(SCS_LADDER_SITE("enumerateInstanceNames"),
                     [&]
                     {
                         handler.processing();
                         Array<Uint32> taskIDs = _engine->enumerateObjects(CLASSID_TASK);
                         for (Uint32 i = 0; i < taskIDs.size(); ++i)
                             deliverUnlessVanished([&] { handler.deliver(ConcreteJobPath(taskIDs[i])); });
                         handler.complete();
                     });
}

void ConcreteJobProvider::enumerateInstances(const OperationContext&, const CIMObjectPath& classReference,
                                             const Boolean includeQualifiers, const Boolean,
                                             const CIMPropertyList& propertyList,
                                             InstanceResponseHandler& handler)
{
    SCS_METHOD_SCOPE("ConcreteJobProvider::enumerateInstances");
    SCS_TRACE_PATH(classReference);
    runInCatchLadder(
        SCS_LADDER_SITE("enumerateInstances"),
        [&]
        {
            handler.processing();
            Array<Uint32> taskIDs = _engine->enumerateObjects(CLASSID_TASK);
            for (Uint32 i = 0; i < taskIDs.size(); ++i)
                deliverUnlessVanished(
                    [&]
                    { handler.deliver(ConcreteJobInstance(includeQualifiers, propertyList, taskIDs[i])); });
            handler.complete();
        });
}

// The one operation that silences its own trace: clients poll jobs often, and a poll should not
// flood the trace. Failures still show, because the ladder clears the suppression.
void ConcreteJobProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                      const Boolean includeQualifiers, const Boolean,
                                      const CIMPropertyList& propertyList, InstanceResponseHandler& handler)
{
    ProviderTraceServices::ptsIncrementTraceSuppressForPid(1);
    {
        SCS_METHOD_SCOPE("ConcreteJobProvider::getInstance");
        SCS_TRACE_PATH(instanceReference);
        SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
        LadderSite site = SCS_LADDER_SITE("getInstance");
        site.lowerSuppressionOnNotFound = true;
        runInCatchLadder(
            site,
            [&]
            {
                handler.processing();
                String instanceID = SMIMO_Util::getKeyStringValue(instanceReference, PROPERTY_InstanceID);
                handler.deliver(ConcreteJobInstance(includeQualifiers, propertyList, instanceID));
                handler.complete();
            });
    }
    ProviderTraceServices::ptsIncrementTraceSuppressForPid(-1);
}

void ConcreteJobProvider::modifyInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                         const CIMInstance& instanceObject, const Boolean includeQualifiers,
                                         const CIMPropertyList& propertyList, ResponseHandler& handler)
{
    SCS_METHOD_SCOPE("ConcreteJobProvider::modifyInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    runInCatchLadder(
        SCS_LADDER_SITE("modifyInstance"),
        [&]
        {
            handler.processing();
            Uint32 taskID = taskIDOfJobPath(*_engine, instanceReference);
            SCS_TRACE(TRACE_NORMAL, "Task ID is: ", taskID);

            std::unique_ptr<ManagedObject> record(_engine->getObject(CLASSID_TASK, taskID));
            KVELTask* task = dynamic_cast<KVELTask*>(record.get());
            if (!task)
                throw CIMObjectNotFoundException(String("No job has the InstanceID of ") +
                                                 SMIMO_ObjectPath2String(instanceReference));

            // Only "Priority" is taken from the modified instance; without it nothing is changed.
            Uint32 index = SMIMO_Util::findPropertyIndexIfQualified(instanceObject, propertyList, "Priority");
            if (index == PEG_NOT_FOUND)
                throw CIMInvalidParameterException("The modified job carries no Priority property to change");
            Uint32 priority = 0;
            instanceObject.getProperty(index).getValue().get(priority);

            task->CommandCode = KVELTask::TASK_COMMAND_SET_PRIORITY;
            task->Priority = priority & 0xFFFF;
            Uint32 rc = _engine->modifyObject(CLASSID_TASK, task);
            // A refusal (for instance a job that has already finished) reaches the client instead of
            // passing for success.
            if (rc > KVEL_RC_SUCCESS_NO_CHANGE)
                throw KVELOperationFailedException(
                    rc, KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(rc)));
            handler.complete();
        });
}

void ConcreteJobProvider::createInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                         const CIMInstance&, ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("ConcreteJobProvider::createInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("createInstance"), "ConcreteJobProvider::createInstance");
}

void ConcreteJobProvider::deleteInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                         ResponseHandler&)
{
    SCS_METHOD_SCOPE("ConcreteJobProvider::deleteInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("deleteInstance"), "ConcreteJobProvider::deleteInstance");
}

PEGASUS_NAMESPACE_END
