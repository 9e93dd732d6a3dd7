// CIM date-time: either a timestamp (yyyymmddhhmmss.mmmmmmsutc) or an interval
// (ddddddddhhmmss.mmmmmm:000). A deep-copied value.
#ifndef Pegasus_CIMDateTime_h
#define Pegasus_CIMDateTime_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Array.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMDateTimeRep;

class PEGASUS_COMMON_LINKAGE CIMDateTime
{
public:
#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
    static const Uint32 WILDCARD;
#endif

    CIMDateTime();
    CIMDateTime(const CIMDateTime& x);
    CIMDateTime(const String& str);
    CIMDateTime(Uint64 usec, Boolean isInterval);

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
    CIMDateTime(Uint32 year, Uint32 month, Uint32 day, Uint32 hours, Uint32 minutes, Uint32 seconds,
                Uint32 microseconds, Uint32 numSignificantMicrosecondDigits, Sint32 utcOffset);
    CIMDateTime(Uint32 days, Uint32 hours, Uint32 minutes, Uint32 seconds, Uint32 microseconds,
                Uint32 numSignificantMicrosecondDigits);
    void setTimeStamp(Uint32 year, Uint32 month, Uint32 day, Uint32 hours, Uint32 minutes, Uint32 seconds,
                      Uint32 microseconds, Uint32 numSignificantMicrosecondDigits, Sint32 utcOffset);
    void setInterval(Uint32 days, Uint32 hours, Uint32 minutes, Uint32 seconds, Uint32 microseconds,
                     Uint32 numSignificantMicrosecondDigits);
    Boolean isTimeStamp() const;
#endif

    ~CIMDateTime();
    CIMDateTime& operator=(const CIMDateTime& x);

    String toString() const;
    void set(const String& str);
    void clear();
    static CIMDateTime getCurrentDateTime();
    static Sint64 getDifference(CIMDateTime startTime, CIMDateTime finishTime);
    Boolean isInterval() const;
    Boolean isInterval();
    Boolean equal(const CIMDateTime& x) const;
    Uint64 toMicroSeconds() const;

    CIMDateTime operator+(const CIMDateTime& x) const;
    CIMDateTime& operator+=(const CIMDateTime& x);
    CIMDateTime operator-(const CIMDateTime& x) const;
    CIMDateTime& operator-=(const CIMDateTime& x);
    CIMDateTime operator*(Uint64 x) const;
    CIMDateTime& operator*=(Uint64 x);
    CIMDateTime operator/(Uint64 num) const;
    CIMDateTime& operator/=(Uint64 num);
    Uint64 operator/(const CIMDateTime& cdt) const;

    Boolean operator<(const CIMDateTime& x) const;
    Boolean operator<=(const CIMDateTime& x) const;
    Boolean operator>(const CIMDateTime& x) const;
    Boolean operator>=(const CIMDateTime& x) const;
    Boolean operator!=(const CIMDateTime& x) const;

private:
    CIMDateTimeRep* _rep;
};

PEGASUS_COMMON_LINKAGE Boolean operator==(const CIMDateTime& x, const CIMDateTime& y);

PEGASUS_NAMESPACE_END

#endif
