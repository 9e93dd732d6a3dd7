// The open enumerations of the pull operations: what each still has to deliver, whose it is and
// when it expires. Bounded in number; an expired context is freed by the next pull operation that
// looks at the table. A context taken for a pull is out of the table until given back, so two
// pulls on one context cannot run at once (the second finds no such context). Each context's
// providers deliver into its feed on a thread of their own (see EnumerationFeed.h).
#ifndef CIMHOST_EnumerationContexts_h
#define CIMHOST_EnumerationContexts_h

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>

#include <Pegasus/Common/CIMName.h>

#include "EnumerationFeed.h"

namespace cimhost
{

struct PullLimits
{
    std::uint32_t defaultTimeoutSeconds = 30; // OperationTimeout NULL
    std::uint32_t maxTimeoutSeconds = 300;    // larger ones, and 0 (no timeout), are refused
    std::size_t maxContexts = 64;             // open at once, all users together
    std::size_t maxHeldObjects = 200000;      // objects waiting in them, all together
    // How long a provider's delivery waits for a pull to make room (see EnumerationFeed.h).
    std::chrono::milliseconds deliveryPatience{1000};
    // The encoded objects a context holds while its client pulls (one object at least): its
    // share of windowBytesOfAll among the contexts open when it opens, within these bounds. The
    // most is less than a chunk of 1,000 volumes (2.2 MB) but keeps the providers busy between
    // two pulls of a lone client on the same machine (with 256 KiB it pulled a quarter fewer);
    // many clients at once are served in turn, and their windows fill while they wait.
    std::size_t windowBytes = 1024 * 1024;
    std::size_t leastWindowBytes = 256 * 1024;
    std::size_t windowBytesOfAll = 8 * 1024 * 1024;
};

// What an open enumeration has still to deliver: its feed. The feed is cancelled when the last
// holder of the result lets it go (closed, expired, ended, or the host shut down), which lets its
// provider calls return.
struct PendingResult
{
    enum Kind
    {
        InstancesWithPath,
        InstancePaths
    };
    Kind kind = InstancesWithPath;
    Pegasus::CIMNamespaceName nameSpace;
    std::shared_ptr<EnumerationFeed> feed;

    PendingResult() = default;
    PendingResult(PendingResult&& other) noexcept { swap(other); }
    PendingResult& operator=(PendingResult&& other) noexcept
    {
        PendingResult moved(std::move(other));
        swap(moved);
        return *this;
    }
    PendingResult(const PendingResult&) = delete;
    PendingResult& operator=(const PendingResult&) = delete;
    ~PendingResult()
    {
        if (feed) feed->cancel();
    }

    void swap(PendingResult& other) noexcept
    {
        std::swap(kind, other.kind);
        std::swap(nameSpace, other.nameSpace);
        feed.swap(other.feed);
    }
};

class EnumerationContexts
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit EnumerationContexts(const PullLimits& limits, Clock clock = &std::chrono::steady_clock::now);
    // Drops every context and waits for their providers to return.
    ~EnumerationContexts();

    const PullLimits& limits() const { return _limits; }

    // The timeout an Open asks for, checked: null (not given) is the default; 0 and more than the
    // maximum are CIM_ERR_INVALID_OPERATION_TIMEOUT.
    std::uint32_t checkedTimeout(const std::uint32_t* requested) const;

    // Runs produce on a thread of its own, delivering into a new feed that holds at most the
    // window of a context (see PullLimits). CIM_ERR_SERVER_LIMITS_EXCEEDED when too many
    // enumerations are still being made (closed ones included, until their providers return).
    PendingResult produce(PendingResult::Kind kind, const Pegasus::CIMNamespaceName& nameSpace,
                          std::function<void(ResultSink&)> produce);

    // A new context of the owner, taken by the Open that asks for it (which gives its result
    // back, or releases it); its name, which no client can guess. CIM_ERR_SERVER_IS_SHUTTING_DOWN
    // once shutDown() was called; CIM_ERR_SERVER_LIMITS_EXCEEDED when every context is open.
    std::string open(const std::string& owner, std::uint32_t timeoutSeconds);

    // Takes the context out for a pull. CIM_ERR_INVALID_ENUMERATION_CONTEXT when there is no such
    // context: unknown, expired, closed, being pulled, or another user's.
    PendingResult take(const std::string& name, const std::string& owner);
    // Puts a taken context back; its timeout starts again.
    void giveBack(const std::string& name, PendingResult result);
    // Forgets a taken context: it has ended (or was closed while taken).
    void release(const std::string& name);

    // Drops every context; from now on every call throws CIM_ERR_SERVER_IS_SHUTTING_DOWN.
    void shutDown();
    // After shutDown() and once no pull runs: waits at most `limit` for the providers of the
    // dropped contexts to return; false if some still run.
    bool awaitProviders(std::chrono::milliseconds limit) { return _producers.waitForAll(limit); }

    // Contexts held, taken ones included (expired ones are freed first).
    std::size_t size();

private:
    struct Entry
    {
        std::string owner;
        std::uint32_t timeoutSeconds = 0;
        std::chrono::steady_clock::time_point deadline;
        bool taken = false;
        PendingResult result;
    };

    void requireRunning() const;
    void checkRoom(); // with the lock held
    void expire(std::chrono::steady_clock::time_point now);

    PullLimits _limits;
    std::atomic<std::size_t> _heldByAll{0}; // by the feeds, which it outlives
    FeedProducers _producers; // after the entries in destruction: their feeds are cancelled first
    Clock _clock;
    std::mutex _mutex;
    std::map<std::string, Entry> _entries;
    std::mt19937_64 _random;
    std::uint64_t _opened = 0;
    bool _shutDown = false;
};

} // namespace cimhost

#endif
