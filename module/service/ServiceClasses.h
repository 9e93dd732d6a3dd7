#ifndef SCS_ServiceClasses_h
#define SCS_ServiceClasses_h

#include "CimNames.h"

PEGASUS_NAMESPACE_BEGIN

// The two class names the service answers for, compared as CIM names (ignoring case).
inline bool isServiceClass(const CIMName& className)
{
    return className == CLASS_CIM_StorageConfigurationService.getCIMName() ||
           className == CLASS_Zarvo_StorageConfigurationService.getCIMName();
}

PEGASUS_NAMESPACE_END

#endif
