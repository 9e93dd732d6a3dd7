// The objects of an open pull enumeration as its providers deliver them. The provider call runs
// on a thread of its own (FeedProducers) and encodes each object there, as the answer shows it;
// the delivery then waits whenever the feed holds its window (a number of bytes, so that what a
// context holds does not grow with the objects' size). A pull takes the objects as they are made
// and hands them on to its answer, which goes out while the providers make the rest. So an
// enumeration context holds a window of the result, encoded, never a whole chunk of it; the
// providers fill the window while the client reads the last chunk.
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
#include <vector>

#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMStatusCode.h>

#include "ResultShaping.h"
#include "ResultSinks.h"

namespace cimhost
{

class EnumerationFeed : public ResultSink
{
public:
    struct Limits
    {
        std::size_t windowBytes = 1024 * 1024;    // encoded objects held, one object at least
        std::chrono::milliseconds patience{1000}; // how long a delivery waits for room
        std::size_t maxHeldByAll = 0;             // the objects of every feed together
    };

    // How a pull ended.
    enum class Taken
    {
        More,          // the enumeration goes on
        EndOfSequence, // every object has been taken
        Unsent         // the answer could not go on (the client left): the objects taken are lost
    };

    // heldByAll counts the objects of every feed, and must outlive the feed.
    EnumerationFeed(const Limits& limits, std::atomic<std::size_t>& heldByAll);
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

    // The pulls' side. Appends up to `count` objects to out as they are made, calling
    // out.elementDone() after each batch, and then waits until it is known whether any object
    // follows (so a count of 0, an Open's, learns whether there is anything at all, or an error).
    // Throws the providers' failure as CIMException when it comes before any object of this pull;
    // a failure after some ends the pull early, and the next pull throws it.
    Taken take(std::uint32_t count, AnswerOutput& out);
    // No pull will come any more: a waiting delivery returns, and what follows is dropped.
    void cancel();
    // True once a delivery ran out of patience: the feed no longer bounds what it holds.
    bool gathering() const;

    // Objects delivered and not yet taken.
    std::size_t held() const;

private:
    // The pull waiting for `wanted` objects has something to do (with the lock held).
    bool ready(std::size_t wanted) const;
    // Waits for room for one more object; false when it is to be dropped (with the lock held).
    bool room(std::unique_lock<std::mutex>& lock);
    void push(const std::string& element);
    // Moves up to `count` objects into batch, in blocks (with the lock held).
    std::size_t moveOut(std::size_t count, std::vector<std::string>& batch);
    void dropAll();  // with the lock held
    void wakePull(); // with the lock held

    mutable std::mutex _mutex;
    std::condition_variable _taken;    // a pull took objects, or the feed was cancelled
    std::condition_variable _produced; // objects arrived, or the providers are done
    const Limits _limits;
    std::atomic<std::size_t>& _heldByAll;
    // The objects ready, one element after the other, in blocks of about a chunk of the answer
    // (see take()): a pull hands whole blocks on, and no buffer grows by copying what it holds.
    struct Block
    {
        std::string text;
        std::size_t objects = 0;
    };
    std::deque<Block> _blocks;
    std::deque<std::size_t> _sizes; // of each object's element, in order
    std::size_t _heldBytes = 0;
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
    // Waits at most `limit` for every thread to end; false if some still run.
    bool waitForAll(std::chrono::milliseconds limit);
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
