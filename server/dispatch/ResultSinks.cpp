#include "ResultSinks.h"

#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/XmlWriter.h>

#include "StreamedResponse.h"

namespace cimhost
{

void CollectingSink::object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                            const ResultFilter& shown)
{
    if (!_shown) _shown = shown;
    _objects.append(delivered);
    _paths.append(path);
}

void CollectingSink::path(const Pegasus::CIMObjectPath& path)
{
    _paths.append(path);
}

Pegasus::Array<Pegasus::CIMObject> CollectingSink::takeObjects()
{
    for (Pegasus::Uint32 i = 0; i < _objects.size(); ++i)
    {
        Pegasus::CIMObject& object = _objects[i];
        if (Pegasus::CIMHandleAccess::rep(object)->isShared()) object = object.clone();
        if (object.isInstance()) object.setPath(_paths[i]);
        object.instanceFilter(_shown->includeQualifiers, _shown->includeClassOrigin, _shown->propertyList);
    }
    _paths.clear();
    Pegasus::Array<Pegasus::CIMObject> objects;
    objects.swap(_objects);
    return objects;
}

Pegasus::Array<Pegasus::CIMInstance> CollectingSink::takeInstances()
{
    Pegasus::Array<Pegasus::CIMObject> objects = takeObjects();
    Pegasus::Array<Pegasus::CIMInstance> instances;
    instances.reserveCapacity(objects.size());
    for (Pegasus::Uint32 i = 0; i < objects.size(); ++i)
        instances.append(Pegasus::CIMInstance(objects[i]));
    return instances;
}

Pegasus::Array<Pegasus::CIMObjectPath> CollectingSink::takePaths()
{
    Pegasus::Array<Pegasus::CIMObjectPath> paths;
    paths.swap(_paths);
    return paths;
}

void EncodingSink::object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                          const ResultFilter& shown)
{
    if (_dropping) return;
    ShownElements elements;
    elements.includeQualifiers = shown.includeQualifiers;
    elements.includeClassOrigin = shown.includeClassOrigin;
    if (!shown.propertyList.isNull()) elements.propertyList = &shown.propertyList;
    if (_kind == CimResponse::NamedInstances)
        appendShownNamedInstance(_out.text, Pegasus::CIMConstInstance(delivered), path, elements);
    else
        appendShownObjectWithPath(_out.text, delivered, path, elements);
    done();
}

void EncodingSink::path(const Pegasus::CIMObjectPath& path)
{
    if (_dropping) return;
    if (_kind == CimResponse::InstanceNames)
        Pegasus::XmlWriter::appendInstanceNameElement(_out.text, path);
    else
        Pegasus::XmlWriter::appendObjectPathElement(_out.text, path);
    done();
}

} // namespace cimhost
