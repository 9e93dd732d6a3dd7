#include "InstanceFields.h"

#include <cstdlib>

#include <Pegasus/Common/CIMDateTime.h>

namespace scsctl
{

using namespace Pegasus;

namespace
{

CIMValue fieldValue(const CIMConstInstance& instance, const char* name)
{
    const Uint32 index = instance.findProperty(CIMName(name));
    if (index == PEG_NOT_FOUND) return CIMValue();
    return instance.getProperty(index).getValue();
}

template <class T> std::optional<std::uint64_t> unsignedOf(const CIMValue& value)
{
    T number;
    value.get(number);
    if (number < 0) return std::nullopt;
    return std::uint64_t(number);
}

std::optional<std::uint64_t> numberOf(const CIMValue& value)
{
    switch (value.getType())
    {
    case CIMTYPE_UINT8:
        return unsignedOf<Uint8>(value);
    case CIMTYPE_SINT8:
        return unsignedOf<Sint8>(value);
    case CIMTYPE_UINT16:
        return unsignedOf<Uint16>(value);
    case CIMTYPE_SINT16:
        return unsignedOf<Sint16>(value);
    case CIMTYPE_UINT32:
        return unsignedOf<Uint32>(value);
    case CIMTYPE_SINT32:
        return unsignedOf<Sint32>(value);
    case CIMTYPE_UINT64:
        return unsignedOf<Uint64>(value);
    case CIMTYPE_SINT64:
        return unsignedOf<Sint64>(value);
    default:
        return std::nullopt;
    }
}

} // namespace

std::string utf8(const String& text)
{
    return static_cast<const char*>(text.getCString());
}

std::optional<std::string> stringField(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    if (value.isNull() || value.isArray() || value.getType() != CIMTYPE_STRING) return std::nullopt;
    String text;
    value.get(text);
    return utf8(text);
}

std::optional<std::uint64_t> numberField(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    if (value.isNull() || value.isArray()) return std::nullopt;
    return numberOf(value);
}

std::optional<bool> booleanField(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    if (value.isNull() || value.isArray() || value.getType() != CIMTYPE_BOOLEAN) return std::nullopt;
    Boolean flag;
    value.get(flag);
    return bool(flag);
}

std::vector<std::uint64_t> numberArrayField(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    std::vector<std::uint64_t> numbers;
    if (value.isNull() || !value.isArray()) return numbers;
    if (value.getType() == CIMTYPE_UINT16)
    {
        Array<Uint16> items;
        value.get(items);
        for (Uint32 i = 0; i < items.size(); ++i)
            numbers.push_back(items[i]);
    }
    return numbers;
}

std::optional<std::uint64_t> intervalSeconds(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    if (value.isNull() || value.isArray() || value.getType() != CIMTYPE_DATETIME) return std::nullopt;
    CIMDateTime time;
    value.get(time);
    if (!time.isInterval()) return std::nullopt;
    return time.toMicroSeconds() / 1000000;
}

std::optional<std::string> dateTimeText(const CIMConstInstance& instance, const char* name)
{
    const CIMValue value = fieldValue(instance, name);
    if (value.isNull() || value.isArray() || value.getType() != CIMTYPE_DATETIME) return std::nullopt;
    CIMDateTime time;
    value.get(time);
    const std::string text = utf8(time.toString());
    if (time.isInterval() || text.size() < 25) return text;
    // yyyymmddhhmmss.mmmmmmsutc -> yyyy-mm-dd hh:mm:ss +utc minutes
    const int offset = std::stoi(text.substr(22, 3)) * (text[21] == '-' ? -1 : 1);
    std::string zone =
        offset == 0 ? "UTC" : (offset > 0 ? "+" : "-") + std::to_string(std::abs(offset)) + "min";
    return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2) + " " + text.substr(8, 2) +
           ":" + text.substr(10, 2) + ":" + text.substr(12, 2) + " " + zone;
}

} // namespace scsctl
