#include "TaskTiming.h"

#include <algorithm>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
const Uint64 MIB = 1024 * 1024;
const Uint64 GIB = 1024 * MIB;

struct Rate
{
    Uint64 bytesPerSecond; // 0: fixed time
    MPU_TIME minSeconds;
    MPU_TIME maxSeconds;
};

Rate rateOf(KVELTask::TaskTypeEnum type)
{
    switch (type)
    {
    case KVELTask::TASK_TYPE_CREATE_VOLUME:
    case KVELTask::TASK_TYPE_GROW_VOLUME:
        return {GIB, 5, 180};
    case KVELTask::TASK_TYPE_RECONFIGURE_VOLUME:
        return {512 * MIB, 10, 240};
    case KVELTask::TASK_TYPE_DELETE_VOLUME:
        return {0, 3, 3};
    case KVELTask::TASK_TYPE_SCAN_VOLUME:
        return {2 * GIB, 5, 120};
    case KVELTask::TASK_TYPE_REBUILD_VOLUME:
        return {GIB, 10, 180};
    case KVELTask::TASK_TYPE_INITIALIZE_DRIVE:
        return {8 * GIB, 10, 120};
    case KVELTask::TASK_TYPE_DOWN_DRIVE:
    default:
        return {0, 5, 5};
    }
}

// Civil date arithmetic on days since 1970-01-01 (proleptic Gregorian calendar).
struct Date
{
    Sint64 year;
    unsigned month; // 1..12
    unsigned day;   // 1..31
};

Sint64 daysFromCivil(Date d)
{
    Sint64 y = d.year - (d.month <= 2 ? 1 : 0);
    Sint64 era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = unsigned(y - era * 400);
    unsigned doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + Sint64(doe) - 719468;
}

Date civilFromDays(Sint64 z)
{
    z += 719468;
    Sint64 era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = unsigned(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    Date d;
    d.day = doy - (153 * mp + 2) / 5 + 1;
    d.month = mp < 10 ? mp + 3 : mp - 9;
    d.year = Sint64(yoe) + era * 400 + (d.month <= 2 ? 1 : 0);
    return d;
}

unsigned daysInMonth(Sint64 year, unsigned month)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

MPU_TIME addMonths(MPU_TIME time, Uint64 months)
{
    const MPU_TIME day = 86400 * MICROS_PER_SECOND;
    Sint64 days = Sint64(time / day);
    MPU_TIME timeOfDay = time % day;
    Date d = civilFromDays(days);
    Uint64 monthIndex = Uint64(d.month - 1) + months;
    d.year += Sint64(monthIndex / 12);
    d.month = unsigned(monthIndex % 12) + 1;
    d.day = std::min(d.day, daysInMonth(d.year, d.month));
    return MPU_TIME(daysFromCivil(d)) * day + timeOfDay;
}

MPU_TIME unitMicros(KVELTask::TaskSchedulingPeriodicityUnitsEnum unit)
{
    switch (unit)
    {
    case KVELTask::PERIODICITY_MINUTES:
        return 60 * MICROS_PER_SECOND;
    case KVELTask::PERIODICITY_HOURS:
        return 3600 * MICROS_PER_SECOND;
    case KVELTask::PERIODICITY_DAYS:
        return 86400 * MICROS_PER_SECOND;
    case KVELTask::PERIODICITY_WEEKS:
        return 7 * 86400 * MICROS_PER_SECOND;
    default:
        return 0;
    }
}
} // namespace

MPU_TIME taskDuration(KVELTask::TaskTypeEnum type, Uint64 workBlocks)
{
    Rate rate = rateOf(type);
    MPU_TIME micros = rate.minSeconds * MICROS_PER_SECOND;
    if (rate.bytesPerSecond != 0)
    {
        // Blocks of 512 bytes; rates are multiples of 512 bytes per second.
        Uint64 blocksPerSecond = rate.bytesPerSecond / 512;
        MPU_TIME capped = std::min<Uint64>(workBlocks, rate.maxSeconds * blocksPerSecond);
        micros = std::max(micros, capped * MICROS_PER_SECOND / blocksPerSecond);
    }
    return std::min(micros, rate.maxSeconds * MICROS_PER_SECOND);
}

Uint32 checkPeriodicity(Uint32 unit, Uint16 periodicity)
{
    if (unit > KVELTask::PERIODICITY_MONTHS) return KVEL_RC_INVALID_PERIODICITY;
    if (unit >= KVELTask::PERIODICITY_MINUTES && periodicity == 0) return KVEL_RC_INVALID_PERIODICITY;
    return KVEL_RC_SUCCESS;
}

bool isRecurring(const KVELTask& task)
{
    return task.Scheduled && task.PeriodicityUnit >= KVELTask::PERIODICITY_MINUTES &&
           task.PeriodicityUnit <= KVELTask::PERIODICITY_MONTHS && task.Periodicity != 0;
}

MPU_TIME nextRunAfter(MPU_TIME start, KVELTask::TaskSchedulingPeriodicityUnitsEnum unit, Uint16 periodicity,
                      MPU_TIME after)
{
    if (after < start) return start;
    if (unit == KVELTask::PERIODICITY_MONTHS)
    {
        // Count from the series start so that a 31st stays the 31st where the month has one.
        Uint64 k = 1;
        MPU_TIME next = addMonths(start, periodicity);
        while (next <= after)
            next = addMonths(start, ++k * periodicity);
        return next;
    }
    MPU_TIME period = unitMicros(unit) * periodicity;
    Uint64 k = (after - start) / period + 1;
    return start + k * period;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
