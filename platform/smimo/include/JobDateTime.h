// A job's date-time: a timestamp, or an interval counted from now (a delay).
#ifndef SMIMO_JobDateTime_h
#define SMIMO_JobDateTime_h

#include <Pegasus/Common/CIMDateTime.h>
#include <KVELTypes.h>
#include <SMIMOTypes.h>

PEGASUS_NAMESPACE_BEGIN

class SMIMO_LINKAGE JobDateTime : public CIMDateTime
{
public:
    // The zero interval: "now".
    JobDateTime() {}
    JobDateTime(const CIMDateTime& dateTime) : CIMDateTime(dateTime) {}

    // Engine time: a timestamp converted to UTC; an interval added to the engine's present time.
    MPU_TIME getMpuTime() const;
    // Before the engine's present time. An interval (a delay from now) is never in the past
    // unless it is zero.
    Boolean isInThePast() const;
};

PEGASUS_NAMESPACE_END

#endif
