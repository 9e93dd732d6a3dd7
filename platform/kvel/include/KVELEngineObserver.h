// Someone who wants to know when the array changes, without asking it over and over: an
// indication provider, a server's monitor. See KVELEngine::addObserver.
#ifndef KVEL_KVELEngineObserver_h
#define KVEL_KVELEngineObserver_h

#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELEngineObserver
{
public:
    virtual ~KVELEngineObserver();

    // After an engine call that changed the array (recordsChanged: a record made, changed or
    // removed, a task started or ended, a fault applied) or that moved the tasks on to a later
    // engine time (their progress may have changed; engineTime is that time). Called on the
    // thread that made the call, after the engine's lock is released, so it may call the engine;
    // what those calls change is reported to it once it has returned, not from within it.
    virtual void engineChanged(bool recordsChanged, MPU_TIME engineTime) = 0;
};

PEGASUS_NAMESPACE_END

#endif
