#include <chrono>
#include <KVELClock.h>

PEGASUS_NAMESPACE_BEGIN

KVELClock::~KVELClock() {}

MPU_TIME KVELSystemClock::now() const
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return MPU_TIME(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

PEGASUS_NAMESPACE_END
