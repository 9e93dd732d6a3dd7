// The open enumerations of the pull operations: what each still has to deliver, whose it is and
// when it expires. Bounded in number; an expired context is freed by the next pull operation that
// looks at the table. A context taken for a pull is out of the table until given back, so two
// pulls on one context cannot run at once (the second finds no such context).
#ifndef CIMHOST_EnumerationContexts_h
#define CIMHOST_EnumerationContexts_h

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <utility>

#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>

namespace cimhost
{

struct PullLimits
{
    std::uint32_t defaultTimeoutSeconds = 30; // OperationTimeout NULL
    std::uint32_t maxTimeoutSeconds = 300;    // larger ones, and 0 (no timeout), are refused
    std::size_t maxContexts = 64;             // open at once, all users together
    std::size_t maxHeldObjects = 200000;      // objects waiting in them, all together
};

// The objects an enumeration has still to deliver, in order. Delivered ones are released at once.
struct PendingResult
{
    enum Kind
    {
        InstancesWithPath,
        InstancePaths
    };
    Kind kind = InstancesWithPath;
    Pegasus::CIMNamespaceName nameSpace;
    Pegasus::Array<Pegasus::CIMInstance> instances;
    Pegasus::Array<Pegasus::CIMObjectPath> paths;
    Pegasus::Uint32 next = 0;

    Pegasus::Uint32 size() const { return kind == InstancesWithPath ? instances.size() : paths.size(); }
    std::size_t remaining() const { return finished() ? 0 : size() - next; }
    // Pegasus arrays share their items on copy and copy them all on the next change: a result
    // changes hands by swapping, so that a pull never copies what remains.
    void swap(PendingResult& other)
    {
        std::swap(kind, other.kind);
        std::swap(nameSpace, other.nameSpace);
        instances.swap(other.instances);
        paths.swap(other.paths);
        std::swap(next, other.next);
    }
    bool finished() const { return next >= size(); }
};

class EnumerationContexts
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit EnumerationContexts(const PullLimits& limits, Clock clock = &std::chrono::steady_clock::now);

    const PullLimits& limits() const { return _limits; }

    // The timeout an Open asks for, checked: null (not given) is the default; 0 and more than the
    // maximum are CIM_ERR_INVALID_OPERATION_TIMEOUT.
    std::uint32_t checkedTimeout(const std::uint32_t* requested) const;

    // CIM_ERR_SERVER_IS_SHUTTING_DOWN once shutDown() was called; CIM_ERR_SERVER_LIMITS_EXCEEDED
    // when no context can be opened. Called before an Open does its work.
    void requireRoom();

    // Keeps the result as a new context of the owner; its name, which no client can guess.
    // Throws as requireRoom, and CIM_ERR_SERVER_LIMITS_EXCEEDED when the objects it leaves would
    // take the objects held over the maximum.
    std::string open(const std::string& owner, std::uint32_t timeoutSeconds, PendingResult result);

    // Takes the context out for a pull. CIM_ERR_INVALID_ENUMERATION_CONTEXT when there is no such
    // context: unknown, expired, closed, being pulled, or another user's.
    PendingResult take(const std::string& name, const std::string& owner);
    // Puts a taken context back; its timeout starts again.
    void giveBack(const std::string& name, PendingResult result);
    // Forgets a taken context: it has ended (or was closed while taken).
    void release(const std::string& name);

    // Drops every context; from now on every call throws CIM_ERR_SERVER_IS_SHUTTING_DOWN.
    void shutDown();

    // Contexts held, taken ones included (expired ones are freed first).
    std::size_t size();

private:
    struct Entry
    {
        std::string owner;
        std::uint32_t timeoutSeconds = 0;
        std::size_t held = 0; // objects still to deliver, counted while the context is taken too
        std::chrono::steady_clock::time_point deadline;
        bool taken = false;
        PendingResult result;
    };

    void requireRunning() const;
    void checkRoom(); // with the lock held
    std::size_t heldObjects() const;
    void expire(std::chrono::steady_clock::time_point now);

    PullLimits _limits;
    Clock _clock;
    std::mutex _mutex;
    std::map<std::string, Entry> _entries;
    std::mt19937_64 _random;
    std::uint64_t _opened = 0;
    bool _shutDown = false;
};

} // namespace cimhost

#endif
