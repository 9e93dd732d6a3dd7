// Finding the objects a command names: pools and volumes by ID or element name, jobs by ID, and
// the storage configuration service. Nothing found, or a name that fits several, is
// Failure(ExitRefused).
#ifndef SCSCTL_Lookup_h
#define SCSCTL_Lookup_h

#include <string>

#include <Pegasus/Common/CIMInstance.h>

#include "CimClient.h"

namespace scsctl
{

Pegasus::CIMInstance findPool(CimClient& client, const std::string& idOrName);
// The pool volumes are made in when none is named: the one pool that is not primordial.
Pegasus::CIMInstance basePool(CimClient& client);
Pegasus::CIMInstance findVolume(CimClient& client, const std::string& idOrName);
Pegasus::CIMInstance findJob(CimClient& client, const std::string& id);
Pegasus::CIMObjectPath configurationService(CimClient& client);
Pegasus::CIMObjectPath jobPath(const std::string& id);

} // namespace scsctl

#endif
