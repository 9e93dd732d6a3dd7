// A clock for the engine benchmarks that has moved on by a microsecond at every reading, as the
// system clock has between the engine calls of one request; unlike it, the same at every run.
#ifndef SCS_BENCH_TickingClock_h
#define SCS_BENCH_TickingClock_h

#include <atomic>

#include <KVELClock.h>

namespace scs_bench
{

class TickingClock : public Pegasus::KVELClock
{
public:
    explicit TickingClock(Pegasus::MPU_TIME start) : _now(start) {}
    Pegasus::MPU_TIME now() const override { return _now.fetch_add(1) + 1; }

private:
    mutable std::atomic<Pegasus::MPU_TIME> _now;
};

} // namespace scs_bench

#endif
