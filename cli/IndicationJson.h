// An indication as one JSON object for scsctl watch --json: when it arrived, its kind and class,
// every property with its value typed as JSON types it (numbers, booleans, strings; date-times and
// references as their text), embedded instances as objects of their own, and for a modification
// the names of the properties that changed.
#ifndef SCSCTL_IndicationJson_h
#define SCSCTL_IndicationJson_h

#include <string>

#include <nlohmann/json.hpp>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMValue.h>

namespace scsctl
{

nlohmann::ordered_json valueJson(const Pegasus::CIMValue& value);

// {"class": ..., "properties": {...}}
nlohmann::ordered_json instanceJson(const Pegasus::CIMConstInstance& instance);

// received: when it arrived, as the caller writes it (scsctl: ISO 8601 UTC).
nlohmann::ordered_json indicationJson(const Pegasus::CIMConstInstance& indication,
                                      const std::string& received);

} // namespace scsctl

#endif
