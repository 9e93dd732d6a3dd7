#include "AffectedJobElementProvider.h"

#include <memory>

#include <KVELEngine.h>
#include <KVELiPtr.h>
#include <SMIMO_Util.h>
#include <SMIMOBuilders.h>

#include "CatchLadder.h"
#include "CimNames.h"
#include "OperationTrace.h"
#include "Refusal.h"
#include "VanishedTasks.h"

#define SCS_TRACE_FILE "AffectedJobElement"

PEGASUS_NAMESPACE_BEGIN

namespace
{

enum Direction
{
    NO_DIRECTION,
    ELEMENT_TO_JOBS,
    JOB_TO_VOLUME,
    JOB_TO_DRIVE
};

Direction chooseDirection(const CIMName& sourceClass, const CIMName& resultClass)
{
    const CIMName& job = CLASS_CIM_ConcreteJob;
    if ((sourceClass == CLASS_CIM_StorageVolume || sourceClass == CLASS_CIM_DiskDrive) && resultClass == job)
        return ELEMENT_TO_JOBS;
    if (sourceClass == job && resultClass == CLASS_CIM_StorageVolume) return JOB_TO_VOLUME;
    if (sourceClass == job && resultClass == CLASS_CIM_DiskDrive) return JOB_TO_DRIVE;
    return NO_DIRECTION;
}

std::unique_ptr<KVELTask> fetchTask(KVELEngine& engine, Uint32 taskID)
{
    std::unique_ptr<ManagedObject> record(engine.getObject(CLASSID_TASK, taskID));
    if (!dynamic_cast<KVELTask*>(record.get())) return nullptr;
    return std::unique_ptr<KVELTask>(static_cast<KVELTask*>(record.release()));
}

// Calls onJob(taskID, task) for every task whose target is the element of the source path. Tasks
// that end between the listing and the fetch are passed over; so must onJob pass over a task that
// ends after the fetch, when it reads the engine again.
template <class OnJob>
void forEachJobOfElement(KVELEngine& engine, const CIMObjectPath& elementPath, OnJob onJob)
{
    KVELiPtr element(SMIMO_Util::getKeyStringValue(elementPath, PROPERTY_DeviceID), KVELiPtr::RADIX_16);
    Array<Uint32> taskIDs = engine.enumerateObjects(CLASSID_TASK);
    for (Uint32 i = 0; i < taskIDs.size(); ++i)
    {
        std::unique_ptr<KVELTask> task = fetchTask(engine, taskIDs[i]);
        if (task && KVELiPtr(task->TargetObjectPtr).getIPtr() == element.getIPtr()) onJob(taskIDs[i], *task);
    }
}

// The object ID of the element the job's task works on, when it is of the wanted class; 0 when
// it is not. The "InstanceID" text goes to the engine undecoded: its key lookup takes the
// hexadecimal text as well as the bytes.
Uint32 elementOfJob(KVELEngine& engine, const CIMObjectPath& jobPath, CLASSID_e wantedClass)
{
    String instanceID = SMIMO_Util::getKeyStringValue(jobPath, PROPERTY_InstanceID);
    std::unique_ptr<KVELTask> task = fetchTask(engine, engine.getObjectIDByKey(CLASSID_TASK, instanceID));
    if (!task) throw CIMObjectNotFoundException(String("No job has the InstanceID ") + instanceID);
    KVELiPtr target(task->TargetObjectPtr);
    return target.getClassID() == wantedClass ? target.getIPtr() : 0;
}

} // namespace

AffectedJobElementProvider::AffectedJobElementProvider() : _engine(nullptr) {}

AffectedJobElementProvider::~AffectedJobElementProvider() {}

void AffectedJobElementProvider::initialize(CIMOMHandle& cimom)
{
    _engine = KVELEngine::_getInstance();
    _cimomHandle = cimom;
}

void AffectedJobElementProvider::terminate() {}

void AffectedJobElementProvider::associators(const OperationContext&, const CIMObjectPath& objectName,
                                             const CIMName& associationClass, const CIMName& resultClass,
                                             const String& role, const String& resultRole,
                                             const Boolean includeQualifiers, const Boolean,
                                             const CIMPropertyList& propertyList,
                                             ObjectResponseHandler& handler)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::associators");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_ASSOCIATION(associationClass, resultClass, role, resultRole);
    runInCatchLadder(
        SCS_LADDER_SITE("associators"),
        [&]
        {
            handler.processing();
            Direction direction = chooseDirection(objectName.getClassName(), resultClass);
            if (!(associationClass == CLASS_CIM_AffectedJobElement) || direction == NO_DIRECTION)
                throw CIMNotSupportedException("AffectedJobElementProvider::associators");
            if (direction == ELEMENT_TO_JOBS)
            {
                forEachJobOfElement(
                    *_engine, objectName,
                    [&](Uint32, const KVELTask& task)
                    { handler.deliver(CIMObject(ConcreteJobInstance(includeQualifiers, &task))); });
            }
            else if (direction == JOB_TO_VOLUME)
            {
                if (Uint32 volumeID = elementOfJob(*_engine, objectName, CLASSID_VOLUME))
                    handler.deliver(
                        CIMObject(StorageVolumeInstance(includeQualifiers, propertyList, volumeID)));
            }
            else if (Uint32 driveID = elementOfJob(*_engine, objectName, CLASSID_DRIVE))
                handler.deliver(CIMObject(DiskDriveInstance(includeQualifiers, propertyList, driveID)));
            handler.complete();
        });
}

void AffectedJobElementProvider::associatorNames(const OperationContext&, const CIMObjectPath& objectName,
                                                 const CIMName& associationClass, const CIMName& resultClass,
                                                 const String& role, const String& resultRole,
                                                 ObjectPathResponseHandler& handler)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::associatorNames");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_ASSOCIATION(associationClass, resultClass, role, resultRole);
    runInCatchLadder(SCS_LADDER_SITE("associatorNames"),
                     [&]
                     {
                         handler.processing();
                         Direction direction = chooseDirection(objectName.getClassName(), resultClass);
                         if (!(associationClass == CLASS_CIM_AffectedJobElement) || direction == NO_DIRECTION)
                             throw CIMNotSupportedException("AffectedJobElementProvider::associatorNames");
                         if (direction == ELEMENT_TO_JOBS)
                         {
                             forEachJobOfElement(*_engine, objectName,
                                                 [&](Uint32 taskID, const KVELTask&) {
                                                     deliverUnlessVanished(
                                                         [&] { handler.deliver(ConcreteJobPath(taskID)); });
                                                 });
                         }
                         else if (direction == JOB_TO_VOLUME)
                         {
                             if (Uint32 volumeID = elementOfJob(*_engine, objectName, CLASSID_VOLUME))
                                 handler.deliver(StorageVolumePath(volumeID));
                         }
                         else if (Uint32 driveID = elementOfJob(*_engine, objectName, CLASSID_DRIVE))
                             handler.deliver(DiskDrivePath(driveID));
                         handler.complete();
                     });
}

void AffectedJobElementProvider::references(const OperationContext&, const CIMObjectPath& objectName,
                                            const CIMName& resultClass, const String& role, const Boolean,
                                            const Boolean, const CIMPropertyList&, ObjectResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::references");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_REFERENCE(resultClass, role);
    refuseInLadder(SCS_LADDER_SITE("references"), "AffectedJobElementProvider::references");
}

void AffectedJobElementProvider::referenceNames(const OperationContext&, const CIMObjectPath& objectName,
                                                const CIMName& resultClass, const String& role,
                                                ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::referenceNames");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_REFERENCE(resultClass, role);
    refuseInLadder(SCS_LADDER_SITE("referenceNames"), "AffectedJobElementProvider::referenceNames");
}

void AffectedJobElementProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                             const Boolean includeQualifiers, const Boolean,
                                             const CIMPropertyList& propertyList, InstanceResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::getInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    refuseInLadder(SCS_LADDER_SITE("getInstance"), "AffectedJobElementProvider::getInstance");
}

void AffectedJobElementProvider::enumerateInstances(const OperationContext&,
                                                    const CIMObjectPath& classReference, const Boolean,
                                                    const Boolean, const CIMPropertyList&,
                                                    InstanceResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::enumerateInstances");
    SCS_TRACE_PATH(classReference);
    refuseInLadder(SCS_LADDER_SITE("enumerateInstances"), "AffectedJobElementProvider::enumerateInstances");
}

void AffectedJobElementProvider::enumerateInstanceNames(const OperationContext&,
                                                        const CIMObjectPath& classReference,
                                                        ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::enumerateInstanceNames");
    SCS_TRACE_PATH(classReference);
    refuseInLadder(SCS_LADDER_SITE("enumerateInstanceNames"),
                   "AffectedJobElementProvider::enumerateInstanceNames");
}

void AffectedJobElementProvider::modifyInstance(const OperationContext&,
                                                const CIMObjectPath& instanceReference, const CIMInstance&,
                                                const Boolean includeQualifiers,
                                                const CIMPropertyList& propertyList, ResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::modifyInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    refuseInLadder(SCS_LADDER_SITE("modifyInstance"), "AffectedJobElementProvider::modifyInstance");
}

void AffectedJobElementProvider::createInstance(const OperationContext&,
                                                const CIMObjectPath& instanceReference, const CIMInstance&,
                                                ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::createInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("createInstance"), "AffectedJobElementProvider::createInstance");
}

void AffectedJobElementProvider::deleteInstance(const OperationContext&,
                                                const CIMObjectPath& instanceReference, ResponseHandler&)
{
    SCS_METHOD_SCOPE("AffectedJobElementProvider::deleteInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("deleteInstance"), "AffectedJobElementProvider::deleteInstance");
}

PEGASUS_NAMESPACE_END
