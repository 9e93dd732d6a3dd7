#include "MethodResult.h"

#include <cstdlib>

#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMQualifier.h>

#include "Failures.h"
#include "InstanceFields.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

Array<String> stringsQualifier(const CIMConstMethod& method, const char* name)
{
    Array<String> strings;
    const Uint32 index = method.findQualifier(CIMName(name));
    if (index == PEG_NOT_FOUND) return strings;
    const CIMValue value = method.getQualifier(index).getValue();
    if (!value.isNull() && value.isArray() && value.getType() == CIMTYPE_STRING) value.get(strings);
    return strings;
}

// "5" or "4097..32767" (either end may be missing); ".." alone matches nothing here.
bool mapEntryMatches(const std::string& entry, std::uint64_t value)
{
    const size_t dots = entry.find("..");
    if (dots == std::string::npos)
        return !entry.empty() && std::strtoull(entry.c_str(), nullptr, 10) == value &&
               entry.find_first_not_of("0123456789") == std::string::npos;
    if (entry == "..") return false;
    const std::string low = entry.substr(0, dots), high = entry.substr(dots + 2);
    return (low.empty() || std::strtoull(low.c_str(), nullptr, 10) <= value) &&
           (high.empty() || value <= std::strtoull(high.c_str(), nullptr, 10));
}

std::int64_t integerOf(const CIMValue& value)
{
    if (value.isNull() || value.isArray()) return -1;
    if (value.getType() == CIMTYPE_SINT32)
    {
        Sint32 number;
        value.get(number);
        return number;
    }
    if (value.getType() == CIMTYPE_UINT32)
    {
        Uint32 number;
        value.get(number);
        return number;
    }
    return -1;
}

} // namespace

std::string returnValueText(const CIMConstClass& cimClass, const std::string& method, std::uint64_t value)
{
    const Uint32 index = cimClass.findMethod(CIMName(method.c_str()));
    if (index == PEG_NOT_FOUND) return "";
    const CIMConstMethod declaration = cimClass.getMethod(index);
    const Array<String> map = stringsQualifier(declaration, "ValueMap");
    const Array<String> values = stringsQualifier(declaration, "Values");
    for (Uint32 i = 0; i < map.size() && i < values.size(); ++i)
        if (mapEntryMatches(utf8(map[i]), value)) return utf8(values[i]);
    return "";
}

MethodOutcome judgeReturn(CimClient& client, const CIMObjectPath& target, const std::string& method,
                          const MethodAnswer& answer)
{
    const std::int64_t code = integerOf(answer.returnValue);
    if (code == 0) return MethodOutcome::Done;
    if (code == 4096) return MethodOutcome::JobStarted;
    if (code < 0) throw Failure(ExitRefused, method + " returned no status");
    std::string text;
    try
    {
        text = returnValueText(client.getClass(utf8(target.getClassName().getString())), method,
                               std::uint64_t(code));
    }
    catch (const Failure&)
    {
        // The failure is reported all the same, without its text.
    }
    throw Failure(ExitRefused,
                  method + " returned " + std::to_string(code) + (text.empty() ? "" : " (" + text + ")"));
}

} // namespace scsctl
