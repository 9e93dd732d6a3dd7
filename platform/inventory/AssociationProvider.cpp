#include "AssociationProvider.h"

#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/ProviderException.h>

#include "SkipVanished.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

void AssociationProvider::initialize(CIMOMHandle&) {}

void AssociationProvider::terminate()
{
    delete this;
}

std::vector<AssociationProvider::Match> AssociationProvider::_matches(const CIMObjectPath& objectName,
                                                                      const String& role,
                                                                      const String& resultRole,
                                                                      const CIMName& resultClass) const
{
    std::vector<Match> matches;
    for (const ArrayAssociation* association : _associations)
        for (int nearEnd = 0; nearEnd < 2; ++nearEnd)
        {
            const AssociationEnd& near = association->end(nearEnd);
            const AssociationEnd& far = association->end(1 - nearEnd);
            if (role.size() != 0 && !String::equalNoCase(role, near.role)) continue;
            if (resultRole.size() != 0 && !String::equalNoCase(resultRole, far.role)) continue;
            if (!resultClass.isNull() && !far.kind.isA(resultClass)) continue;
            const Uint32 objectID = near.kind.objectIDOf(objectName);
            if (objectID == 0) continue;
            for (const Link& link : association->linksOf(nearEnd, objectID))
                matches.push_back({association, 1 - nearEnd, link});
        }
    return matches;
}

CIMObjectPath AssociationProvider::_linkPath(const ArrayAssociation& association, const Link& link) const
{
    const CIMObjectPath ends[2] = {association.end(0).kind.path(link.objectIDs[0]),
                                   association.end(1).kind.path(link.objectIDs[1])};
    return _linkPath(association, ends);
}

CIMObjectPath AssociationProvider::_linkPath(const ArrayAssociation& association,
                                             const CIMObjectPath (&ends)[2]) const
{
    Array<CIMKeyBinding> keys;
    for (int end = 0; end < 2; ++end)
        keys.append(CIMKeyBinding(CIMName(association.end(end).role), CIMValue(ends[end])));
    // Host and namespace as the elements' own paths carry them.
    return CIMObjectPath(ends[0].getHost(), ends[0].getNameSpace(), association.className(), keys);
}

CIMInstance AssociationProvider::_linkInstance(const ArrayAssociation& association, const Link& link,
                                               Boolean includeQualifiers,
                                               const CIMPropertyList& propertyList) const
{
    const CIMObjectPath ends[2] = {association.end(0).kind.path(link.objectIDs[0]),
                                   association.end(1).kind.path(link.objectIDs[1])};
    CIMInstance instance(association.className());
    InstanceProperties properties(instance, includeQualifiers, propertyList);
    for (int end = 0; end < 2; ++end)
        properties.addKey(association.end(end).role, CIMValue(ends[end]));
    association.addProperties(link, properties);
    instance.setPath(_linkPath(association, ends));
    return instance;
}

void AssociationProvider::associators(const OperationContext&, const CIMObjectPath& objectName,
                                      const CIMName&, const CIMName& resultClass, const String& role,
                                      const String& resultRole, const Boolean includeQualifiers,
                                      const Boolean, const CIMPropertyList& propertyList,
                                      ObjectResponseHandler& handler)
{
    handler.processing();
    for (const Match& match : _matches(objectName, role, resultRole, resultClass))
    {
        const ElementKind& far = match.association->end(match.farEnd).kind;
        unlessVanished(
            [&]
            {
                handler.deliver(CIMObject(
                    far.instance(match.link.objectIDs[match.farEnd], includeQualifiers, propertyList)));
            });
    }
    handler.complete();
}

void AssociationProvider::associatorNames(const OperationContext&, const CIMObjectPath& objectName,
                                          const CIMName&, const CIMName& resultClass, const String& role,
                                          const String& resultRole, ObjectPathResponseHandler& handler)
{
    handler.processing();
    for (const Match& match : _matches(objectName, role, resultRole, resultClass))
        unlessVanished(
            [&] {
                handler.deliver(
                    match.association->end(match.farEnd).kind.path(match.link.objectIDs[match.farEnd]));
            });
    handler.complete();
}

void AssociationProvider::references(const OperationContext&, const CIMObjectPath& objectName,
                                     const CIMName& resultClass, const String& role,
                                     const Boolean includeQualifiers, const Boolean,
                                     const CIMPropertyList& propertyList, ObjectResponseHandler& handler)
{
    handler.processing();
    if (resultClass.isNull() || _first().isA(resultClass))
        for (const Match& match : _matches(objectName, role, String(), CIMName()))
            unlessVanished(
                [&]
                {
                    handler.deliver(CIMObject(
                        _linkInstance(*match.association, match.link, includeQualifiers, propertyList)));
                });
    handler.complete();
}

void AssociationProvider::referenceNames(const OperationContext&, const CIMObjectPath& objectName,
                                         const CIMName& resultClass, const String& role,
                                         ObjectPathResponseHandler& handler)
{
    handler.processing();
    if (resultClass.isNull() || _first().isA(resultClass))
        for (const Match& match : _matches(objectName, role, String(), CIMName()))
            unlessVanished([&] { handler.deliver(_linkPath(*match.association, match.link)); });
    handler.complete();
}

void AssociationProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                      const Boolean includeQualifiers, const Boolean,
                                      const CIMPropertyList& propertyList, InstanceResponseHandler& handler)
{
    handler.processing();
    const Array<CIMKeyBinding>& keys = instanceReference.getKeyBindings();
    for (const ArrayAssociation* association : _associations)
    {
        Uint32 objectIDs[2] = {0, 0};
        for (int end = 0; end < 2; ++end)
            for (Uint32 i = 0; i < keys.size(); ++i)
            {
                if (!keys[i].getName().equal(CIMName(association->end(end).role))) continue;
                try
                {
                    objectIDs[end] = association->end(end).kind.objectIDOf(CIMObjectPath(keys[i].getValue()));
                }
                catch (const Exception&)
                {
                    throw CIMInvalidParameterException(String("The key ") + keys[i].getName().getString() +
                                                       String(" is not an object path: ") +
                                                       keys[i].getValue());
                }
            }
        if (objectIDs[0] == 0 || objectIDs[1] == 0) continue;
        for (const Link& link : association->linksOf(0, objectIDs[0]))
            if (link.objectIDs[1] == objectIDs[1])
            {
                handler.deliver(_linkInstance(*association, link, includeQualifiers, propertyList));
                handler.complete();
                return;
            }
    }
    throw CIMObjectNotFoundException(instanceReference.toString() + String(" links nothing"));
}

void AssociationProvider::enumerateInstances(const OperationContext&, const CIMObjectPath& classReference,
                                             const Boolean includeQualifiers, const Boolean,
                                             const CIMPropertyList& propertyList,
                                             InstanceResponseHandler& handler)
{
    handler.processing();
    if (_first().className().equal(classReference.getClassName()))
        for (const ArrayAssociation* association : _associations)
            for (const Link& link : association->links())
                unlessVanished(
                    [&]
                    { handler.deliver(_linkInstance(*association, link, includeQualifiers, propertyList)); });
    handler.complete();
}

void AssociationProvider::enumerateInstanceNames(const OperationContext&, const CIMObjectPath& classReference,
                                                 ObjectPathResponseHandler& handler)
{
    handler.processing();
    if (_first().className().equal(classReference.getClassName()))
        for (const ArrayAssociation* association : _associations)
            for (const Link& link : association->links())
                unlessVanished([&] { handler.deliver(_linkPath(*association, link)); });
    handler.complete();
}

void AssociationProvider::modifyInstance(const OperationContext&, const CIMObjectPath&, const CIMInstance&,
                                         const Boolean, const CIMPropertyList&, ResponseHandler&)
{
    throw CIMNotSupportedException(_first().className().getString() + String(" follows the array's state"));
}

void AssociationProvider::createInstance(const OperationContext&, const CIMObjectPath&, const CIMInstance&,
                                         ObjectPathResponseHandler&)
{
    throw CIMNotSupportedException(_first().className().getString() + String(" follows the array's state"));
}

void AssociationProvider::deleteInstance(const OperationContext&, const CIMObjectPath&, ResponseHandler&)
{
    throw CIMNotSupportedException(_first().className().getString() + String(" follows the array's state"));
}

} // namespace inventory

PEGASUS_NAMESPACE_END
