#include "ValueFromText.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/Exception.h>

namespace cimhost
{

namespace
{

using Pegasus::String;

std::string utf8(const String& text)
{
    return std::string(text.getCString());
}

// Whitespace around a number or a boolean is XML layout, not part of the value.
std::string trimmed(const std::string& text)
{
    const char* space = " \t\r\n";
    size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

[[noreturn]] void refuse(const std::string& text, Pegasus::CIMType type)
{
    throw ValueConversionError("\"" + text + "\" is not a valid " + Pegasus::cimTypeToString(type));
}

struct ParsedInteger
{
    bool negative = false;
    Pegasus::Uint64 magnitude = 0;
};

bool parseInteger(const std::string& text, ParsedInteger& out)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
    unsigned base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
    {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    Pegasus::Uint64 value = 0;
    for (; i < text.size(); ++i)
    {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return false;
        if (value > (std::numeric_limits<Pegasus::Uint64>::max() - digit) / base) return false;
        value = value * base + digit;
    }
    out.magnitude = value;
    return true;
}

template <class T> T integerFromText(const std::string& raw, Pegasus::CIMType type)
{
    std::string text = trimmed(raw);
    ParsedInteger parsed;
    if (!parseInteger(text, parsed)) refuse(raw, type);
    using Limits = std::numeric_limits<T>;
    if (Limits::is_signed)
    {
        Pegasus::Uint64 maxMagnitude = Pegasus::Uint64(Limits::max()) + (parsed.negative ? 1 : 0);
        if (parsed.magnitude > maxMagnitude) refuse(raw, type);
        if (!parsed.negative) return T(parsed.magnitude);
        // Two's complement negation done in unsigned arithmetic keeps the minimum representable.
        return T(Pegasus::Sint64(Pegasus::Uint64(0) - parsed.magnitude));
    }
    if ((parsed.negative && parsed.magnitude != 0) || parsed.magnitude > Pegasus::Uint64(Limits::max()))
        refuse(raw, type);
    return T(parsed.magnitude);
}

double realFromText(const std::string& raw, Pegasus::CIMType type)
{
    std::string text = trimmed(raw);
    if (text.empty()) refuse(raw, type);
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || (errno == ERANGE && std::isinf(value))) refuse(raw, type);
    if (type == Pegasus::CIMTYPE_REAL32 && std::isfinite(value) && std::fabs(value) > double(FLT_MAX))
        refuse(raw, type);
    return value;
}

bool booleanFromText(const std::string& raw)
{
    String text(trimmed(raw).c_str());
    if (String::equalNoCase(text, "TRUE")) return true;
    if (String::equalNoCase(text, "FALSE")) return false;
    refuse(raw, Pegasus::CIMTYPE_BOOLEAN);
}

Pegasus::Char16 char16FromText(const String& text)
{
    if (text.size() != 1) refuse(utf8(text), Pegasus::CIMTYPE_CHAR16);
    return text[0];
}

Pegasus::CIMDateTime dateTimeFromText(const String& text)
{
    try
    {
        return Pegasus::CIMDateTime(String(trimmed(utf8(text)).c_str()));
    }
    catch (const Pegasus::Exception&)
    {
        refuse(utf8(text), Pegasus::CIMTYPE_DATETIME);
    }
}

Pegasus::CIMObjectPath referenceFromText(const String& text)
{
    try
    {
        Pegasus::CIMObjectPath path(String(trimmed(utf8(text)).c_str()));
        if (!path.getClassName().isNull()) return path;
    }
    catch (const Pegasus::Exception&)
    {
    }
    refuse(utf8(text), Pegasus::CIMTYPE_REFERENCE);
}

// One element: T is the C++ type the CIM type maps to.
template <class T> T elementFromText(const String& text, Pegasus::CIMType type);

#define CIMHOST_INTEGER_ELEMENT(T)                                                                           \
    template <> T elementFromText<T>(const String& text, Pegasus::CIMType type)                              \
    {                                                                                                        \
        return integerFromText<T>(utf8(text), type);                                                         \
    }
CIMHOST_INTEGER_ELEMENT(Pegasus::Uint8)
CIMHOST_INTEGER_ELEMENT(Pegasus::Sint8)
CIMHOST_INTEGER_ELEMENT(Pegasus::Uint16)
CIMHOST_INTEGER_ELEMENT(Pegasus::Sint16)
CIMHOST_INTEGER_ELEMENT(Pegasus::Uint32)
CIMHOST_INTEGER_ELEMENT(Pegasus::Sint32)
CIMHOST_INTEGER_ELEMENT(Pegasus::Uint64)
CIMHOST_INTEGER_ELEMENT(Pegasus::Sint64)
#undef CIMHOST_INTEGER_ELEMENT

template <> Pegasus::Boolean elementFromText<Pegasus::Boolean>(const String& text, Pegasus::CIMType)
{
    return booleanFromText(utf8(text));
}
template <> Pegasus::Real32 elementFromText<Pegasus::Real32>(const String& text, Pegasus::CIMType type)
{
    return Pegasus::Real32(realFromText(utf8(text), type));
}
template <> Pegasus::Real64 elementFromText<Pegasus::Real64>(const String& text, Pegasus::CIMType type)
{
    return realFromText(utf8(text), type);
}
template <> Pegasus::Char16 elementFromText<Pegasus::Char16>(const String& text, Pegasus::CIMType)
{
    return char16FromText(text);
}
template <> Pegasus::CIMDateTime elementFromText<Pegasus::CIMDateTime>(const String& text, Pegasus::CIMType)
{
    return dateTimeFromText(text);
}
template <>
Pegasus::CIMObjectPath elementFromText<Pegasus::CIMObjectPath>(const String& text, Pegasus::CIMType)
{
    return referenceFromText(text);
}

template <class T>
Pegasus::CIMValue convert(const Pegasus::CIMValue& untyped, Pegasus::CIMType type, bool isArray)
{
    if (isArray)
    {
        Pegasus::Array<String> texts;
        untyped.get(texts);
        Pegasus::Array<T> values;
        values.reserveCapacity(texts.size());
        for (Pegasus::Uint32 i = 0; i < texts.size(); ++i)
            values.append(elementFromText<T>(texts[i], type));
        return Pegasus::CIMValue(values);
    }
    String text;
    untyped.get(text);
    return Pegasus::CIMValue(elementFromText<T>(text, type));
}

} // namespace

Pegasus::CIMValue valueFromText(const Pegasus::CIMValue& untyped, Pegasus::CIMType type, bool isArray)
{
    if (untyped.isNull()) return Pegasus::CIMValue(type, isArray);
    if (untyped.getType() != Pegasus::CIMTYPE_STRING)
        throw ValueConversionError(std::string("a ") + Pegasus::cimTypeToString(untyped.getType()) +
                                   " value cannot be read as text");
    if (untyped.isArray() != isArray)
        throw ValueConversionError(isArray ? "an array is expected, not a single value"
                                           : "a single value is expected, not an array");
    switch (type)
    {
    case Pegasus::CIMTYPE_BOOLEAN:
        return convert<Pegasus::Boolean>(untyped, type, isArray);
    case Pegasus::CIMTYPE_UINT8:
        return convert<Pegasus::Uint8>(untyped, type, isArray);
    case Pegasus::CIMTYPE_SINT8:
        return convert<Pegasus::Sint8>(untyped, type, isArray);
    case Pegasus::CIMTYPE_UINT16:
        return convert<Pegasus::Uint16>(untyped, type, isArray);
    case Pegasus::CIMTYPE_SINT16:
        return convert<Pegasus::Sint16>(untyped, type, isArray);
    case Pegasus::CIMTYPE_UINT32:
        return convert<Pegasus::Uint32>(untyped, type, isArray);
    case Pegasus::CIMTYPE_SINT32:
        return convert<Pegasus::Sint32>(untyped, type, isArray);
    case Pegasus::CIMTYPE_UINT64:
        return convert<Pegasus::Uint64>(untyped, type, isArray);
    case Pegasus::CIMTYPE_SINT64:
        return convert<Pegasus::Sint64>(untyped, type, isArray);
    case Pegasus::CIMTYPE_REAL32:
        return convert<Pegasus::Real32>(untyped, type, isArray);
    case Pegasus::CIMTYPE_REAL64:
        return convert<Pegasus::Real64>(untyped, type, isArray);
    case Pegasus::CIMTYPE_CHAR16:
        return convert<Pegasus::Char16>(untyped, type, isArray);
    case Pegasus::CIMTYPE_STRING:
        return untyped;
    case Pegasus::CIMTYPE_DATETIME:
        return convert<Pegasus::CIMDateTime>(untyped, type, isArray);
    case Pegasus::CIMTYPE_REFERENCE:
        return convert<Pegasus::CIMObjectPath>(untyped, type, isArray);
    case Pegasus::CIMTYPE_OBJECT:
    case Pegasus::CIMTYPE_INSTANCE:
        break;
    }
    throw ValueConversionError(std::string("a ") + Pegasus::cimTypeToString(type) +
                               " value cannot be given as text");
}

} // namespace cimhost
