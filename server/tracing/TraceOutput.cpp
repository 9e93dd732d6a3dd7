#include "TraceOutput.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

#include <unistd.h>

namespace cimhost
{
namespace
{

std::string& partialLine()
{
    thread_local std::string line;
    return line;
}

} // namespace

TraceOutput::TraceOutput(int descriptor) : _descriptor(descriptor), _writer([this] { run(); })
{
    _previous = std::cout.rdbuf(this);
}

TraceOutput::~TraceOutput()
{
    std::cout.rdbuf(_previous);
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _wake.notify_one();
    _writer.join();
    flush();
}

void TraceOutput::flush()
{
    std::lock_guard<std::mutex> writing(_writeMutex);
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _writing.swap(_pending);
    }
    const char* data = _writing.data();
    size_t left = _writing.size();
    while (left > 0)
    {
        const ssize_t written = ::write(_descriptor, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        data += written;
        left -= size_t(written);
    }
    _writing.clear();
}

std::streamsize TraceOutput::xsputn(const char* text, std::streamsize size)
{
    try
    {
        append(text, size_t(size));
    }
    catch (...)
    {
        // Out of memory: the piece is lost, std::cout stays usable.
    }
    return size;
}

TraceOutput::int_type TraceOutput::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char character = traits_type::to_char_type(c);
    xsputn(&character, 1);
    return c;
}

void TraceOutput::append(const char* text, size_t size)
{
    std::string& line = partialLine();
    const void* lastEnd = ::memrchr(text, '\n', size);
    if (!lastEnd)
    {
        line.append(text, size);
        return;
    }
    const size_t complete = size_t(static_cast<const char*>(lastEnd) - text) + 1;
    bool wake;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _pending.append(line).append(text, complete);
        wake = _pending.size() >= WAKE_BYTES;
    }
    line.assign(text + complete, size - complete);
    if (wake) _wake.notify_one();
}

void TraceOutput::run()
{
    std::unique_lock<std::mutex> lock(_mutex);
    while (!_stopping)
    {
        _wake.wait_for(lock, std::chrono::seconds(1),
                       [this] { return _stopping || _pending.size() >= WAKE_BYTES; });
        lock.unlock();
        flush();
        lock.lock();
    }
}

} // namespace cimhost
