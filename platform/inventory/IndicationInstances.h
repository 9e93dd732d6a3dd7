// The indications the array's indication provider delivers: instance creation, modification and
// deletion with the instance embedded whole, and alerts. Each gets an IndicationIdentifier of its
// own and the engine time of the change as IndicationTime.
#ifndef INVENTORY_IndicationInstances_h
#define INVENTORY_IndicationInstances_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMIndication.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/String.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

// CIM_AlertIndication values this module uses.
enum AlertType : Uint16
{
    ALERT_OTHER = 1,
    ALERT_PROCESSING_ERROR = 4,
    ALERT_DEVICE = 5
};
enum Severity : Uint16
{
    SEVERITY_INFORMATION = 2,
    SEVERITY_WARNING = 3,
    SEVERITY_MINOR = 4,
    SEVERITY_MAJOR = 5
};

struct Alert
{
    AlertType type = ALERT_OTHER;
    Severity severity = SEVERITY_INFORMATION;
    String description;
    CIMObjectPath element;  // the alerting managed element
    String probableCause;   // ProbableCause is 1 (Other); this is ProbableCauseDescription
    String eventID;         // empty: none
    MPU_TIME eventTime = 0; // 0: the indication's time
};

class IndicationFactory
{
public:
    // Identifiers count up from firstNumber, prefixed with the array's system name.
    explicit IndicationFactory(Uint64 firstNumber) : _next(firstNumber) {}

    CIMIndication creation(const CIMInstance& source, MPU_TIME time);
    CIMIndication deletion(const CIMInstance& source, MPU_TIME time);
    CIMIndication modification(const CIMInstance& source, const CIMInstance& previous, MPU_TIME time);
    CIMIndication alert(const Alert& alert, MPU_TIME time);

private:
    CIMIndication _indication(const char* className, MPU_TIME time);
    CIMIndication _about(const char* className, const CIMInstance& source, MPU_TIME time);

    Uint64 _next;
};

// A CIM timestamp (UTC) of an engine time.
CIMDateTime timestampOf(MPU_TIME time);

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
