#include "EnumerationFeed.h"

#include <algorithm>
#include <exception>
#include <thread>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/XmlWriter.h>

#include "StreamedResponse.h"

namespace cimhost
{

namespace
{

// A little more than the chunks of a streamed answer (ChunkedCimAnswer.h), so that each full
// block goes out as one chunk of its own.
const std::size_t BLOCK_BYTES = 64 * 1024;

} // namespace

EnumerationFeed::EnumerationFeed(const Limits& limits, std::atomic<std::size_t>& heldByAll)
    : _limits(limits), _heldByAll(heldByAll)
{
}

EnumerationFeed::~EnumerationFeed()
{
    _heldByAll -= _sizes.size();
}

bool EnumerationFeed::room(std::unique_lock<std::mutex>& lock)
{
    if (!_gathering &&
        !_taken.wait_for(lock, _limits.patience,
                         [&] { return _cancelled || _sizes.empty() || _heldBytes < _limits.windowBytes; }))
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

void EnumerationFeed::push(const std::string& element)
{
    std::unique_lock<std::mutex> lock(_mutex);
    if (!room(lock)) return;
    if (_blocks.empty() || _blocks.back().text.size() >= BLOCK_BYTES)
    {
        _blocks.emplace_back();
        _blocks.back().text.reserve(BLOCK_BYTES + BLOCK_BYTES / 8);
    }
    _blocks.back().text += element;
    ++_blocks.back().objects;
    _sizes.push_back(element.size());
    _heldBytes += element.size();
    wakePull();
}

// Encoded before the lock is taken: the pulls go on meanwhile. The scratch text keeps its room
// from one object to the next.
void EnumerationFeed::object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                             const ResultFilter& shown)
{
    if (!delivered.isInstance())
    {
        fail(Pegasus::CIM_ERR_FAILED, "a provider delivered a class where instances were asked for");
        return;
    }
    thread_local std::string element;
    element.clear();
    ShownElements elements;
    elements.includeQualifiers = shown.includeQualifiers;
    elements.includeClassOrigin = shown.includeClassOrigin;
    if (!shown.propertyList.isNull()) elements.propertyList = &shown.propertyList;
    appendShownInstanceWithPath(element, Pegasus::CIMConstInstance(delivered), path, elements);
    push(element);
}

void EnumerationFeed::path(const Pegasus::CIMObjectPath& path)
{
    thread_local std::string element;
    element.clear();
    Pegasus::XmlWriter::appendInstancePathElement(element, path);
    push(element);
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

// A pull is woken when it has a batch worth taking, not at every object: each wake-up is a switch
// of threads.
void EnumerationFeed::wakePull()
{
    if (_pullWants != 0 && ready(_pullWants)) _produced.notify_one();
}

bool EnumerationFeed::ready(std::size_t wanted) const
{
    return _finished || _sizes.size() >= wanted || (!_sizes.empty() && _heldBytes >= _limits.windowBytes / 4);
}

std::size_t EnumerationFeed::moveOut(std::size_t count, std::vector<std::string>& batch)
{
    const std::size_t n = std::min(count, _sizes.size());
    for (std::size_t left = n; left > 0;)
    {
        Block& front = _blocks.front();
        const std::size_t objects = std::min(left, front.objects);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < objects; ++i)
            bytes += _sizes[i];
        _sizes.erase(_sizes.begin(), _sizes.begin() + std::ptrdiff_t(objects));
        _heldBytes -= bytes;
        left -= objects;
        if (objects == front.objects)
        {
            batch.push_back(std::move(front.text));
            _blocks.pop_front();
        }
        else
        {
            // The chunk ends within the block: the rest stays for the next pull.
            batch.push_back(front.text.substr(0, bytes));
            front.text.erase(0, bytes);
            front.objects -= objects;
        }
    }
    _heldByAll -= n;
    _taken.notify_all();
    return n;
}

EnumerationFeed::Taken EnumerationFeed::take(std::uint32_t count, AnswerOutput& out)
{
    std::vector<std::string> batch;
    std::size_t sent = 0;
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;)
    {
        // The rest of the chunk, and one more to learn whether anything follows it.
        const std::size_t wanted = std::size_t(count) - sent + 1;
        _pullWants = wanted;
        _produced.wait(lock, [&] { return ready(wanted); });
        _pullWants = 0;
        if (sent == count || _sizes.empty()) break;
        sent += moveOut(count - sent, batch);
        // The answer is written without the lock: the providers go on meanwhile. An answer that
        // has just handed its text on takes a block's buffer instead of a copy.
        lock.unlock();
        bool going = true;
        for (std::string& block : batch)
        {
            if (out.text.empty())
                out.text.swap(block);
            else
                out.text += block;
            going = out.elementDone();
            if (!going) break;
        }
        batch.clear();
        lock.lock();
        if (!going) return Taken::Unsent;
    }
    if (sent == 0 && _sizes.empty() && _failure)
        throw Pegasus::CIMException(_failure->first, _failure->second.c_str());
    return _finished && !_failure && _sizes.empty() ? Taken::EndOfSequence : Taken::More;
}

void EnumerationFeed::dropAll()
{
    _heldByAll -= _sizes.size();
    _blocks.clear();
    _sizes.clear();
    _heldBytes = 0;
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
    return _sizes.size();
}

FeedProducers::~FeedProducers()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _ended.wait(lock, [&] { return _running == 0; });
}

bool FeedProducers::waitForAll(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(_mutex);
    return _ended.wait_for(lock, limit, [&] { return _running == 0; });
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
