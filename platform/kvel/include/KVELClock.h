// The engine's sense of time. Tests give it a manual clock; a server gives it the system clock.
// The engine works lazily: tasks move on whenever the engine is used, by the clock's reading.
#ifndef KVEL_KVELClock_h
#define KVEL_KVELClock_h

#include <atomic>
#include <memory>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELClock
{
public:
    virtual ~KVELClock();
    virtual MPU_TIME now() const = 0;
};

// Wall-clock time: task start times come from clients as absolute date-times.
class KVEL_LINKAGE KVELSystemClock : public KVELClock
{
public:
    virtual MPU_TIME now() const;
};

// Wall-clock time sped up for demonstrations and end-to-end tests: from the moment it is made, it
// runs `factor` times as fast as the wall clock (a null `wall` is the system clock; tests pass a
// manual one). A factor of 0 is taken as 1. A reading beyond the range of MPU_TIME stays at its
// largest value; a wall clock set back before the start reads the start.
class KVEL_LINKAGE KVELScaledClock : public KVELClock
{
public:
    explicit KVELScaledClock(Uint32 factor, std::shared_ptr<const KVELClock> wall = nullptr);
    virtual MPU_TIME now() const;
    Uint32 factor() const { return _factor; }

private:
    const std::shared_ptr<const KVELClock> _wall;
    const Uint32 _factor;
    const MPU_TIME _origin;
};

class KVEL_LINKAGE KVELManualClock : public KVELClock
{
public:
    explicit KVELManualClock(MPU_TIME start) : _now(start) {}
    virtual MPU_TIME now() const { return _now.load(); }
    void set(MPU_TIME time) { _now.store(time); }
    void advance(MPU_TIME micros) { _now.fetch_add(micros); }

private:
    std::atomic<MPU_TIME> _now;
};

PEGASUS_NAMESPACE_END

#endif
