#include "IoThreads.h"

#include <algorithm>

namespace cimhost
{

namespace
{

using Clock = std::chrono::steady_clock;

// The relief thread checks the serving I/O threads every PATIENCE while requests are served on
// them, and sleeps until the next one after this many checks found none.
const int CHECKS_BEFORE_PARKING = 100;

// An I/O thread that read no request for this long is not busy with others.
const std::chrono::microseconds QUIET_TIME(1000);

std::int64_t ticksNow()
{
    return Clock::now().time_since_epoch().count();
}

} // namespace

struct IoThreads::Slot
{
    explicit Slot(IoThreads& owner) : owner(owner) {}

    IoThreads& owner;
    std::atomic<std::int64_t> servingSince{0}; // steady-clock ticks; 0 while not serving
    // Touched by the slot's own thread only.
    std::int64_t lastRequestAt = 0;    // steady-clock ticks
    const void* lastRequest = nullptr; // the connection of the last request this thread read
};

IoThreads::Slot*& IoThreads::currentSlot()
{
    thread_local Slot* slot = nullptr;
    return slot;
}

IoThreads::IoThreads(boost::asio::io_context& io, size_t count) : _io(io)
{
    for (size_t i = 0; i < std::max<size_t>(1, count); ++i)
        _slots.push_back(std::make_unique<Slot>(*this));
}

IoThreads::~IoThreads()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _shutdown = true;
    }
    _changed.notify_all();
    if (_relief.joinable()) _relief.join();
    for (std::thread& thread : _threads)
        thread.join();
}

void IoThreads::run()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _running = _slots.size();
    for (auto& slot : _slots)
        _threads.emplace_back([this, &slot] { runIoThread(*slot); });
    _relief = std::thread([this] { runRelief(); });
    _changed.wait(lock, [this] { return _running == 0 || (_io.stopped() && _running <= servingCount()); });
    if (_running == 0)
    {
        for (std::thread& thread : _threads)
            thread.join();
        _threads.clear();
    }
    if (_failure) std::rethrow_exception(_failure);
}

bool IoThreads::beginServing(const void* connection, bool othersInService)
{
    Slot* slot = currentSlot();
    if (!slot || &slot->owner != this) return false; // a worker or the relief thread
    // Requests of several connections in quick succession are spread over the workers. A lone
    // client that sends its next request as soon as it has the answer is served here.
    const std::int64_t now = ticksNow();
    const bool quiet =
        now - slot->lastRequestAt > std::chrono::duration_cast<Clock::duration>(QUIET_TIME).count();
    const bool serveHere = !othersInService && (quiet || slot->lastRequest == connection);
    slot->lastRequestAt = now;
    slot->lastRequest = connection;
    if (!serveHere) return false;
    slot->servingSince = now;
    // Paired with runRelief: either it sees this request or this sees it parked and wakes it.
    if (_reliefParked)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _reliefParked = false;
        _changed.notify_all();
    }
    return true;
}

void IoThreads::endServing()
{
    currentSlot()->servingSince = 0;
}

void IoThreads::recordFailure()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_failure) _failure = std::current_exception();
    _io.stop();
}

void IoThreads::runIoThread(Slot& slot)
{
    currentSlot() = &slot;
    try
    {
        _io.run();
    }
    catch (...)
    {
        recordFailure();
    }
    currentSlot() = nullptr;
    std::lock_guard<std::mutex> lock(_mutex);
    --_running;
    _changed.notify_all();
}

void IoThreads::runRelief()
{
    std::unique_lock<std::mutex> lock(_mutex);
    int quietChecks = 0;
    while (!_shutdown)
    {
        if (_io.stopped() || quietChecks >= CHECKS_BEFORE_PARKING)
        {
            _reliefParked = true;
            if (_io.stopped() || servingCount() == 0)
                _changed.wait(lock, [this] { return !_reliefParked || _shutdown; });
            _reliefParked = false;
            quietChecks = 0;
            continue;
        }
        _changed.wait_for(lock, PATIENCE);
        if (servingCount() == 0)
        {
            ++quietChecks;
            continue;
        }
        quietChecks = 0;
        lock.unlock();
        // Runs the loop while a request holds its I/O thread; what this thread reads goes to
        // the workers (beginServing says no here).
        try
        {
            while (someoneServingLongerThan(PATIENCE) && !_io.stopped())
                _io.run_one_for(PATIENCE);
        }
        catch (...)
        {
            recordFailure();
        }
        lock.lock();
        _changed.notify_all(); // run() may be waiting for a stopped loop to be left
    }
}

bool IoThreads::someoneServingLongerThan(Clock::duration patience) const
{
    const std::int64_t since = ticksNow() - patience.count();
    for (const auto& slot : _slots)
    {
        const std::int64_t started = slot->servingSince;
        if (started != 0 && started <= since) return true;
    }
    return false;
}

size_t IoThreads::servingCount() const
{
    size_t serving = 0;
    for (const auto& slot : _slots)
        serving += slot->servingSince != 0;
    return serving;
}

} // namespace cimhost
