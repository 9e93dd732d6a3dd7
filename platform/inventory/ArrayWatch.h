// What the array's indication provider watches between enableIndications and disableIndications:
// it hears of every engine change (as an engine observer) and of every event the array publishes
// (as an event listener), compares the jobs, volumes, settings, pools and drives with what it saw
// last, and delivers an indication for each difference, in order, through the server's handler.
//
// The comparison uses the instances GetInstance serves, so an indication's SourceInstance and
// PreviousInstance are what a client reading the instance saw. A job's progress alone is told at
// most every PROGRESS_INTERVAL (of wall time) per job; its other changes at once.
//
// Threads: whichever thread changed the engine (or published an event) does the comparison, one
// thread at a time; a thread that finds another comparing leaves the work to it. When the engine's
// clock moves by itself, a ticker thread reads the engine while jobs run (every PROGRESS_INTERVAL)
// or when a scheduled start or a job's removal is due, so that nothing waits for a client's call;
// with no job running or due it sleeps. A manual clock (tests) moves only when a test moves it,
// so there is no ticker then.
#ifndef INVENTORY_ArrayWatch_h
#define INVENTORY_ArrayWatch_h

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/ResponseHandler.h>
#include <KVELEngine.h>
#include <SMIEventServices.h>

#include "IndicationInstances.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class ArrayWatch : public KVELEngineObserver,
                   public SMIEventListener,
                   public std::enable_shared_from_this<ArrayWatch>
{
public:
    static const MPU_TIME PROGRESS_INTERVAL = 250000; // microseconds of wall time

    ArrayWatch(KVELEngine& engine, IndicationResponseHandler& handler);
    ~ArrayWatch() override;

    // Registers with the engine and the event service and takes what exists as the baseline (no
    // indications for it).
    void start();
    // Unregisters and waits for a delivery under way; nothing is delivered once it returns.
    void stop();

    void engineChanged(bool recordsChanged, MPU_TIME engineTime) override;
    void eventPublished(const SMIEventRecord& event) override;

private:
    struct Seen
    {
        CIMInstance instance;
        MPU_TIME toldAt = 0; // jobs: when the instance was last told
    };
    typedef std::map<Uint32, Seen> SeenMap;

    // Runs comparisons until no thread has asked for another (the caller has set _comparing).
    void _compareFromHere();
    // One comparison at the engine's present time: appends the indications.
    void _compare(std::vector<CIMIndication>& out);
    void _compareJobs(MPU_TIME now, std::vector<CIMIndication>& out, std::vector<CIMIndication>& alerts);
    void _compareElements(SeenMap& seen, const class ElementKind& kind, MPU_TIME now,
                          std::vector<CIMIndication>& out);
    void _compareDrives(MPU_TIME now, std::vector<CIMIndication>& alerts);
    void _deliver(const std::vector<CIMIndication>& indications);
    void _tick();

    KVELEngine& _engine;
    const MPU_TIME _progressInterval; // in engine time
    const Uint32 _timeScale;
    const bool _clockMovesByItself;

    // Guarded by _mutex.
    std::mutex _mutex;
    bool _comparing = false;
    bool _again = false;
    bool _stopping = false;
    MPU_TIME _lastComparison = 0;
    MPU_TIME _wakeIn = 0; // engine microseconds until the ticker should read the engine; 0: idle
    std::vector<SMIEventRecord> _events;
    std::condition_variable _wake;

    // Only the comparing thread touches these.
    bool _baselineTaken = false;
    MPU_TIME _wakeInFound = 0;
    IndicationFactory _factory;
    SeenMap _jobs, _volumes, _settings, _pools;
    std::map<Uint32, Uint32> _driveStates;

    // Guarded by _deliveryMutex: null once stopped.
    std::mutex _deliveryMutex;
    IndicationResponseHandler* _handler;

    std::thread _ticker;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
