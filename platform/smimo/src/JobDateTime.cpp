#include <JobDateTime.h>

#include <cctype>
#include <KVELEngine.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Sint64 POSIX_EPOCH_IN_CIM_MICROS = PEGASUS_SINT64_LITERAL(62167219200000000);
const Sint64 MICROS_PER_MINUTE = PEGASUS_SINT64_LITERAL(60000000);

// Microseconds since 0000-01-01 UTC. The wall-clock reading is taken from the same text with the
// offset set to zero and the offset is then applied here, so the result does not depend on
// whether the CIM library's toMicroSeconds() already normalises timestamps to UTC.
Sint64 utcMicros(const CIMDateTime& timestamp)
{
    // "yyyymmddhhmmss.mmmmmmsutc": the sign at 21, the offset in minutes at 22..24.
    const String text = timestamp.toString();
    const CString bytes = text.getCString();
    const char* chars = bytes;
    if (text.size() != 25 || !std::isdigit(static_cast<unsigned char>(chars[22])) ||
        !std::isdigit(static_cast<unsigned char>(chars[23])) ||
        !std::isdigit(static_cast<unsigned char>(chars[24])))
        return Sint64(timestamp.toMicroSeconds());
    const Sint64 offsetMinutes = (chars[22] - '0') * 100 + (chars[23] - '0') * 10 + (chars[24] - '0');
    const Sint64 offset = (chars[21] == '-' ? -offsetMinutes : offsetMinutes) * MICROS_PER_MINUTE;
    const CIMDateTime wallClock(text.subString(0, 21) + String("+000"));
    return Sint64(wallClock.toMicroSeconds()) - offset;
}

MPU_TIME engineNow()
{
    return KVELEngine::_getInstance()->now();
}

} // namespace

MPU_TIME JobDateTime::getMpuTime() const
{
    if (isInterval()) return engineNow() + toMicroSeconds();
    // Times before the engine's epoch are all "long ago": the earliest engine time.
    const Sint64 sinceEpoch = utcMicros(*this) - POSIX_EPOCH_IN_CIM_MICROS;
    return sinceEpoch > 0 ? MPU_TIME(sinceEpoch) : MPU_TIME(0);
}

Boolean JobDateTime::isInThePast() const
{
    if (isInterval()) return toMicroSeconds() == 0;
    return getMpuTime() < engineNow();
}

PEGASUS_NAMESPACE_END
