// Paths of the indication service's instances. The host serves one set of filters, destinations
// and subscriptions under each of its interop namespaces, so the service keeps their paths
// without host and namespace (in the references a subscription's keys hold too), and answers
// with those of the request.
#ifndef CIMHOST_SubscriptionPaths_h
#define CIMHOST_SubscriptionPaths_h

#include <string>

#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>

namespace cimhost
{

// The path without host and namespace, in it and in its reference keys.
Pegasus::CIMObjectPath localPath(const Pegasus::CIMObjectPath& path);
// The path with that host and namespace, in it and in its reference keys.
Pegasus::CIMObjectPath servedPath(const Pegasus::CIMObjectPath& path, const Pegasus::String& host,
                                  const Pegasus::CIMNamespaceName& nameSpace);
// A text equal for paths that name the same instance (class and key names in any case, keys in any
// order, host and namespace not counted).
std::string pathKey(const Pegasus::CIMObjectPath& path);

} // namespace cimhost

#endif
