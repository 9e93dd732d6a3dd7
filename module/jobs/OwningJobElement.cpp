#include "OwningJobElementProvider.h"

#include "CatchLadder.h"
#include "CimNames.h"
#include "OperationTrace.h"
#include "Refusal.h"

#define SCS_TRACE_FILE "OwningJobElement"

PEGASUS_NAMESPACE_BEGIN

OwningJobElementProvider::OwningJobElementProvider() {}

OwningJobElementProvider::~OwningJobElementProvider() {}

void OwningJobElementProvider::initialize(CIMOMHandle& cimom)
{
    _cimomHandle = cimom;
}

void OwningJobElementProvider::terminate() {}

// The owner of a job is whatever the server enumerates for the result class the client names:
// the service instance for the service's class, every job for CIM_ConcreteJob.
void OwningJobElementProvider::associators(const OperationContext& context, const CIMObjectPath& objectName,
                                           const CIMName& associationClass, const CIMName& resultClass,
                                           const String& role, const String& resultRole,
                                           const Boolean includeQualifiers, const Boolean includeClassOrigin,
                                           const CIMPropertyList& propertyList,
                                           ObjectResponseHandler& handler)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::associators");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_ASSOCIATION(associationClass, resultClass, role, resultRole);
    runInCatchLadder(SCS_LADDER_SITE("associators"),
                     [&]
                     {
                         handler.processing();
                         Array<CIMInstance> instances = _cimomHandle.enumerateInstances(
                             context, NAMESPACE_ROOT_SNIA, resultClass, true, false, includeQualifiers,
                             includeClassOrigin, propertyList);
                         for (Uint32 i = 0; i < instances.size(); ++i)
                             handler.deliver(CIMObject(instances[i]));
                         handler.complete();
                     });
}

void OwningJobElementProvider::associatorNames(const OperationContext&, const CIMObjectPath& objectName,
                                               const CIMName& associationClass, const CIMName& resultClass,
                                               const String& role, const String& resultRole,
                                               ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::associatorNames");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_ASSOCIATION(associationClass, resultClass, role, resultRole);
    refuseInLadder(SCS_LADDER_SITE("associatorNames"), "OwningJobElementProvider::associatorNames");
}

void OwningJobElementProvider::references(const OperationContext&, const CIMObjectPath& objectName,
                                          const CIMName& resultClass, const String& role, const Boolean,
                                          const Boolean, const CIMPropertyList&, ObjectResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::references");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_REFERENCE(resultClass, role);
    refuseInLadder(SCS_LADDER_SITE("references"), "OwningJobElementProvider::references");
}

void OwningJobElementProvider::referenceNames(const OperationContext&, const CIMObjectPath& objectName,
                                              const CIMName& resultClass, const String& role,
                                              ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::referenceNames");
    SCS_TRACE_PATH(objectName);
    SCS_TRACE_REFERENCE(resultClass, role);
    refuseInLadder(SCS_LADDER_SITE("referenceNames"), "OwningJobElementProvider::referenceNames");
}

void OwningJobElementProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                           const Boolean includeQualifiers, const Boolean,
                                           const CIMPropertyList& propertyList, InstanceResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::getInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    refuseInLadder(SCS_LADDER_SITE("getInstance"), "OwningJobElementProvider::getInstance");
}

void OwningJobElementProvider::enumerateInstances(const OperationContext&,
                                                  const CIMObjectPath& classReference, const Boolean,
                                                  const Boolean, const CIMPropertyList&,
                                                  InstanceResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::enumerateInstances");
    SCS_TRACE_PATH(classReference);
    refuseInLadder(SCS_LADDER_SITE("enumerateInstances"), "OwningJobElementProvider::enumerateInstances");
}

void OwningJobElementProvider::enumerateInstanceNames(const OperationContext&,
                                                      const CIMObjectPath& classReference,
                                                      ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::enumerateInstanceNames");
    SCS_TRACE_PATH(classReference);
    refuseInLadder(SCS_LADDER_SITE("enumerateInstanceNames"),
                   "OwningJobElementProvider::enumerateInstanceNames");
}

void OwningJobElementProvider::modifyInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                              const CIMInstance&, const Boolean includeQualifiers,
                                              const CIMPropertyList& propertyList, ResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::modifyInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    refuseInLadder(SCS_LADDER_SITE("modifyInstance"), "OwningJobElementProvider::modifyInstance");
}

void OwningJobElementProvider::createInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                              const CIMInstance&, ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::createInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("createInstance"), "OwningJobElementProvider::createInstance");
}

void OwningJobElementProvider::deleteInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                              ResponseHandler&)
{
    SCS_METHOD_SCOPE("OwningJobElementProvider::deleteInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("deleteInstance"), "OwningJobElementProvider::deleteInstance");
}

PEGASUS_NAMESPACE_END
