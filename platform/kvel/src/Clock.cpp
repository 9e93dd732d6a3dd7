#include <chrono>
#include <limits>
#include <utility>
#include <KVELClock.h>

PEGASUS_NAMESPACE_BEGIN

KVELClock::~KVELClock() {}

MPU_TIME KVELSystemClock::now() const
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return MPU_TIME(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

KVELScaledClock::KVELScaledClock(Uint32 factor, std::shared_ptr<const KVELClock> wall)
    : _wall(wall ? std::move(wall) : std::make_shared<KVELSystemClock>()), _factor(factor ? factor : 1),
      _origin(_wall->now())
{
}

MPU_TIME KVELScaledClock::now() const
{
    const MPU_TIME wall = _wall->now();
    if (wall <= _origin) return _origin;
    const MPU_TIME elapsed = wall - _origin;
    const MPU_TIME latest = std::numeric_limits<MPU_TIME>::max();
    if (elapsed > (latest - _origin) / _factor) return latest;
    return _origin + elapsed * _factor;
}

PEGASUS_NAMESPACE_END
