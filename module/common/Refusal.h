// Operations a provider does not serve throw CIMNotSupportedException with their qualified name,
// inside the catch ladder like every other failure.
#ifndef SCS_Refusal_h
#define SCS_Refusal_h

#include "CatchLadder.h"

PEGASUS_NAMESPACE_BEGIN

inline void refuseInLadder(const LadderSite& site, const char* qualifiedName)
{
    runInCatchLadder(site, [qualifiedName] { throw CIMNotSupportedException(qualifiedName); });
}

PEGASUS_NAMESPACE_END

#endif
