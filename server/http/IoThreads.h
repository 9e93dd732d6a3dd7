// The threads that run the transport's event loop, and the choice of where a request is served.
// A request that finds no other in the service, and its I/O thread not busy with requests of
// other connections, is served on that thread: no hand-off to a worker, so the answer costs no
// thread wake-up. Should such a request take long, a relief thread runs the loop meanwhile, so
// that other connections, timeouts and a stop are never held up by it.
#ifndef CIMHOST_IoThreads_h
#define CIMHOST_IoThreads_h

#include <atomic>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <boost/asio/io_context.hpp>

namespace cimhost
{

class IoThreads
{
public:
    // How long a request may hold its I/O thread before the relief thread takes over the loop.
    static constexpr std::chrono::microseconds PATIENCE{1000};

    IoThreads(boost::asio::io_context& io, size_t count);
    // Joins every thread: those still inside the service wait for it, as busy workers do.
    ~IoThreads();
    IoThreads(const IoThreads&) = delete;
    IoThreads& operator=(const IoThreads&) = delete;

    // Runs the loop until it stops or runs out of work. Returns when every I/O thread has left it,
    // or when it has stopped and those left are inside the service. Rethrows what a handler threw.
    void run();

    // From a handler about to hand a request of `connection` to the service: true when the
    // calling thread is to serve it itself, and endServing() follows once it has. Never while
    // other requests are in the service: those go to the workers, which spread the load.
    bool beginServing(const void* connection, bool othersInService);
    void endServing();

private:
    struct Slot;
    static Slot*& currentSlot(); // the calling I/O thread's, else null

    void runIoThread(Slot& slot);
    void runRelief();
    // From a catch block: keeps the first exception for run() and stops the loop.
    void recordFailure();
    bool someoneServingLongerThan(std::chrono::steady_clock::duration patience) const;
    size_t servingCount() const;

    boost::asio::io_context& _io;
    std::vector<std::unique_ptr<Slot>> _slots;
    std::vector<std::thread> _threads;
    std::thread _relief;

    std::mutex _mutex;
    std::condition_variable _changed; // an I/O thread left the loop, relief woken or shut down
    size_t _running = 0;
    std::exception_ptr _failure;
    std::atomic<bool> _reliefParked{false};
    bool _shutdown = false;
};

} // namespace cimhost

#endif
