// Engine tasks end on their own (their retention runs out) or by a client's DeleteTask at any
// moment, also between the moment a provider learns a task ID and the moment it builds the job
// from it. A job that is gone by then is no longer a job: it is left out, never an error.
#ifndef SCS_VanishedTasks_h
#define SCS_VanishedTasks_h

#include <Pegasus/Provider/ProviderException.h>

PEGASUS_NAMESPACE_BEGIN

// Runs deliver(); returns false when it found that the task had ended (the builders then throw
// CIMObjectNotFoundException), true when it delivered.
template <class Deliver> bool deliverUnlessVanished(Deliver&& deliver)
{
    try
    {
        deliver();
        return true;
    }
    catch (const CIMObjectNotFoundException&)
    {
        return false;
    }
}

PEGASUS_NAMESPACE_END

#endif
