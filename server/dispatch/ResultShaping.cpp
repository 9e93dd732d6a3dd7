#include "ResultShaping.h"

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

namespace
{

template <class Element> void dropQualifiers(Element& element)
{
    for (Pegasus::Uint32 i = element.getQualifierCount(); i-- > 0;)
        element.removeQualifier(i);
}

template <class Element> void dropPropagatedQualifiers(Element& element)
{
    for (Pegasus::Uint32 i = element.getQualifierCount(); i-- > 0;)
        if (element.getQualifier(i).getPropagated()) element.removeQualifier(i);
}

} // namespace

Pegasus::CIMClass shapeClass(const Pegasus::CIMConstClass& resolvedClass, bool localOnly,
                             const ResultFilter& filter)
{
    Pegasus::CIMClass shaped = resolvedClass.clone();
    const Pegasus::CIMName& origin = shaped.getClassName();

    if (localOnly) dropPropagatedQualifiers(shaped);
    if (!filter.includeQualifiers) dropQualifiers(shaped);

    for (Pegasus::Uint32 i = shaped.getPropertyCount(); i-- > 0;)
    {
        Pegasus::CIMProperty property = shaped.getProperty(i);
        if ((localOnly && property.getPropagated()) ||
            !filter.propertyList.useThisProperty(property.getName()))
        {
            shaped.removeProperty(i);
            continue;
        }
        if (!filter.includeQualifiers) dropQualifiers(property);
        if (!filter.includeClassOrigin)
            property.setClassOrigin(Pegasus::CIMName());
        else if (property.getClassOrigin().isNull())
            property.setClassOrigin(origin);
    }

    for (Pegasus::Uint32 i = shaped.getMethodCount(); i-- > 0;)
    {
        Pegasus::CIMMethod method = shaped.getMethod(i);
        if (localOnly && method.getPropagated())
        {
            shaped.removeMethod(i);
            continue;
        }
        if (!filter.includeQualifiers)
        {
            dropQualifiers(method);
            for (Pegasus::Uint32 p = 0; p < method.getParameterCount(); ++p)
            {
                Pegasus::CIMParameter parameter = method.getParameter(p);
                dropQualifiers(parameter);
            }
        }
        if (!filter.includeClassOrigin)
            method.setClassOrigin(Pegasus::CIMName());
        else if (method.getClassOrigin().isNull())
            method.setClassOrigin(origin);
    }
    return shaped;
}

void completePath(Pegasus::CIMObjectPath& path, const Pegasus::CIMNamespaceName& nameSpace,
                  const std::string& hostName)
{
    if (path.getHost().size() == 0) path.setHost(Pegasus::String(hostName.c_str()));
    if (path.getNameSpace().isNull()) path.setNameSpace(nameSpace);
}

Pegasus::CIMObjectPath completedInstancePath(const Pegasus::CIMConstInstance& instance,
                                             const ClassRepository& repository,
                                             const Pegasus::CIMNamespaceName& nameSpace,
                                             const std::string& hostName)
{
    const Pegasus::CIMObjectPath& path = instance.getPath();
    Pegasus::CIMObjectPath complete;
    if (path.getKeyBindings().size() == 0)
    {
        Pegasus::CIMConstClass cimClass = repository.resolvedClassView(nameSpace, instance.getClassName());
        if (!cimClass.isUninitialized() && cimClass.hasKeys())
        {
            try
            {
                const Pegasus::CIMObjectPath built = instance.buildPath(cimClass);
                complete = Pegasus::CIMObjectPath(built.getHost(), built.getNameSpace(),
                                                  instance.getClassName(), built.getKeyBindings());
            }
            catch (const Pegasus::Exception&)
            {
                // Key properties missing: the path stays as the provider left it.
            }
        }
    }
    // The instance's own class names it, whatever class the provider wrote into the path.
    if (complete.getClassName().isNull())
        complete = Pegasus::CIMObjectPath(path.getHost(), path.getNameSpace(), instance.getClassName(),
                                          path.getKeyBindings());
    completePath(complete, nameSpace, hostName);
    return complete;
}

void completeInstancePath(Pegasus::CIMInstance& instance, const ClassRepository& repository,
                          const Pegasus::CIMNamespaceName& nameSpace, const std::string& hostName)
{
    instance.setPath(completedInstancePath(instance, repository, nameSpace, hostName));
}

} // namespace cimhost
