#include "ElementInstanceProvider.h"

#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/ProviderException.h>

#include "EngineRecords.h"
#include "SkipVanished.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

void ElementInstanceProvider::initialize(CIMOMHandle&) {}

void ElementInstanceProvider::terminate()
{
    delete this;
}

Uint32 ElementInstanceProvider::requireObjectID(const CIMObjectPath& path) const
{
    const Uint32 objectID = _kind.objectIDOf(path);
    if (objectID == KVEL_NULL_OBJECT_ID)
        throw CIMObjectNotFoundException(path.toString() + String(" names no ") +
                                         _kind.className().getString());
    return objectID;
}

void ElementInstanceProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                          const Boolean includeQualifiers, const Boolean,
                                          const CIMPropertyList& propertyList,
                                          InstanceResponseHandler& handler)
{
    handler.processing();
    handler.deliver(_kind.instance(requireObjectID(instanceReference), includeQualifiers, propertyList));
    handler.complete();
}

// An enumeration answers for the class asked for only: elements whose class is a subclass of it
// are enumerated by the server under their own class.
void ElementInstanceProvider::enumerateInstances(const OperationContext&, const CIMObjectPath& classReference,
                                                 const Boolean includeQualifiers, const Boolean,
                                                 const CIMPropertyList& propertyList,
                                                 InstanceResponseHandler& handler)
{
    handler.processing();
    if (_kind.className().equal(classReference.getClassName()))
    {
        const Array<Uint32> objectIDs = _kind.objectIDs();
        for (Uint32 i = 0; i < objectIDs.size(); ++i)
            unlessVanished(
                [&] { handler.deliver(_kind.instance(objectIDs[i], includeQualifiers, propertyList)); });
    }
    handler.complete();
}

void ElementInstanceProvider::enumerateInstanceNames(const OperationContext&,
                                                     const CIMObjectPath& classReference,
                                                     ObjectPathResponseHandler& handler)
{
    handler.processing();
    if (_kind.className().equal(classReference.getClassName()))
    {
        const Array<Uint32> objectIDs = _kind.objectIDs();
        for (Uint32 i = 0; i < objectIDs.size(); ++i)
            unlessVanished([&] { handler.deliver(_kind.path(objectIDs[i])); });
    }
    handler.complete();
}

void ElementInstanceProvider::modifyInstance(const OperationContext&, const CIMObjectPath&,
                                             const CIMInstance&, const Boolean, const CIMPropertyList&,
                                             ResponseHandler&)
{
    throw CIMNotSupportedException(_kind.className().getString() + String(" instances cannot be modified"));
}

void ElementInstanceProvider::createInstance(const OperationContext&, const CIMObjectPath&,
                                             const CIMInstance&, ObjectPathResponseHandler&)
{
    throw CIMNotSupportedException(_kind.className().getString() +
                                   String(" instances are made by the array, not created by clients"));
}

void ElementInstanceProvider::deleteInstance(const OperationContext&, const CIMObjectPath&, ResponseHandler&)
{
    throw CIMNotSupportedException(_kind.className().getString() +
                                   String(" instances are removed by the array, not deleted by clients"));
}

} // namespace inventory

PEGASUS_NAMESPACE_END
