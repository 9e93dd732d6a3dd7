#include "EnumerationFeed.h"

#include <algorithm>
#include <exception>
#include <thread>

#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/Exception.h>

namespace cimhost
{

EnumerationFeed::EnumerationFeed(std::size_t window, const Limits& limits,
                                 std::atomic<std::size_t>& heldByAll)
    : _window(std::clamp<std::size_t>(window, 1, std::max<std::size_t>(limits.maxWindow, 1))),
      _limits(limits), _heldByAll(heldByAll)
{
}

EnumerationFeed::~EnumerationFeed()
{
    _heldByAll -= _paths.size();
}

bool EnumerationFeed::room(std::unique_lock<std::mutex>& lock)
{
    if (!_gathering &&
        !_taken.wait_for(lock, _limits.patience, [&] { return _cancelled || _paths.size() < _window; }))
        _gathering = true;
    if (_cancelled || _overflowed) return false;
    if (_gathering && _heldByAll.load() >= _limits.maxHeldByAll)
    {
        _overflowed = true;
        _failure.emplace(Pegasus::CIM_ERR_SERVER_LIMITS_EXCEEDED,
                         "the open enumerations hold " + std::to_string(_limits.maxHeldByAll) +
                             " objects, the most they may; pull them, or close some");
        return false;
    }
    ++_heldByAll;
    return true;
}

void EnumerationFeed::object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                             const ResultFilter& shown)
{
    std::unique_lock<std::mutex> lock(_mutex);
    if (!room(lock)) return;
    if (!_shown) _shown = shown;
    _objects.push_back(delivered);
    _paths.push_back(path);
    wakePull();
}

void EnumerationFeed::path(const Pegasus::CIMObjectPath& path)
{
    std::unique_lock<std::mutex> lock(_mutex);
    if (!room(lock)) return;
    _paths.push_back(path);
    wakePull();
}

void EnumerationFeed::finish()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _finished = true;
    _produced.notify_all();
}

void EnumerationFeed::fail(Pegasus::CIMStatusCode code, const std::string& description)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_failure) _failure.emplace(code, description);
    _finished = true;
    _produced.notify_all();
}

// A pull is woken when its chunk is ready, not at every object: each wake-up is a switch of threads.
void EnumerationFeed::wakePull()
{
    if (_pullWants != 0 && ready(_pullWants)) _produced.notify_one();
}

bool EnumerationFeed::ready(std::size_t wanted) const
{
    return _finished || _paths.size() > wanted || _paths.size() >= _window;
}

bool EnumerationFeed::take(std::uint32_t count, CimResponse& response)
{
    std::deque<Pegasus::CIMObject> objects;
    std::deque<Pegasus::CIMObjectPath> paths;
    ResultFilter shown;
    {
        std::unique_lock<std::mutex> lock(_mutex);
        // The window grows to the largest count asked and one more, so that a whole chunk can be
        // ready and whether anything follows it known: the last chunk then ends the sequence.
        _window = std::min(std::max<std::size_t>(_window, std::size_t(count) + 1), _limits.maxWindow);
        const std::size_t wanted = std::min<std::size_t>(std::max<std::uint32_t>(count, 1), _window);
        _taken.notify_all();
        _pullWants = wanted;
        _produced.wait(lock, [&] { return ready(wanted); });
        _pullWants = 0;
        const std::size_t n = std::min<std::size_t>(count, _paths.size());
        if (n == 0 && _failure) throw Pegasus::CIMException(_failure->first, _failure->second.c_str());
        const std::size_t objectCount = std::min(n, _objects.size());
        objects.insert(objects.end(), std::make_move_iterator(_objects.begin()),
                       std::make_move_iterator(_objects.begin() + objectCount));
        _objects.erase(_objects.begin(), _objects.begin() + objectCount);
        paths.insert(paths.end(), std::make_move_iterator(_paths.begin()),
                     std::make_move_iterator(_paths.begin() + n));
        _paths.erase(_paths.begin(), _paths.begin() + n);
        _heldByAll -= n;
        if (_shown) shown = *_shown;
        _taken.notify_all();
        response.endOfSequence = _finished && !_failure && _paths.empty();
    }
    // Shaped outside the lock, while the providers go on. By now most instances are no longer
    // shared with their provider and are filtered in place, without a copy.
    response.isPull = true;
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (i < objects.size())
        {
            Pegasus::CIMObject& object = objects[i];
            if (Pegasus::CIMHandleAccess::rep(object)->isShared()) object = object.clone();
            object.setPath(paths[i]);
            object.instanceFilter(shown.includeQualifiers, shown.includeClassOrigin, shown.propertyList);
            response.instances.append(Pegasus::CIMInstance(object));
        }
        else
            response.paths.append(paths[i]);
    return response.endOfSequence;
}

void EnumerationFeed::dropAll()
{
    _heldByAll -= _paths.size();
    _objects.clear();
    _paths.clear();
}

void EnumerationFeed::cancel()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _cancelled = true;
    dropAll();
    _taken.notify_all();
}

bool EnumerationFeed::gathering() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _gathering;
}

std::size_t EnumerationFeed::held() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _paths.size();
}

FeedProducers::~FeedProducers()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _ended.wait(lock, [&] { return _running == 0; });
}

void FeedProducers::start(std::shared_ptr<EnumerationFeed> feed, std::function<void(ResultSink&)> produce)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_running >= _maxRunning)
            throw Pegasus::CIMException(Pegasus::CIM_ERR_SERVER_LIMITS_EXCEEDED,
                                        "too many enumerations are still being made; try again shortly");
        ++_running;
    }
    try
    {
        std::thread(
            [this, feed = std::move(feed), produce = std::move(produce)]() mutable
            {
                try
                {
                    produce(*feed);
                    feed->finish();
                }
                catch (const Pegasus::CIMException& e)
                {
                    feed->fail(e.getCode(), static_cast<const char*>(e.getMessage().getCString()));
                }
                catch (const Pegasus::Exception& e)
                {
                    feed->fail(Pegasus::CIM_ERR_FAILED,
                               static_cast<const char*>(e.getMessage().getCString()));
                }
                catch (const std::exception& e)
                {
                    feed->fail(Pegasus::CIM_ERR_FAILED, e.what());
                }
                catch (...)
                {
                    feed->fail(Pegasus::CIM_ERR_FAILED, "unexpected failure");
                }
                // Nothing of the call may outlive the wait of the destructor.
                produce = nullptr;
                feed.reset();
                std::lock_guard<std::mutex> lock(_mutex);
                --_running;
                _ended.notify_all();
            })
            .detach();
    }
    catch (...)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        --_running;
        _ended.notify_all();
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED,
                                    "no thread could be started for the enumeration");
    }
}

} // namespace cimhost
