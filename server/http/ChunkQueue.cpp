#include "ChunkQueue.h"

namespace cimhost
{

bool ChunkQueue::push(std::vector<std::string> pieces, std::chrono::steady_clock::duration patience,
                      bool& wakeWriter)
{
    wakeWriter = false;
    std::unique_lock<std::mutex> lock(_mutex);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // One push may pass the bound, so that a piece larger than it still goes.
    if (!_room.wait_until(lock, deadline, [&] { return _failed || _heldBytes < _maxBytes; })) _failed = true;
    if (_failed || _closed) return false;
    for (std::string& bytes : pieces)
    {
        _heldBytes += bytes.size();
        _queued.push_back(std::move(bytes));
    }
    if (!_writerBusy) wakeWriter = _writerBusy = true;
    return true;
}

void ChunkQueue::close(bool complete, bool& wakeWriter)
{
    std::lock_guard<std::mutex> lock(_mutex);
    wakeWriter = false;
    if (_closed) return;
    _closed = true;
    _complete = complete;
    if (!_writerBusy) wakeWriter = _writerBusy = true;
}

ChunkQueue::Next ChunkQueue::take(std::vector<std::string>& batch)
{
    batch.clear();
    std::lock_guard<std::mutex> lock(_mutex);
    if (_failed)
    {
        _queued.clear();
        _writerBusy = false;
        return Next::Ended;
    }
    if (_queued.empty())
    {
        _writerBusy = false;
        return _closed ? Next::Ended : Next::Idle;
    }
    for (std::string& bytes : _queued)
        batch.push_back(std::move(bytes));
    _queued.clear();
    _writerBusy = true;
    return Next::Bytes;
}

void ChunkQueue::written(size_t bytes)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _heldBytes -= bytes < _heldBytes ? bytes : _heldBytes;
    }
    _room.notify_all();
}

void ChunkQueue::fail()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _failed = true;
    }
    _room.notify_all();
}

bool ChunkQueue::failed() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _failed;
}

bool ChunkQueue::complete() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _complete && !_failed;
}

} // namespace cimhost
