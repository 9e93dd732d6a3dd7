// CIMDateTime: a timestamp or an interval held as a microsecond count, plus the text-level details
// (UTC offset, wildcarded digits) needed to reproduce its 25-character form.
#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/Exception.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

PEGASUS_NAMESPACE_BEGIN

struct CIMDateTimeRep
{
    // Interval: its length. Timestamp: the local wall-clock time as written (before the UTC offset
    // is applied), counted from 0000-01-01T00:00:00.
    Uint64 usec = 0;
    // Minutes east of UTC; always 0 for intervals.
    Sint32 utcOffset = 0;
    // How many of the 20 digits, from the least significant one, are '*'. Wildcarded fields keep
    // their lowest value in usec (0, or 1 for month and day).
    Uint32 numWildcards = 0;
    bool interval = true;
};

namespace
{

const Uint64 kMicrosPerSecond = 1000000;
const Uint64 kMicrosPerMinute = 60 * kMicrosPerSecond;
const Uint64 kMicrosPerHour = 60 * kMicrosPerMinute;
const Uint64 kMicrosPerDay = 24 * kMicrosPerHour;
// Day counts from 0000-01-01 in the proleptic Gregorian calendar.
const Uint64 kDaysToYear10000 = 3652425;
const Uint64 kDaysToPosixEpoch = 719528;
// Exclusive upper bounds: a timestamp must stay below year 10000, an interval below 10^8 days.
const Uint64 kTimestampLimit = kDaysToYear10000 * kMicrosPerDay;
const Uint64 kIntervalLimit = 100000000ULL * kMicrosPerDay;

const Uint32 kTextLength = 25;
const Uint32 kDigitCount = 20; // every digit position except the '.', the sign and the UTC offset
const Uint32 kDotPosition = 14;
const Uint32 kSignPosition = 21;
const Uint32 kOffsetPosition = 22;

// Wildcard counts marking the start of each field, from the least significant one.
const Uint32 kSecondsWildcarded = 8;
const Uint32 kMinutesWildcarded = 10;
const Uint32 kHoursWildcarded = 12;
const Uint32 kDayWildcarded = 14;
const Uint32 kMonthWildcarded = 16;
const Uint32 kAllWildcarded = 20; // the year of a timestamp, the days of an interval

struct Fields
{
    Uint32 year = 0;
    Uint32 month = 1;
    Uint32 day = 1;  // day of month (timestamp)
    Uint32 days = 0; // length in days (interval)
    Uint32 hours = 0;
    Uint32 minutes = 0;
    Uint32 seconds = 0;
    Uint32 microseconds = 0;
};

Uint32 digitPosition(Uint32 digitIndex)
{
    return digitIndex < kDotPosition ? digitIndex : digitIndex + 1;
}

// Wildcards replace whole fields, except that microseconds may lose precision digit by digit.
bool isValidWildcardCount(Uint32 count, bool interval)
{
    if (count <= 6) return true;
    switch (count)
    {
    case kSecondsWildcarded:
    case kMinutesWildcarded:
    case kHoursWildcarded:
    case kAllWildcarded:
        return true;
    case kDayWildcarded:
    case kMonthWildcarded:
        return !interval;
    default:
        return false;
    }
}

// The smallest valid wildcard count that hides at least `count` digits.
Uint32 coarsenWildcardCount(Uint32 count, bool interval)
{
    count = std::min(count, kAllWildcarded);
    while (!isValidWildcardCount(count, interval))
        ++count;
    return count;
}

bool isLeapYear(Uint32 year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

Uint32 daysInMonth(Uint32 year, Uint32 month)
{
    static const Uint32 kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// The calendar conversions count years from March so that the leap day ends the year; the extra
// 400-year cycle keeps every intermediate value non-negative for year 0.
const Sint64 kDaysPer400Years = 146097;
const Sint64 kDaysJanuaryAndFebruaryOfYear0 = 60;

Uint64 daysFromCivil(Uint32 year, Uint32 month, Uint32 day)
{
    const Sint64 shiftedYear = Sint64(year) - (month <= 2 ? 1 : 0) + 400;
    const Sint64 era = shiftedYear / 400;
    const Sint64 yearOfEra = shiftedYear - era * 400;
    const Sint64 marchBasedMonth = month > 2 ? month - 3 : month + 9;
    const Sint64 dayOfYear = (153 * marchBasedMonth + 2) / 5 + day - 1;
    const Sint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return Uint64((era - 1) * kDaysPer400Years + dayOfEra + kDaysJanuaryAndFebruaryOfYear0);
}

void civilFromDays(Uint64 daysSinceYear0, Fields& f)
{
    const Sint64 shifted = Sint64(daysSinceYear0) - kDaysJanuaryAndFebruaryOfYear0 + kDaysPer400Years;
    const Sint64 era = shifted / kDaysPer400Years;
    const Sint64 dayOfEra = shifted - era * kDaysPer400Years;
    const Sint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const Sint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const Sint64 marchBasedMonth = (5 * dayOfYear + 2) / 153;
    f.day = Uint32(dayOfYear - (153 * marchBasedMonth + 2) / 5 + 1);
    f.month = Uint32(marchBasedMonth < 10 ? marchBasedMonth + 3 : marchBasedMonth - 9);
    f.year = Uint32(yearOfEra + (era - 1) * 400 + (f.month <= 2 ? 1 : 0));
}

Fields toFields(const CIMDateTimeRep& rep)
{
    Fields f;
    const Uint64 wholeDays = rep.usec / kMicrosPerDay;
    Uint64 rest = rep.usec % kMicrosPerDay;
    if (rep.interval)
        f.days = Uint32(wholeDays);
    else
        civilFromDays(wholeDays, f);
    f.hours = Uint32(rest / kMicrosPerHour);
    rest %= kMicrosPerHour;
    f.minutes = Uint32(rest / kMicrosPerMinute);
    rest %= kMicrosPerMinute;
    f.seconds = Uint32(rest / kMicrosPerSecond);
    f.microseconds = Uint32(rest % kMicrosPerSecond);
    return f;
}

Uint64 fromFields(const Fields& f, bool interval)
{
    const Uint64 wholeDays = interval ? f.days : daysFromCivil(f.year, f.month, f.day);
    return wholeDays * kMicrosPerDay + f.hours * kMicrosPerHour + f.minutes * kMicrosPerMinute +
           f.seconds * kMicrosPerSecond + f.microseconds;
}

// Resets the fields hidden by `wildcards` digits to their lowest value.
CIMDateTimeRep truncated(CIMDateTimeRep rep, Uint32 wildcards)
{
    if (wildcards == 0) return rep;
    Fields f = toFields(rep);
    Uint32 microDivisor = 1;
    for (Uint32 i = 0; i < std::min<Uint32>(wildcards, 6); ++i)
        microDivisor *= 10;
    f.microseconds -= f.microseconds % microDivisor;
    if (wildcards >= kSecondsWildcarded) f.seconds = 0;
    if (wildcards >= kMinutesWildcarded) f.minutes = 0;
    if (wildcards >= kHoursWildcarded) f.hours = 0;
    if (wildcards >= kDayWildcarded) f.day = 1;
    if (wildcards >= kMonthWildcarded) f.month = 1;
    if (wildcards >= kAllWildcarded) f.year = f.days = 0;
    rep.usec = fromFields(f, rep.interval);
    return rep;
}

Uint32 parseNumber(const char* text, Uint32 position, Uint32 width)
{
    Uint32 value = 0;
    for (Uint32 i = position; i < position + width; ++i)
        value = value * 10 + Uint32(text[i] - '0');
    return value;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

CIMDateTimeRep parse(const String& str)
{
    if (str.size() != kTextLength) throw InvalidDateTimeFormatException();
    char text[kTextLength];
    for (Uint32 i = 0; i < kTextLength; ++i)
    {
        const Uint16 c = str[i];
        if (c > 0x7F) throw InvalidDateTimeFormatException();
        text[i] = char(c);
    }

    CIMDateTimeRep rep;
    const char sign = text[kSignPosition];
    rep.interval = sign == ':';
    if (text[kDotPosition] != '.' || (!rep.interval && sign != '+' && sign != '-'))
        throw InvalidDateTimeFormatException();
    // The UTC offset is never wildcarded; an interval carries a zero one.
    for (Uint32 i = kOffsetPosition; i < kTextLength; ++i)
        if (!isDigit(text[i]) || (rep.interval && text[i] != '0')) throw InvalidDateTimeFormatException();

    // Wildcards must form one run reaching down to the least significant digit; they read as zero
    // here and month/day are raised to 1 below.
    for (Uint32 k = 0; k < kDigitCount; ++k)
    {
        char& c = text[digitPosition(k)];
        if (c == '*' && rep.numWildcards == 0) rep.numWildcards = kDigitCount - k;
        if (c == '*')
            c = '0';
        else if (!isDigit(c) || rep.numWildcards != 0)
            throw InvalidDateTimeFormatException();
    }
    if (!isValidWildcardCount(rep.numWildcards, rep.interval)) throw InvalidDateTimeFormatException();

    Fields f;
    if (rep.interval)
    {
        f.days = parseNumber(text, 0, 8);
    }
    else
    {
        f.year = parseNumber(text, 0, 4);
        f.month = rep.numWildcards >= kMonthWildcarded ? 1 : parseNumber(text, 4, 2);
        f.day = rep.numWildcards >= kDayWildcarded ? 1 : parseNumber(text, 6, 2);
        if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > daysInMonth(f.year, f.month))
            throw InvalidDateTimeFormatException();
        const Sint32 offset = Sint32(parseNumber(text, kOffsetPosition, 3));
        rep.utcOffset = sign == '-' ? -offset : offset;
    }
    f.hours = parseNumber(text, 8, 2);
    f.minutes = parseNumber(text, 10, 2);
    f.seconds = parseNumber(text, 12, 2);
    f.microseconds = parseNumber(text, 15, 6);
    if (f.hours > 23 || f.minutes > 59 || f.seconds > 59) throw InvalidDateTimeFormatException();
    rep.usec = fromFields(f, rep.interval);
    return rep;
}

// Writes value as exactly width decimal digits (the fields are in range, so nothing is cut).
char* putDigits(char* out, Uint32 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
    {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

// Digits put one by one: a job listing formats several of these per job, and snprintf cost ten
// times as much.
String format(const CIMDateTimeRep& rep)
{
    const Fields f = toFields(rep);
    char text[32];
    char* p = text;
    if (rep.interval)
    {
        p = putDigits(p, f.days, 8);
        p = putDigits(p, f.hours, 2);
        p = putDigits(p, f.minutes, 2);
        p = putDigits(p, f.seconds, 2);
        *p++ = '.';
        p = putDigits(p, f.microseconds, 6);
        *p++ = ':';
        p = putDigits(p, 0, 3);
    }
    else
    {
        p = putDigits(p, f.year, 4);
        p = putDigits(p, f.month, 2);
        p = putDigits(p, f.day, 2);
        p = putDigits(p, f.hours, 2);
        p = putDigits(p, f.minutes, 2);
        p = putDigits(p, f.seconds, 2);
        *p++ = '.';
        p = putDigits(p, f.microseconds, 6);
        *p++ = rep.utcOffset < 0 ? '-' : '+';
        p = putDigits(p, Uint32(std::abs(rep.utcOffset)), 3);
    }
    *p = '\0';
    for (Uint32 k = kDigitCount - rep.numWildcards; k < kDigitCount; ++k)
        text[digitPosition(k)] = '*';
    return String(text, Uint32(p - text));
}

// UTC microseconds since 0000-01-01 for a timestamp (negative when the offset reaches back before
// it), the length for an interval.
Sint64 instant(const CIMDateTimeRep& rep)
{
    const Sint64 local = Sint64(rep.usec);
    return rep.interval ? local : local - Sint64(rep.utcOffset) * Sint64(kMicrosPerMinute);
}

// Digits wildcarded in either operand are ignored in both: each side is truncated to the coarser
// precision in its own local time, then the instants are compared. So "20240315******.******+000"
// equals every time of that day, and is less than any time of the next day.
int compare(const CIMDateTimeRep& x, const CIMDateTimeRep& y)
{
    if (x.interval != y.interval)
        throw TypeMismatchException("cannot compare a date-time interval with a timestamp");
    const Uint32 wildcards = std::max(x.numWildcards, y.numWildcards);
    const Sint64 a = instant(truncated(x, wildcards));
    const Sint64 b = instant(truncated(y, wildcards));
    return a < b ? -1 : (a > b ? 1 : 0);
}

// An arithmetic result is only as precise as its least precise operand.
void applyPrecision(CIMDateTimeRep& result, Uint32 operandWildcards)
{
    result.numWildcards = coarsenWildcardCount(operandWildcards, result.interval);
    result = truncated(result, result.numWildcards);
}

void checkRange(const CIMDateTimeRep& rep)
{
    if (rep.interval && rep.usec >= kIntervalLimit)
        throw DateTimeOutOfRangeException("interval of 100000000 days or more");
    if (!rep.interval && rep.usec >= kTimestampLimit)
        throw DateTimeOutOfRangeException("timestamp beyond year 9999");
}

void requireInterval(const CIMDateTimeRep& rep, const char* message)
{
    if (!rep.interval) throw TypeMismatchException(message);
}

} // namespace

CIMDateTime::CIMDateTime() : _rep(new CIMDateTimeRep) {}

CIMDateTime::CIMDateTime(const CIMDateTime& x) : _rep(new CIMDateTimeRep(*x._rep)) {}

CIMDateTime::CIMDateTime(const String& str) : _rep(new CIMDateTimeRep(parse(str))) {}

CIMDateTime::CIMDateTime(Uint64 usec, Boolean isInterval) : _rep(nullptr)
{
    CIMDateTimeRep rep;
    rep.usec = usec;
    rep.interval = isInterval;
    checkRange(rep);
    _rep = new CIMDateTimeRep(rep);
}

CIMDateTime::~CIMDateTime()
{
    delete _rep;
}

CIMDateTime& CIMDateTime::operator=(const CIMDateTime& x)
{
    *_rep = *x._rep;
    return *this;
}

String CIMDateTime::toString() const
{
    return format(*_rep);
}

void CIMDateTime::set(const String& str)
{
    *_rep = parse(str);
}

void CIMDateTime::clear()
{
    *_rep = CIMDateTimeRep();
}

CIMDateTime CIMDateTime::getCurrentDateTime()
{
    const Sint64 sinceEpoch = std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
    const std::time_t seconds = std::time_t(sinceEpoch / Sint64(kMicrosPerSecond));
    std::tm local{};
    localtime_r(&seconds, &local);
    // The text form only carries whole minutes, so the local time uses the rounded offset too.
    const Sint32 offsetMinutes = Sint32(local.tm_gmtoff / 60);

    CIMDateTime now;
    now._rep->interval = false;
    now._rep->utcOffset = offsetMinutes;
    now._rep->usec = Uint64(sinceEpoch + Sint64(kDaysToPosixEpoch * kMicrosPerDay) +
                            Sint64(offsetMinutes) * Sint64(kMicrosPerMinute));
    return now;
}

Sint64 CIMDateTime::getDifference(CIMDateTime startTime, CIMDateTime finishTime)
{
    if (startTime._rep->interval != finishTime._rep->interval) throw InvalidDateTimeFormatException();
    return instant(*finishTime._rep) - instant(*startTime._rep);
}

Boolean CIMDateTime::isInterval() const
{
    return _rep->interval;
}

Boolean CIMDateTime::isInterval()
{
    return _rep->interval;
}

Boolean CIMDateTime::equal(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) == 0;
}

Uint64 CIMDateTime::toMicroSeconds() const
{
    const Sint64 value = instant(*_rep);
    if (value < 0) throw DateTimeOutOfRangeException("timestamp lies before 0000-01-01 in UTC");
    return Uint64(value);
}

CIMDateTime CIMDateTime::operator+(const CIMDateTime& x) const
{
    requireInterval(*x._rep, "only an interval can be added to a date-time");
    CIMDateTime result(*this);
    // Both operands are below 10^8 days, so the sum cannot wrap.
    result._rep->usec += x._rep->usec;
    checkRange(*result._rep);
    applyPrecision(*result._rep, std::max(_rep->numWildcards, x._rep->numWildcards));
    return result;
}

CIMDateTime& CIMDateTime::operator+=(const CIMDateTime& x)
{
    return *this = *this + x;
}

CIMDateTime CIMDateTime::operator-(const CIMDateTime& x) const
{
    if (_rep->interval) requireInterval(*x._rep, "cannot subtract a timestamp from an interval");
    CIMDateTime result(*this);
    Sint64 difference;
    if (x._rep->interval)
    {
        difference = Sint64(_rep->usec) - Sint64(x._rep->usec);
    }
    else
    {
        difference = instant(*_rep) - instant(*x._rep);
        result._rep->interval = true;
        result._rep->utcOffset = 0;
    }
    if (difference < 0) throw DateTimeOutOfRangeException("date-time subtraction with a negative result");
    result._rep->usec = Uint64(difference);
    checkRange(*result._rep);
    applyPrecision(*result._rep, std::max(_rep->numWildcards, x._rep->numWildcards));
    return result;
}

CIMDateTime& CIMDateTime::operator-=(const CIMDateTime& x)
{
    requireInterval(*x._rep, "only an interval can be subtracted in place");
    return *this = *this - x;
}

CIMDateTime CIMDateTime::operator*(Uint64 x) const
{
    requireInterval(*_rep, "only an interval can be multiplied");
    if (x != 0 && _rep->usec > (kIntervalLimit - 1) / x)
        throw DateTimeOutOfRangeException("interval product of 100000000 days or more");
    CIMDateTime result(*this);
    result._rep->usec *= x;
    applyPrecision(*result._rep, _rep->numWildcards);
    return result;
}

CIMDateTime& CIMDateTime::operator*=(Uint64 x)
{
    return *this = *this * x;
}

CIMDateTime CIMDateTime::operator/(Uint64 num) const
{
    requireInterval(*_rep, "only an interval can be divided");
    if (num == 0) throw DateTimeOutOfRangeException("division of an interval by zero");
    CIMDateTime result(*this);
    result._rep->usec /= num;
    applyPrecision(*result._rep, _rep->numWildcards);
    return result;
}

CIMDateTime& CIMDateTime::operator/=(Uint64 num)
{
    return *this = *this / num;
}

Uint64 CIMDateTime::operator/(const CIMDateTime& cdt) const
{
    requireInterval(*_rep, "only an interval can be divided");
    requireInterval(*cdt._rep, "an interval can only be divided by an interval");
    if (cdt._rep->usec == 0) throw DateTimeOutOfRangeException("division by a zero interval");
    return _rep->usec / cdt._rep->usec;
}

Boolean CIMDateTime::operator<(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) < 0;
}

Boolean CIMDateTime::operator<=(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) <= 0;
}

Boolean CIMDateTime::operator>(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) > 0;
}

Boolean CIMDateTime::operator>=(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) >= 0;
}

Boolean CIMDateTime::operator!=(const CIMDateTime& x) const
{
    return compare(*_rep, *x._rep) != 0;
}

Boolean operator==(const CIMDateTime& x, const CIMDateTime& y)
{
    return x.equal(y);
}

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES

const Uint32 CIMDateTime::WILDCARD = Uint32(-1);

namespace
{

const Sint32 kMaxOffsetMinutes = 999;

// Appends a zero-padded field, or asterisks for WILDCARD; the text parser then checks field order
// and calendar validity exactly as for a received string.
void appendField(char*& out, Uint32 value, Uint32 width)
{
    char digits[16];
    if (value == CIMDateTime::WILDCARD)
    {
        std::fill(digits, digits + width, '*');
    }
    else
    {
        if (std::snprintf(digits, sizeof digits, "%0*u", int(width), value) != int(width))
            throw DateTimeOutOfRangeException("date-time field too large");
    }
    out = std::copy(digits, digits + width, out);
}

void appendMicroseconds(char*& out, Uint32 microseconds, Uint32 numSignificantDigits)
{
    if (numSignificantDigits > 6)
        throw DateTimeOutOfRangeException("more than 6 significant microsecond digits");
    char* start = out;
    appendField(out, microseconds, 6);
    std::fill(start + numSignificantDigits, out, '*');
}

String buildTimeStamp(Uint32 year, Uint32 month, Uint32 day, Uint32 hours, Uint32 minutes, Uint32 seconds,
                      Uint32 microseconds, Uint32 numSignificantMicrosecondDigits, Sint32 utcOffset)
{
    if (utcOffset > kMaxOffsetMinutes || utcOffset < -kMaxOffsetMinutes)
        throw DateTimeOutOfRangeException("UTC offset beyond 999 minutes");
    char text[kTextLength + 1] = {};
    char* out = text;
    appendField(out, year, 4);
    appendField(out, month, 2);
    appendField(out, day, 2);
    appendField(out, hours, 2);
    appendField(out, minutes, 2);
    appendField(out, seconds, 2);
    *out++ = '.';
    appendMicroseconds(out, microseconds, numSignificantMicrosecondDigits);
    *out++ = utcOffset < 0 ? '-' : '+';
    appendField(out, Uint32(std::abs(utcOffset)), 3);
    return String(text);
}

String buildInterval(Uint32 days, Uint32 hours, Uint32 minutes, Uint32 seconds, Uint32 microseconds,
                     Uint32 numSignificantMicrosecondDigits)
{
    char text[kTextLength + 1] = {};
    char* out = text;
    appendField(out, days, 8);
    appendField(out, hours, 2);
    appendField(out, minutes, 2);
    appendField(out, seconds, 2);
    *out++ = '.';
    appendMicroseconds(out, microseconds, numSignificantMicrosecondDigits);
    std::copy_n(":000", 4, out);
    return String(text);
}

} // namespace

CIMDateTime::CIMDateTime(Uint32 year, Uint32 month, Uint32 day, Uint32 hours, Uint32 minutes, Uint32 seconds,
                         Uint32 microseconds, Uint32 numSignificantMicrosecondDigits, Sint32 utcOffset)
    : _rep(new CIMDateTimeRep(parse(buildTimeStamp(year, month, day, hours, minutes, seconds, microseconds,
                                                   numSignificantMicrosecondDigits, utcOffset))))
{
}

CIMDateTime::CIMDateTime(Uint32 days, Uint32 hours, Uint32 minutes, Uint32 seconds, Uint32 microseconds,
                         Uint32 numSignificantMicrosecondDigits)
    : _rep(new CIMDateTimeRep(
          parse(buildInterval(days, hours, minutes, seconds, microseconds, numSignificantMicrosecondDigits))))
{
}

void CIMDateTime::setTimeStamp(Uint32 year, Uint32 month, Uint32 day, Uint32 hours, Uint32 minutes,
                               Uint32 seconds, Uint32 microseconds, Uint32 numSignificantMicrosecondDigits,
                               Sint32 utcOffset)
{
    set(buildTimeStamp(year, month, day, hours, minutes, seconds, microseconds,
                       numSignificantMicrosecondDigits, utcOffset));
}

void CIMDateTime::setInterval(Uint32 days, Uint32 hours, Uint32 minutes, Uint32 seconds, Uint32 microseconds,
                              Uint32 numSignificantMicrosecondDigits)
{
    set(buildInterval(days, hours, minutes, seconds, microseconds, numSignificantMicrosecondDigits));
}

Boolean CIMDateTime::isTimeStamp() const
{
    return !_rep->interval;
}

#endif

PEGASUS_NAMESPACE_END
