// Reading properties of an instance the way the commands need them: absent or null is nothing.
#ifndef SCSCTL_InstanceFields_h
#define SCSCTL_InstanceFields_h

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMInstance.h>

namespace scsctl
{

std::optional<std::string> stringField(const Pegasus::CIMConstInstance& instance, const char* name);
// Any unsigned or signed integer type; negative values are nothing.
std::optional<std::uint64_t> numberField(const Pegasus::CIMConstInstance& instance, const char* name);
std::optional<bool> booleanField(const Pegasus::CIMConstInstance& instance, const char* name);
std::vector<std::uint64_t> numberArrayField(const Pegasus::CIMConstInstance& instance, const char* name);
// Whole seconds of an interval date-time.
std::optional<std::uint64_t> intervalSeconds(const Pegasus::CIMConstInstance& instance, const char* name);
// A time stamp as "2099-01-04 02:00:00 UTC" (other offsets in minutes); an interval as sent.
std::optional<std::string> dateTimeText(const Pegasus::CIMConstInstance& instance, const char* name);

std::string utf8(const Pegasus::String& text);

} // namespace scsctl

#endif
