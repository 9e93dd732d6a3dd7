#include "IndicationInstances.h"

#include <string>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMValue.h>
#include <KVELEngine.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{
// CIM timestamps count from 0000-01-01, engine time from 1970-01-01.
const Uint64 POSIX_EPOCH_IN_CIM_MICROS = PEGASUS_UINT64_LITERAL(62167219200000000);
const Uint16 CAUSE_OTHER = 1;
const Uint16 FORMAT_CIM_OBJECT_PATH = 2;

void add(CIMInstance& instance, const char* name, const CIMValue& value)
{
    instance.addProperty(CIMProperty(CIMName(name), value));
}

// Embedded as OpenPegasus providers embed them: an object holding the instance, path included,
// exactly as GetInstance gives it.
CIMValue embedded(const CIMInstance& instance)
{
    return CIMValue(CIMObject(instance));
}
} // namespace

CIMDateTime timestampOf(MPU_TIME time)
{
    return CIMDateTime(time + POSIX_EPOCH_IN_CIM_MICROS, false);
}

CIMIndication IndicationFactory::_indication(const char* className, MPU_TIME time)
{
    CIMIndication indication{CIMName(className)};
    const std::string identifier =
        std::string(KVELEngine::_ZarvoSystemNamePtr) + ":" + std::to_string(_next++);
    add(indication, "IndicationIdentifier", CIMValue(String(identifier.c_str())));
    add(indication, "IndicationTime", CIMValue(timestampOf(time)));
    return indication;
}

CIMIndication IndicationFactory::_about(const char* className, const CIMInstance& source, MPU_TIME time)
{
    CIMIndication indication = _indication(className, time);
    add(indication, "SourceInstance", embedded(source));
    add(indication, "SourceInstanceModelPath", CIMValue(source.getPath().toString()));
    add(indication, "SourceInstanceHost", CIMValue(String(KVELEngine::_ZarvoHostNamePtr)));
    return indication;
}

CIMIndication IndicationFactory::creation(const CIMInstance& source, MPU_TIME time)
{
    return _about("CIM_InstCreation", source, time);
}

CIMIndication IndicationFactory::deletion(const CIMInstance& source, MPU_TIME time)
{
    return _about("CIM_InstDeletion", source, time);
}

CIMIndication IndicationFactory::modification(const CIMInstance& source, const CIMInstance& previous,
                                              MPU_TIME time)
{
    CIMIndication indication = _about("CIM_InstModification", source, time);
    add(indication, "PreviousInstance", embedded(previous));
    return indication;
}

CIMIndication IndicationFactory::alert(const Alert& alert, MPU_TIME time)
{
    CIMIndication indication = _indication("CIM_AlertIndication", time);
    add(indication, "AlertType", CIMValue(Uint16(alert.type)));
    add(indication, "PerceivedSeverity", CIMValue(Uint16(alert.severity)));
    add(indication, "Description", CIMValue(alert.description));
    add(indication, "AlertingManagedElement", CIMValue(alert.element.toString()));
    add(indication, "AlertingElementFormat", CIMValue(FORMAT_CIM_OBJECT_PATH));
    add(indication, "ProbableCause", CIMValue(CAUSE_OTHER));
    add(indication, "ProbableCauseDescription", CIMValue(alert.probableCause));
    if (alert.type == ALERT_OTHER) add(indication, "OtherAlertType", CIMValue(String("Array event")));
    if (alert.eventID.size() != 0) add(indication, "EventID", CIMValue(alert.eventID));
    add(indication, "EventTime", CIMValue(timestampOf(alert.eventTime != 0 ? alert.eventTime : time)));
    add(indication, "SystemCreationClassName", CIMValue(String("CIM_ComputerSystem")));
    add(indication, "SystemName", CIMValue(String(KVELEngine::_ZarvoSystemNamePtr)));
    add(indication, "ProviderName", CIMValue(String("ArrayIndicationProvider")));
    return indication;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
