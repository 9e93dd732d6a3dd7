// The objects of an open pull enumeration as its providers deliver them. The provider call runs
// on a thread of its own (FeedProducers) and encodes each object there, as the answer shows it;
// the delivery then waits whenever the feed holds its window of objects not yet pulled. Each pull
// takes the encoded objects that are ready and lets the providers go on. So an enumeration
// context holds a window of the result, encoded, never all of it; the providers make and encode
// the next chunk while the client reads the last one.
//
// A provider may hold a lock of its own while it delivers, and another enumeration of the same
// provider would then wait for a client that may never pull. So a delivery waits for room only
// so long (the patience); after that the feed takes everything the provider delivers, as the
// objects of all feeds together stay within a bound, past which the feed fails with
// CIM_ERR_SERVER_LIMITS_EXCEEDED.
#ifndef CIMHOST_EnumerationFeed_h
#define CIMHOST_EnumerationFeed_h

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMStatusCode.h>

#include "CimMessages.h"
#include "ResultShaping.h"
#include "ResultSinks.h"

namespace cimhost
{

class EnumerationFeed : public ResultSink
{
public:
    struct Limits
    {
        std::size_t maxWindow = 1;                // the most objects a pull can widen the window to
        std::chrono::milliseconds patience{1000}; // how long a delivery waits for room
        std::size_t maxHeldByAll = 0;             // the objects of every feed together
    };

    // window: the most objects held at first; a pull asking for more widens it. heldByAll counts
    // the objects of every feed, and must outlive the feed.
    EnumerationFeed(std::size_t window, const Limits& limits, std::atomic<std::size_t>& heldByAll);
    ~EnumerationFeed() override;

    // The providers' side: each object is encoded (VALUE.INSTANCEWITHPATH, or INSTANCEPATH for a
    // path), then waits while the window is full; once the feed is cancelled, deliveries are
    // dropped at once.
    void object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                const ResultFilter& shown) override;
    void path(const Pegasus::CIMObjectPath& path) override;
    // The provider calls have returned, or failed: the pull that reaches the failure answers it.
    void finish();
    void fail(Pegasus::CIMStatusCode code, const std::string& description);

    // The pulls' side. Waits until `count` objects are ready (1 for a count of 0, so that an Open
    // learns whether there is anything at all, or an error), or the providers are done. Then moves
    // up to `count` of them into the response's encoded objects. Returns true when no object is
    // left and the providers have finished. Throws
    // the providers' failure as CIMException once every object delivered before it has been taken.
    bool take(std::uint32_t count, CimResponse& response);
    // No pull will come any more: a waiting delivery returns, and what follows is dropped.
    void cancel();
    // True once a delivery ran out of patience: the feed no longer bounds what it holds.
    bool gathering() const;

    // Objects delivered and not yet taken.
    std::size_t held() const;

private:
    // wanted are ready and whether more follow is known, or no more can come (with the lock held).
    bool ready(std::size_t wanted) const;
    // Waits for room for one more object; false when it is to be dropped (with the lock held).
    bool room(std::unique_lock<std::mutex>& lock);
    void push(const std::string& element);
    void dropAll();  // with the lock held
    void wakePull(); // with the lock held

    mutable std::mutex _mutex;
    std::condition_variable _taken;    // a pull took objects, or the feed was cancelled
    std::condition_variable _produced; // objects arrived, or the providers are done
    std::size_t _window;
    const Limits _limits;
    std::atomic<std::size_t>& _heldByAll;
    std::string _encoded;           // the objects ready, one element after the other
    std::deque<std::size_t> _sizes; // of each object's element
    bool _finished = false;
    std::size_t _pullWants = 0; // what the waiting pull waits for; 0: no pull waits
    bool _cancelled = false;
    bool _gathering = false;
    bool _overflowed = false; // the bound of all feeds was reached: the rest is dropped
    std::optional<std::pair<Pegasus::CIMStatusCode, std::string>> _failure;
};

// The threads the providers of open enumerations deliver on: one a feed, for as long as its
// provider calls run (they return soon after the feed is cancelled, dropping what they deliver).
class FeedProducers
{
public:
    explicit FeedProducers(std::size_t maxRunning) : _maxRunning(maxRunning) {}
    // Waits for every thread (cancel their feeds first).
    ~FeedProducers();
    FeedProducers(const FeedProducers&) = delete;
    FeedProducers& operator=(const FeedProducers&) = delete;

    // Runs produce(feed) on a new thread, then finishes the feed, or fails it with what produce
    // threw. CIM_ERR_SERVER_LIMITS_EXCEEDED when maxRunning threads still run.
    void start(std::shared_ptr<EnumerationFeed> feed, std::function<void(ResultSink&)> produce);

private:
    const std::size_t _maxRunning;
    std::mutex _mutex;
    std::condition_variable _ended;
    std::size_t _running = 0;
};

} // namespace cimhost

#endif
