// The buffered sink that carries the modules' trace lines from std::cout to standard output.
#ifndef CIMHOST_TraceOutput_h
#define CIMHOST_TraceOutput_h

#include <condition_variable>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>

namespace cimhost
{

// Takes std::cout's output so that the modules' trace lines - written piece by piece and each
// ended by std::endl, from any number of request threads at once - reach standard output whole
// and without a write per line. Each thread assembles its own partial line; a completed line
// joins the shared buffer in one append under the lock, so lines never mix. A flush of std::cout
// writes nothing: a thread of its own writes the buffer once a second, sooner when it passes
// WAKE_BYTES, and once more when the object is destroyed. Output cut short by a failing write is
// dropped: tracing never stops serving.
class TraceOutput : public std::streambuf
{
public:
    // Takes over std::cout until destroyed; writes to the descriptor.
    explicit TraceOutput(int descriptor);
    ~TraceOutput() override;
    TraceOutput(const TraceOutput&) = delete;
    TraceOutput& operator=(const TraceOutput&) = delete;

    // Writes the completed lines now.
    void flush();

protected:
    // No put area: every insertion arrives here, on the inserting thread.
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int_type overflow(int_type c) override;
    int sync() override { return 0; }

private:
    static constexpr size_t WAKE_BYTES = 1 << 20;

    void append(const char* text, size_t size);
    void run();

    const int _descriptor;
    std::streambuf* _previous = nullptr;
    std::mutex _mutex;      // _pending, _stopping
    std::mutex _writeMutex; // _writing, and the order of the writes
    std::condition_variable _wake;
    std::string _pending;
    std::string _writing;
    bool _stopping = false;
    std::thread _writer;
};

} // namespace cimhost

#endif
