// The engine's sense of time. Tests give it a manual clock; a server gives it the system clock.
// The engine works lazily: tasks move on whenever the engine is used, by the clock's reading.
#ifndef KVEL_KVELClock_h
#define KVEL_KVELClock_h

#include <atomic>
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
