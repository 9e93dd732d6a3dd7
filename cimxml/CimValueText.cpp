#include "CimValueText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <type_traits>

#include <Pegasus/Common/Exception.h>

#include "XmlDecodeSupport.h"

namespace cimhost
{

using namespace Pegasus;

namespace
{

const struct
{
    const char* name;
    CIMType type;
} typeNames[] = {
    {"boolean", CIMTYPE_BOOLEAN}, {"uint8", CIMTYPE_UINT8},       {"sint8", CIMTYPE_SINT8},
    {"uint16", CIMTYPE_UINT16},   {"sint16", CIMTYPE_SINT16},     {"uint32", CIMTYPE_UINT32},
    {"sint32", CIMTYPE_SINT32},   {"uint64", CIMTYPE_UINT64},     {"sint64", CIMTYPE_SINT64},
    {"real32", CIMTYPE_REAL32},   {"real64", CIMTYPE_REAL64},     {"char16", CIMTYPE_CHAR16},
    {"string", CIMTYPE_STRING},   {"datetime", CIMTYPE_DATETIME}, {"reference", CIMTYPE_REFERENCE},
};

ValueTextError badValue(const std::string& text, const char* typeName)
{
    // Quoted text is cut short so that a huge value cannot make a huge error message.
    const size_t shown = 64;
    std::string quoted = text.size() > shown ? text.substr(0, shown) + "..." : text;
    return ValueTextError("\"" + quoted + "\" is not a valid " + typeName + " value");
}

std::string_view trimmed(std::string_view text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool equalsIgnoringCase(std::string_view x, const char* y)
{
    const std::string_view other(y);
    if (x.size() != other.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
    {
        const char a = x[i] >= 'A' && x[i] <= 'Z' ? char(x[i] - 'A' + 'a') : x[i];
        const char b = other[i] >= 'A' && other[i] <= 'Z' ? char(other[i] - 'A' + 'a') : other[i];
        if (a != b) return false;
    }
    return true;
}

// Sign and magnitude, so both the sint64 and the uint64 range fit.
struct Integer
{
    bool negative = false;
    Uint64 magnitude = 0;
};

bool parseInteger(std::string_view text, Integer& result)
{
    text = trimmed(text);
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    {
        result.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars takes no sign for an unsigned target, so "--1" and "0x-1" fail here.
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, result.magnitude, base);
    return !text.empty() && error == std::errc() && stop == end;
}

template <class T> T integerFromText(const std::string& text, const char* typeName)
{
    Integer number;
    if (!parseInteger(text, number)) throw badValue(text, typeName);
    const Uint64 largest = Uint64(std::numeric_limits<T>::max());
    if (!number.negative)
    {
        if (number.magnitude > largest) throw badValue(text, typeName);
        return T(number.magnitude);
    }
    if constexpr (std::is_signed_v<T>)
    {
        if (number.magnitude > largest + 1) throw badValue(text, typeName);
        // Written so that the most negative value is formed without overflow.
        return number.magnitude == 0 ? T(0) : T(-Sint64(number.magnitude - 1) - 1);
    }
    if (number.magnitude != 0) throw badValue(text, typeName);
    return T(0);
}

template <class T> T realFromText(const std::string& text, const char* typeName)
{
    std::string_view digits = trimmed(text);
    if (equalsIgnoringCase(digits, "INF") || equalsIgnoringCase(digits, "+INF"))
        return std::numeric_limits<T>::infinity();
    if (equalsIgnoringCase(digits, "-INF")) return -std::numeric_limits<T>::infinity();
    if (equalsIgnoringCase(digits, "NaN")) return std::numeric_limits<T>::quiet_NaN();
    if (!digits.empty() && digits[0] == '+')
    {
        digits.remove_prefix(1);
        if (!digits.empty() && digits[0] == '-') throw badValue(text, typeName);
    }
    // from_chars would also take "inf", "nan" and friends in any spelling; only the names above count.
    if (digits.empty() || digits.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        throw badValue(text, typeName);
    T value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end) throw badValue(text, typeName);
    return value;
}

template <class T> struct Tag
{
    using type = T;
};

Boolean itemFromText(Tag<Boolean>, const std::string& text)
{
    return normalBooleanText(text) == "TRUE";
}
Uint8 itemFromText(Tag<Uint8>, const std::string& text)
{
    return integerFromText<Uint8>(text, "uint8");
}
Sint8 itemFromText(Tag<Sint8>, const std::string& text)
{
    return integerFromText<Sint8>(text, "sint8");
}
Uint16 itemFromText(Tag<Uint16>, const std::string& text)
{
    return integerFromText<Uint16>(text, "uint16");
}
Sint16 itemFromText(Tag<Sint16>, const std::string& text)
{
    return integerFromText<Sint16>(text, "sint16");
}
Uint32 itemFromText(Tag<Uint32>, const std::string& text)
{
    return integerFromText<Uint32>(text, "uint32");
}
Sint32 itemFromText(Tag<Sint32>, const std::string& text)
{
    return integerFromText<Sint32>(text, "sint32");
}
Uint64 itemFromText(Tag<Uint64>, const std::string& text)
{
    return integerFromText<Uint64>(text, "uint64");
}
Sint64 itemFromText(Tag<Sint64>, const std::string& text)
{
    return integerFromText<Sint64>(text, "sint64");
}
Real32 itemFromText(Tag<Real32>, const std::string& text)
{
    return realFromText<Real32>(text, "real32");
}
Real64 itemFromText(Tag<Real64>, const std::string& text)
{
    return realFromText<Real64>(text, "real64");
}

Char16 itemFromText(Tag<Char16>, const std::string& text)
{
    const String units = toPegasusString(text);
    if (units.size() != 1) throw badValue(text, "char16");
    return units[0];
}

String itemFromText(Tag<String>, const std::string& text)
{
    return toPegasusString(text);
}

CIMDateTime itemFromText(Tag<CIMDateTime>, const std::string& text)
{
    try
    {
        return CIMDateTime(toPegasusString(std::string(trimmed(text))));
    }
    catch (const Exception&)
    {
        throw badValue(text, "datetime");
    }
}

CIMObjectPath itemFromText(Tag<CIMObjectPath>, const std::string& text)
{
    const std::string_view path = trimmed(text);
    if (path.empty()) throw badValue(text, "reference");
    CIMObjectPath reference;
    try
    {
        reference = CIMObjectPath(toPegasusString(std::string(path)));
    }
    catch (const Exception&)
    {
        throw badValue(text, "reference");
    }
    // Text that parses to no class ("Id=") names nothing.
    if (reference.getClassName().isNull()) throw badValue(text, "reference");
    return reference;
}

// Calls action(Tag<T>()) with the C++ type that holds values of a text-borne CIM type.
template <class Action> CIMValue withTextType(CIMType type, Action&& action)
{
    switch (type)
    {
    case CIMTYPE_BOOLEAN:
        return action(Tag<Boolean>());
    case CIMTYPE_UINT8:
        return action(Tag<Uint8>());
    case CIMTYPE_SINT8:
        return action(Tag<Sint8>());
    case CIMTYPE_UINT16:
        return action(Tag<Uint16>());
    case CIMTYPE_SINT16:
        return action(Tag<Sint16>());
    case CIMTYPE_UINT32:
        return action(Tag<Uint32>());
    case CIMTYPE_SINT32:
        return action(Tag<Sint32>());
    case CIMTYPE_UINT64:
        return action(Tag<Uint64>());
    case CIMTYPE_SINT64:
        return action(Tag<Sint64>());
    case CIMTYPE_REAL32:
        return action(Tag<Real32>());
    case CIMTYPE_REAL64:
        return action(Tag<Real64>());
    case CIMTYPE_CHAR16:
        return action(Tag<Char16>());
    case CIMTYPE_STRING:
        return action(Tag<String>());
    case CIMTYPE_DATETIME:
        return action(Tag<CIMDateTime>());
    case CIMTYPE_REFERENCE:
        return action(Tag<CIMObjectPath>());
    case CIMTYPE_OBJECT:
    case CIMTYPE_INSTANCE:
        break;
    }
    throw ValueTextError("an embedded object value needs the EmbeddedObject attribute");
}

} // namespace

bool cimTypeFromName(const std::string& name, CIMType& type)
{
    for (const auto& entry : typeNames)
        if (name == entry.name)
        {
            type = entry.type;
            return true;
        }
    return false;
}

CIMValue scalarFromText(CIMType type, const std::string& text)
{
    return withTextType(type, [&](auto tag) { return CIMValue(itemFromText(tag, text)); });
}

CIMValue arrayFromTexts(CIMType type, const std::vector<std::string>& texts)
{
    return withTextType(type,
                        [&](auto tag)
                        {
                            Array<typename decltype(tag)::type> items;
                            items.reserveCapacity(Uint32(texts.size()));
                            for (const std::string& text : texts)
                                items.append(itemFromText(tag, text));
                            return CIMValue(items);
                        });
}

std::string normalIntegerText(const std::string& text)
{
    Integer number;
    if (!parseInteger(text, number) || (number.negative && number.magnitude > (Uint64(1) << 63)))
        throw badValue(text, "numeric");
    return (number.negative ? "-" : "") + std::to_string(number.magnitude);
}

std::string normalBooleanText(const std::string& text)
{
    const std::string_view word = trimmed(text);
    if (equalsIgnoringCase(word, "true")) return "TRUE";
    if (equalsIgnoringCase(word, "false")) return "FALSE";
    throw badValue(text, "boolean");
}

} // namespace cimhost
