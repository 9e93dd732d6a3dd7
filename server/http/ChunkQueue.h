// The bytes of a streamed answer on their way from the thread that makes them to the connection
// that writes them. Bounded: the maker waits while the connection holds too much unsent, so a
// slow reader costs a bounded amount of memory and never an unbounded wait (the wait has a
// limit, after which the answer is given up). Thread-safe; knows nothing of sockets.
#ifndef CIMHOST_ChunkQueue_h
#define CIMHOST_ChunkQueue_h

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace cimhost
{

class ChunkQueue
{
public:
    explicit ChunkQueue(size_t maxBytes) : _maxBytes(maxBytes) {}

    // The maker's side. push() waits while the queue holds maxBytes or more (written or being
    // written), at most `patience`; false when the queue has failed or the wait ran out (the
    // queue then fails). The pieces (a chunk's size line, data and end) are queued together, so
    // that the writer takes them in one write. wakeWriter is set when the writer is idle and
    // must be started.
    bool push(std::vector<std::string> pieces, std::chrono::steady_clock::duration patience,
              bool& wakeWriter);
    // Nothing more will be pushed; complete false: the answer was cut short.
    void close(bool complete, bool& wakeWriter);

    // The writer's side.
    enum class Next
    {
        Bytes, // batch holds what to write now
        Idle,  // nothing queued: the next push or close sets wakeWriter
        Ended  // closed and everything taken
    };
    Next take(std::vector<std::string>& batch);
    // What take() gave has been written: its room is free again.
    void written(size_t bytes);
    // The connection takes nothing more: pushes fail from now on, and a waiting maker wakes.
    void fail();

    bool failed() const;
    bool complete() const; // closed as complete, and nothing failed

private:
    const size_t _maxBytes;
    mutable std::mutex _mutex;
    std::condition_variable _room;
    std::deque<std::string> _queued;
    size_t _heldBytes = 0; // queued or being written
    bool _writerBusy = false;
    bool _closed = false;
    bool _complete = false;
    bool _failed = false;
};

} // namespace cimhost

#endif
