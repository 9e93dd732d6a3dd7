#include "EnumerationContexts.h"

#include <algorithm>
#include <cstdio>

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

namespace
{

Pegasus::CIMException noSuchContext()
{
    return Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_ENUMERATION_CONTEXT,
                                 "no such enumeration context (unknown, expired, closed or in use)");
}

} // namespace

// Closed contexts whose providers have not returned yet still have a thread: twice the contexts
// leaves room for those without letting a client that opens and closes at once pile up threads.
EnumerationContexts::EnumerationContexts(const PullLimits& limits, Clock clock)
    : _limits(limits), _producers(2 * std::max<std::size_t>(1, limits.maxContexts)), _clock(std::move(clock)),
      _random(std::random_device()())
{
}

EnumerationContexts::~EnumerationContexts()
{
    shutDown();
}

PendingResult EnumerationContexts::produce(PendingResult::Kind kind,
                                           const Pegasus::CIMNamespaceName& nameSpace,
                                           std::function<void(ResultSink&)> produce)
{
    PendingResult result;
    result.kind = kind;
    result.nameSpace = nameSpace;
    EnumerationFeed::Limits limits;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        const std::size_t share = _limits.windowBytesOfAll / std::max<std::size_t>(1, _entries.size());
        limits.windowBytes = std::min(_limits.windowBytes, std::max(_limits.leastWindowBytes, share));
    }
    limits.patience = _limits.deliveryPatience;
    limits.maxHeldByAll = _limits.maxHeldObjects;
    result.feed = std::make_shared<EnumerationFeed>(limits, _heldByAll);
    _producers.start(result.feed, std::move(produce));
    return result;
}

std::uint32_t EnumerationContexts::checkedTimeout(const std::uint32_t* requested) const
{
    if (!requested) return _limits.defaultTimeoutSeconds;
    if (*requested == 0 || *requested > _limits.maxTimeoutSeconds)
        throw Pegasus::CIMException(
            Pegasus::CIM_ERR_INVALID_OPERATION_TIMEOUT,
            ("OperationTimeout must be 1 to " + std::to_string(_limits.maxTimeoutSeconds) + " seconds")
                .c_str());
    return *requested;
}

void EnumerationContexts::requireRunning() const
{
    if (_shutDown)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_SERVER_IS_SHUTTING_DOWN, "the server is shutting down");
}

void EnumerationContexts::expire(std::chrono::steady_clock::time_point now)
{
    for (auto entry = _entries.begin(); entry != _entries.end();)
        if (!entry->second.taken && entry->second.deadline <= now)
            entry = _entries.erase(entry);
        else
            ++entry;
}

void EnumerationContexts::checkRoom()
{
    requireRunning();
    expire(_clock());
    if (_entries.size() >= _limits.maxContexts)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_SERVER_LIMITS_EXCEEDED,
                                    ("all " + std::to_string(_limits.maxContexts) +
                                     " enumeration contexts are open; close one or let it expire")
                                        .c_str());
}

std::string EnumerationContexts::open(const std::string& owner, std::uint32_t timeoutSeconds)
{
    std::lock_guard<std::mutex> lock(_mutex);
    checkRoom();
    // A counter makes the name unique; the random part makes it unguessable.
    char name[48];
    std::snprintf(name, sizeof name, "%016llx.%llu", static_cast<unsigned long long>(_random()),
                  static_cast<unsigned long long>(++_opened));
    Entry& entry = _entries[name];
    entry.owner = owner;
    entry.timeoutSeconds = timeoutSeconds;
    entry.deadline = _clock() + std::chrono::seconds(timeoutSeconds);
    entry.taken = true;
    return name;
}

PendingResult EnumerationContexts::take(const std::string& name, const std::string& owner)
{
    std::lock_guard<std::mutex> lock(_mutex);
    requireRunning();
    expire(_clock());
    const auto found = _entries.find(name);
    if (found == _entries.end() || found->second.taken || found->second.owner != owner) throw noSuchContext();
    found->second.taken = true;
    PendingResult taken;
    taken.swap(found->second.result);
    return taken;
}

void EnumerationContexts::giveBack(const std::string& name, PendingResult result)
{
    std::lock_guard<std::mutex> lock(_mutex);
    const auto found = _entries.find(name);
    if (found == _entries.end()) return; // dropped by shutDown meanwhile
    found->second.taken = false;
    found->second.deadline = _clock() + std::chrono::seconds(found->second.timeoutSeconds);
    found->second.result.swap(result);
}

void EnumerationContexts::release(const std::string& name)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _entries.erase(name);
}

void EnumerationContexts::shutDown()
{
    std::map<std::string, Entry> dropped; // their feeds are cancelled outside the lock
    std::lock_guard<std::mutex> lock(_mutex);
    _shutDown = true;
    dropped.swap(_entries);
}

std::size_t EnumerationContexts::size()
{
    std::lock_guard<std::mutex> lock(_mutex);
    expire(_clock());
    return _entries.size();
}

} // namespace cimhost
