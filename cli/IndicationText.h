// What scsctl watch prints of an indication: its kind, the instance it is about, what changed,
// and which of --jobs, --volumes and --alerts it belongs to. One line each for people; for
// scripts a JSON object with every property (IndicationJson.h).
#ifndef SCSCTL_IndicationText_h
#define SCSCTL_IndicationText_h

#include <string>
#include <vector>

#include <Pegasus/Common/CIMInstance.h>

namespace scsctl
{

enum class IndicationTopic
{
    Job,
    Volume,
    Alert,
    Other
};

IndicationTopic topicOf(const Pegasus::CIMConstInstance& indication);

// "created", "modified", "deleted", "alert", or "indication" for another class.
std::string indicationKind(const Pegasus::CIMConstInstance& indication);

// The embedded instance a property holds (SourceInstance, PreviousInstance), or an uninitialized one.
Pegasus::CIMConstInstance embeddedInstance(const Pegasus::CIMConstInstance& indication, const char* name);

// The names of the properties of the new instance whose values differ from the previous one's.
std::vector<std::string> changedProperties(const Pegasus::CIMConstInstance& previous,
                                           const Pegasus::CIMConstInstance& current);

// Each property whose value differs between the two, in the order of the new instance, as
// "JobState Running -> Completed" (job states and operational status in words). Clocks that move
// with every change (ElapsedTime, TimeOfLastStateChange) are left out unless nothing else changed.
std::vector<std::string> changesBetween(const Pegasus::CIMConstInstance& previous,
                                        const Pegasus::CIMConstInstance& current);

// "HH:MM:SS modified  CIM_ConcreteJob 3600000100000001 "name"  JobState Running -> Completed"; the
// time is the caller's (when it arrived).
std::string indicationLine(const Pegasus::CIMConstInstance& indication, const std::string& time);

} // namespace scsctl

#endif
