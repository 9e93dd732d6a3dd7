#include "ArrayWatch.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <string>

#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELiPtr.h>
#include <SMIMOBuilders.h>

#include "ElementKind.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{
const Uint16 JOB_STATE_EXCEPTION = 10;

Uint32 timeScaleOf(const KVELClock& clock)
{
    const KVELScaledClock* scaled = dynamic_cast<const KVELScaledClock*>(&clock);
    return scaled && scaled->factor() > 1 ? scaled->factor() : 1;
}

Uint64 wallMicros()
{
    return Uint64(std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count());
}

std::string text(const String& s)
{
    return std::string(static_cast<const char*>(s.getCString()));
}

// The properties whose values differ between the two instances (present in one only included),
// but for `ignored` (null: none).
std::vector<std::string> differing(const CIMInstance& before, const CIMInstance& after, const char* ignored)
{
    std::vector<std::string> names;
    for (Uint32 i = 0; i < after.getPropertyCount(); ++i)
    {
        const CIMConstProperty property = after.getProperty(i);
        if (ignored && String::equalNoCase(property.getName().getString(), ignored)) continue;
        const Uint32 j = before.findProperty(property.getName());
        if (j == PEG_NOT_FOUND || !(before.getProperty(j).getValue() == property.getValue()))
            names.push_back(text(property.getName().getString()));
    }
    for (Uint32 i = 0; i < before.getPropertyCount(); ++i)
        if (after.findProperty(before.getProperty(i).getName()) == PEG_NOT_FOUND)
            names.push_back(text(before.getProperty(i).getName().getString()));
    return names;
}

template <class T> T valueOf(const CIMInstance& instance, const char* name, T fallback)
{
    const Uint32 index = instance.findProperty(CIMName(name));
    if (index == PEG_NOT_FOUND) return fallback;
    const CIMValue value = instance.getProperty(index).getValue();
    if (value.isNull() || value.isArray() || value.getType() != CIMValue(fallback).getType()) return fallback;
    T result = fallback;
    value.get(result);
    return result;
}

bool isFinished(const KVELTask& task)
{
    return task.State == KVELTask::TASK_STATE_COMPLETED || task.State == KVELTask::TASK_STATE_ABORTED ||
           task.State == KVELTask::TASK_STATE_FAILED;
}

// The earlier of two waits, 0 meaning none.
MPU_TIME sooner(MPU_TIME a, MPU_TIME b)
{
    return a == 0 ? b : b == 0 ? a : std::min(a, b);
}

CIMObjectPath arraySystem()
{
    return computerSystems().path(KVELiPtrComputerSystem::makeSystem().getIPtr());
}

Alert alertOf(const SMIEventRecord& event)
{
    Alert alert;
    switch (event.type)
    {
    case EMP_TYPE_ERROR:
        alert.type = ALERT_PROCESSING_ERROR;
        alert.severity = SEVERITY_MAJOR;
        break;
    case EMP_TYPE_WARNING:
        alert.severity = SEVERITY_WARNING;
        break;
    default:
        break;
    }
    std::string description = event.text;
    if (!event.keyValue.empty()) description += " (" + event.keyValue + ")";
    alert.description = String(description.c_str());
    alert.element = arraySystem();
    alert.probableCause = String(("Reported by " + event.operation).c_str());
    alert.eventID = String(std::to_string(event.code).c_str());
    return alert;
}
} // namespace

ArrayWatch::ArrayWatch(KVELEngine& engine, IndicationResponseHandler& handler)
    : _engine(engine), _progressInterval(PROGRESS_INTERVAL * timeScaleOf(engine.clock())),
      _timeScale(timeScaleOf(engine.clock())),
      _clockMovesByItself(dynamic_cast<const KVELManualClock*>(&engine.clock()) == nullptr),
      _factory(wallMicros()), _handler(&handler)
{
}

ArrayWatch::~ArrayWatch()
{
    if (_ticker.joinable()) stop();
}

void ArrayWatch::start()
{
    _engine.addObserver(std::static_pointer_cast<KVELEngineObserver>(shared_from_this()));
    SMIEventServices::addListener(std::static_pointer_cast<SMIEventListener>(shared_from_this()));
    {
        std::unique_lock<std::mutex> lock(_mutex);
        // A change told meanwhile is compared by the thread that compares now, or by this one.
        _wake.wait(lock, [this] { return !_comparing; });
        _comparing = true;
    }
    _compareFromHere();
    if (_clockMovesByItself) _ticker = std::thread(&ArrayWatch::_tick, this);
}

void ArrayWatch::stop()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _wake.notify_all();
    if (_ticker.joinable()) _ticker.join();
    _engine.removeObserver(this);
    SMIEventServices::removeListener(this);
    std::lock_guard<std::mutex> lock(_deliveryMutex);
    _handler = nullptr;
}

void ArrayWatch::engineChanged(bool recordsChanged, MPU_TIME engineTime)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stopping) return;
        // Progress alone is looked at no more often than it may be told.
        if (!recordsChanged && engineTime < _lastComparison + _progressInterval) return;
        if (_comparing)
        {
            _again = true;
            return;
        }
        _comparing = true;
    }
    _compareFromHere();
}

void ArrayWatch::eventPublished(const SMIEventRecord& event)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stopping) return;
        _events.push_back(event);
        if (_comparing)
        {
            _again = true;
            return;
        }
        _comparing = true;
    }
    _compareFromHere();
}

void ArrayWatch::_compareFromHere()
{
    for (;;)
    {
        std::vector<CIMIndication> indications;
        try
        {
            _compare(indications);
        }
        catch (...)
        {
            // An engine that cannot be read now is compared again at its next change; the watch
            // must not be left marked as comparing.
        }
        _deliver(indications);
        std::lock_guard<std::mutex> lock(_mutex);
        if (!_again || _stopping)
        {
            _comparing = false;
            _wake.notify_all();
            return;
        }
        _again = false;
    }
}

void ArrayWatch::_compare(std::vector<CIMIndication>& out)
{
    const MPU_TIME now = _engine.now();
    std::vector<SMIEventRecord> events;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _lastComparison = now;
        events.swap(_events);
    }
    _wakeInFound = 0;
    // Instance changes first, in the order a client would follow them (the job, what it works
    // on, the pool); the alerts they raise after them.
    std::vector<CIMIndication> changes, alerts;
    _compareJobs(now, changes, alerts);
    _compareElements(_settings, storageSettings(), now, changes);
    _compareElements(_volumes, storageVolumes(), now, changes);
    _compareElements(_pools, storagePools(), now, changes);
    _compareDrives(now, alerts);
    // A job's end (or start) is told when it happens, not at the next progress reading.
    MPU_TIME next = 0;
    if (_engine.nextTaskEvent(next)) _wakeInFound = sooner(_wakeInFound, next > now ? next - now : 1);
    if (_baselineTaken) out.insert(out.end(), changes.begin(), changes.end());
    _baselineTaken = true;
    out.insert(out.end(), alerts.begin(), alerts.end());
    for (const SMIEventRecord& event : events)
        out.push_back(_factory.alert(alertOf(event), now));
    std::lock_guard<std::mutex> lock(_mutex);
    _wakeIn = _wakeInFound;
}

void ArrayWatch::_compareJobs(MPU_TIME now, std::vector<CIMIndication>& out,
                              std::vector<CIMIndication>& alerts)
{
    std::set<Uint32> present;
    const Array<Uint32> ids = _engine.enumerateObjects(CLASSID_TASK);
    for (Uint32 i = 0; i < ids.size(); ++i)
    {
        std::unique_ptr<ManagedObject> object(_engine.getObject(CLASSID_TASK, ids[i]));
        const KVELTask* task = dynamic_cast<const KVELTask*>(object.get());
        if (!task) continue; // removed since the listing
        present.insert(ids[i]);
        const CIMInstance job = ConcreteJobInstance(false, task);

        if (task->State == KVELTask::TASK_STATE_RUNNING)
            _wakeInFound = sooner(_wakeInFound, _progressInterval);
        else if (task->State == KVELTask::TASK_STATE_QUEUED && task->Scheduled && task->StartTime > now)
            _wakeInFound = sooner(_wakeInFound, task->StartTime - now);
        else if (isFinished(*task) && task->TimeFinished + task->RetentionTime > now)
            _wakeInFound = sooner(_wakeInFound, task->TimeFinished + task->RetentionTime - now);

        // A failed job is told as an alert after its change: a fault may fail a job in the call
        // that made it, so its first sight may already be the failure.
        const auto alertIfFailed = [&](const CIMInstance* before)
        {
            if (valueOf<Uint16>(job, "JobState", 0) != JOB_STATE_EXCEPTION) return;
            if (before && valueOf<Uint16>(*before, "JobState", 0) == JOB_STATE_EXCEPTION) return;
            Alert alert;
            alert.type = ALERT_PROCESSING_ERROR;
            alert.severity = SEVERITY_MINOR;
            const String error = valueOf<String>(job, "ErrorDescription", String());
            alert.description =
                String("Job ") + valueOf<String>(job, "ElementName", String()) + String(" failed: ") + error;
            alert.element = job.getPath();
            alert.probableCause = error;
            alert.eventID = String(("KVEL " + std::to_string(task->ErrorCode)).c_str());
            alerts.push_back(_factory.alert(alert, now));
        };

        auto seen = _jobs.find(ids[i]);
        if (seen == _jobs.end())
        {
            out.push_back(_factory.creation(job, now));
            if (_baselineTaken) alertIfFailed(nullptr); // the baseline tells nothing

            _jobs[ids[i]] = Seen{job, now};
            continue;
        }
        const std::vector<std::string> changed = differing(seen->second.instance, job, "ElapsedTime");
        if (changed.empty()) continue;
        if (changed == std::vector<std::string>{"PercentComplete"} &&
            now < seen->second.toldAt + _progressInterval)
        {
            _wakeInFound = sooner(_wakeInFound, seen->second.toldAt + _progressInterval - now);
            continue; // told with a later change
        }
        out.push_back(_factory.modification(job, seen->second.instance, now));
        alertIfFailed(&seen->second.instance);
        seen->second = Seen{job, now};
    }
    for (auto seen = _jobs.begin(); seen != _jobs.end();)
    {
        if (present.count(seen->first))
        {
            ++seen;
            continue;
        }
        out.push_back(_factory.deletion(seen->second.instance, now));
        seen = _jobs.erase(seen);
    }
}

void ArrayWatch::_compareElements(SeenMap& seen, const ElementKind& kind, MPU_TIME now,
                                  std::vector<CIMIndication>& out)
{
    std::set<Uint32> present;
    const Array<Uint32> ids = kind.objectIDs();
    for (Uint32 i = 0; i < ids.size(); ++i)
    {
        CIMInstance instance;
        try
        {
            instance = kind.instance(ids[i], false, CIMPropertyList());
        }
        catch (const CIMObjectNotFoundException&)
        {
            continue; // removed since the listing
        }
        present.insert(ids[i]);
        auto before = seen.find(ids[i]);
        if (before == seen.end())
            out.push_back(_factory.creation(instance, now));
        else if (!differing(before->second.instance, instance, nullptr).empty())
            out.push_back(_factory.modification(instance, before->second.instance, now));
        else
            continue;
        seen[ids[i]] = Seen{instance, now};
    }
    for (auto before = seen.begin(); before != seen.end();)
    {
        if (present.count(before->first))
        {
            ++before;
            continue;
        }
        out.push_back(_factory.deletion(before->second.instance, now));
        before = seen.erase(before);
    }
}

void ArrayWatch::_compareDrives(MPU_TIME now, std::vector<CIMIndication>& out)
{
    const Array<Uint32> ids = _engine.enumerateObjects(CLASSID_DRIVE);
    for (Uint32 i = 0; i < ids.size(); ++i)
    {
        std::unique_ptr<ManagedObject> object(_engine.getObject(CLASSID_DRIVE, ids[i]));
        const KVELDrive* drive = dynamic_cast<const KVELDrive*>(object.get());
        if (!drive) continue;
        auto before = _driveStates.find(ids[i]);
        const bool failedNow = drive->State == KVELDrive::DRIVE_STATE_FAILED &&
                               before != _driveStates.end() &&
                               before->second != KVELDrive::DRIVE_STATE_FAILED;
        _driveStates[ids[i]] = drive->State;
        if (!failedNow) continue;
        Alert alert;
        alert.type = ALERT_DEVICE;
        alert.severity = SEVERITY_MAJOR;
        alert.description = String(
            ("Drive " + drive->SerialNumber + " in slot " + std::to_string(drive->Slot) + " failed").c_str());
        alert.element = diskDrives().path(ids[i]);
        alert.probableCause = String("Drive failure");
        out.push_back(_factory.alert(alert, now));
    }
}

void ArrayWatch::_deliver(const std::vector<CIMIndication>& indications)
{
    if (indications.empty()) return;
    std::lock_guard<std::mutex> lock(_deliveryMutex);
    if (!_handler) return;
    for (const CIMIndication& indication : indications)
    {
        try
        {
            _handler->deliver(indication);
        }
        catch (...)
        {
            // The server's trouble with one indication does not hold back the others.
        }
    }
}

void ArrayWatch::_tick()
{
    std::unique_lock<std::mutex> lock(_mutex);
    while (!_stopping)
    {
        if (_wakeIn == 0)
        {
            _wake.wait(lock);
            continue;
        }
        const auto wall = std::chrono::microseconds(std::max<MPU_TIME>(_wakeIn / _timeScale, 1000));
        if (_wake.wait_for(lock, wall) == std::cv_status::no_timeout) continue; // news: wait afresh
        lock.unlock();
        try
        {
            _engine.enumerateObjects(CLASSID_TASK); // moves the engine on; it tells this watch
        }
        catch (const Exception&)
        {
        }
        lock.lock();
    }
}

} // namespace inventory

PEGASUS_NAMESPACE_END
