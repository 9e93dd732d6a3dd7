// The class operations, answered from the repository alone.
#include "CimOperations.h"

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

Pegasus::CIMClass CimOperations::getClass(const Pegasus::CIMNamespaceName& nameSpace,
                                          const Pegasus::CIMName& className, bool localOnly,
                                          const ResultFilter& filter) const
{
    requireNamespace(nameSpace);
    // The class asked for is the object of the operation: its absence is "not found".
    return shapeClass(requireClass(nameSpace, className, Pegasus::CIM_ERR_NOT_FOUND), localOnly, filter);
}

Pegasus::Array<Pegasus::CIMClass> CimOperations::enumerateClasses(const Pegasus::CIMNamespaceName& nameSpace,
                                                                  const Pegasus::CIMName& className,
                                                                  bool deepInheritance, bool localOnly,
                                                                  const ResultFilter& filter) const
{
    Pegasus::Array<Pegasus::CIMName> names = enumerateClassNames(nameSpace, className, deepInheritance);
    Pegasus::Array<Pegasus::CIMClass> classes;
    for (Pegasus::Uint32 i = 0; i < names.size(); ++i)
        classes.append(shapeClass(_repository.resolvedClass(nameSpace, names[i]), localOnly, filter));
    return classes;
}

Pegasus::Array<Pegasus::CIMName>
CimOperations::enumerateClassNames(const Pegasus::CIMNamespaceName& nameSpace,
                                   const Pegasus::CIMName& className, bool deepInheritance) const
{
    requireNamespace(nameSpace);
    if (!className.isNull()) requireClass(nameSpace, className);
    Pegasus::Array<Pegasus::CIMName> names;
    for (const Pegasus::CIMName& name : _repository.subclassNames(nameSpace, className, deepInheritance))
        names.append(name);
    return names;
}

} // namespace cimhost
