// Shaping what goes back to a client: the class an answer shows (local or resolved elements,
// qualifiers, class origins, property list), and the full paths of returned instances.
#ifndef CIMHOST_ResultShaping_h
#define CIMHOST_ResultShaping_h

#include <string>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>

#include "ClassRepository.h"

namespace cimhost
{

struct ResultFilter
{
    bool includeQualifiers = false;
    bool includeClassOrigin = false;
    Pegasus::CIMPropertyList propertyList; // null: every property
};

// A copy of the resolved class: with localOnly only the elements the class itself declares or
// overrides; qualifiers, class origins and properties as the filter asks.
Pegasus::CIMClass shapeClass(const Pegasus::CIMConstClass& resolvedClass, bool localOnly,
                             const ResultFilter& filter);

// Fills in the host (when empty) and the namespace (when null).
void completePath(Pegasus::CIMObjectPath& path, const Pegasus::CIMNamespaceName& nameSpace,
                  const std::string& hostName);

// The instance's complete path: the provider's keys, or keys built from the instance's key
// properties when the provider set none; then host and namespace. The instance is not changed.
Pegasus::CIMObjectPath completedInstancePath(const Pegasus::CIMConstInstance& instance,
                                             const ClassRepository& repository,
                                             const Pegasus::CIMNamespaceName& nameSpace,
                                             const std::string& hostName);

// Gives the instance that path.
void completeInstancePath(Pegasus::CIMInstance& instance, const ClassRepository& repository,
                          const Pegasus::CIMNamespaceName& nameSpace, const std::string& hostName);

} // namespace cimhost

#endif
