#include "MofLiteral.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/Exception.h>

#include "NameKey.h"

namespace cimhost
{

using Pegasus::CIMType;
using Pegasus::CIMValue;

namespace
{

std::string describe(const MofLiteral& literal)
{
    switch (literal.kind)
    {
    case MofLiteral::Kind::Null:
        return "null";
    case MofLiteral::Kind::Boolean:
        return literal.boolean ? "TRUE" : "FALSE";
    case MofLiteral::Kind::Integer:
        return (literal.negative ? "-" : "") + std::to_string(literal.magnitude);
    case MofLiteral::Kind::Real:
        return std::to_string(literal.real);
    case MofLiteral::Kind::String:
        return "\"" + utf8(literal.text) + "\"";
    case MofLiteral::Kind::Char16:
        return "'" + utf8(literal.text) + "'";
    case MofLiteral::Kind::Array:
        return "an array";
    }
    return "a value";
}

[[noreturn]] void mismatch(const MofLiteral& literal, CIMType type)
{
    throw MofValueError("value " + describe(literal) + " does not fit type " +
                        Pegasus::cimTypeToString(type));
}

template <class T> T integerValue(const MofLiteral& literal, CIMType type)
{
    if (literal.kind != MofLiteral::Kind::Integer) mismatch(literal, type);
    if (literal.negative && literal.magnitude != 0)
    {
        // Largest magnitude a negative T can take: -(min) as unsigned.
        std::uint64_t limit = 0;
        if constexpr (std::is_signed_v<T>)
            limit = static_cast<std::uint64_t>(std::numeric_limits<T>::max()) + 1;
        if (literal.magnitude > limit) mismatch(literal, type);
        return static_cast<T>(-static_cast<std::int64_t>(literal.magnitude - 1) - 1);
    }
    if (literal.magnitude > static_cast<std::uint64_t>(std::numeric_limits<T>::max()))
        mismatch(literal, type);
    return static_cast<T>(literal.magnitude);
}

template <class T> T realValue(const MofLiteral& literal, CIMType type)
{
    double value = 0;
    if (literal.kind == MofLiteral::Kind::Real)
        value = literal.real;
    else if (literal.kind == MofLiteral::Kind::Integer)
        value = literal.negative ? -static_cast<double>(literal.magnitude)
                                 : static_cast<double>(literal.magnitude);
    else
        mismatch(literal, type);
    if (std::is_same_v<T, float> && std::fabs(value) > std::numeric_limits<float>::max())
        mismatch(literal, type);
    return static_cast<T>(value);
}

const Pegasus::String& stringValue(const MofLiteral& literal, CIMType type)
{
    if (literal.kind != MofLiteral::Kind::String) mismatch(literal, type);
    return literal.text;
}

bool booleanValue(const MofLiteral& literal, CIMType type)
{
    if (literal.kind != MofLiteral::Kind::Boolean) mismatch(literal, type);
    return literal.boolean;
}

// A one-character string is taken as a char16 too, as some MOF writes them that way.
Pegasus::Char16 char16Value(const MofLiteral& literal, CIMType type)
{
    const bool oneUnit = literal.text.size() == 1;
    if (!oneUnit || (literal.kind != MofLiteral::Kind::Char16 && literal.kind != MofLiteral::Kind::String))
        mismatch(literal, type);
    return literal.text[0];
}

Pegasus::CIMDateTime dateTimeValue(const MofLiteral& literal, CIMType type)
{
    const Pegasus::String& text = stringValue(literal, type);
    try
    {
        return Pegasus::CIMDateTime(text);
    }
    catch (const Pegasus::Exception&)
    {
        throw MofValueError("invalid datetime value \"" + utf8(text) + "\"");
    }
}

Pegasus::CIMObjectPath referenceValue(const MofLiteral& literal, CIMType type)
{
    const Pegasus::String& text = stringValue(literal, type);
    try
    {
        Pegasus::CIMObjectPath path(text);
        if (path.getClassName().isNull()) throw Pegasus::Exception("no class");
        return path;
    }
    catch (const Pegasus::Exception&)
    {
        throw MofValueError("invalid object path \"" + utf8(text) + "\"");
    }
}

// Converts a scalar or each element of an array with the same element conversion.
template <class T, class Convert> CIMValue convert(const MofLiteral& literal, bool isArray, Convert element)
{
    if (!isArray)
    {
        if (literal.kind == MofLiteral::Kind::Array)
            throw MofValueError("expected a single value, not an array");
        return CIMValue(element(literal));
    }
    if (literal.kind != MofLiteral::Kind::Array) throw MofValueError("expected an array value {...}");
    Pegasus::Array<T> values;
    values.reserveCapacity(static_cast<Pegasus::Uint32>(literal.elements.size()));
    for (const MofLiteral& item : literal.elements)
    {
        if (item.kind == MofLiteral::Kind::Array) throw MofValueError("nested arrays are not allowed");
        if (item.kind == MofLiteral::Kind::Null)
            throw MofValueError("null is not allowed as an array element");
        values.append(element(item));
    }
    return CIMValue(values);
}

} // namespace

bool cimTypeFromMof(const std::string& word, CIMType& type)
{
    static const struct
    {
        const char* name;
        CIMType type;
    } types[] = {{"boolean", Pegasus::CIMTYPE_BOOLEAN}, {"uint8", Pegasus::CIMTYPE_UINT8},
                 {"sint8", Pegasus::CIMTYPE_SINT8},     {"uint16", Pegasus::CIMTYPE_UINT16},
                 {"sint16", Pegasus::CIMTYPE_SINT16},   {"uint32", Pegasus::CIMTYPE_UINT32},
                 {"sint32", Pegasus::CIMTYPE_SINT32},   {"uint64", Pegasus::CIMTYPE_UINT64},
                 {"sint64", Pegasus::CIMTYPE_SINT64},   {"real32", Pegasus::CIMTYPE_REAL32},
                 {"real64", Pegasus::CIMTYPE_REAL64},   {"char16", Pegasus::CIMTYPE_CHAR16},
                 {"string", Pegasus::CIMTYPE_STRING},   {"datetime", Pegasus::CIMTYPE_DATETIME}};
    const std::string key = nameKey(Pegasus::String(word.c_str()));
    for (const auto& entry : types)
    {
        if (key == entry.name)
        {
            type = entry.type;
            return true;
        }
    }
    return false;
}

CIMValue toCIMValue(const MofLiteral& literal, CIMType type, bool isArray)
{
    if (literal.kind == MofLiteral::Kind::Null) return CIMValue(type, isArray);
    switch (type)
    {
    case Pegasus::CIMTYPE_BOOLEAN:
        return convert<Pegasus::Boolean>(literal, isArray,
                                         [type](const MofLiteral& l) { return booleanValue(l, type); });
    case Pegasus::CIMTYPE_UINT8:
        return convert<Pegasus::Uint8>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Uint8>(l, type); });
    case Pegasus::CIMTYPE_SINT8:
        return convert<Pegasus::Sint8>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Sint8>(l, type); });
    case Pegasus::CIMTYPE_UINT16:
        return convert<Pegasus::Uint16>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Uint16>(l, type); });
    case Pegasus::CIMTYPE_SINT16:
        return convert<Pegasus::Sint16>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Sint16>(l, type); });
    case Pegasus::CIMTYPE_UINT32:
        return convert<Pegasus::Uint32>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Uint32>(l, type); });
    case Pegasus::CIMTYPE_SINT32:
        return convert<Pegasus::Sint32>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Sint32>(l, type); });
    case Pegasus::CIMTYPE_UINT64:
        return convert<Pegasus::Uint64>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Uint64>(l, type); });
    case Pegasus::CIMTYPE_SINT64:
        return convert<Pegasus::Sint64>(
            literal, isArray, [type](const MofLiteral& l) { return integerValue<Pegasus::Sint64>(l, type); });
    case Pegasus::CIMTYPE_REAL32:
        return convert<Pegasus::Real32>(
            literal, isArray, [type](const MofLiteral& l) { return realValue<Pegasus::Real32>(l, type); });
    case Pegasus::CIMTYPE_REAL64:
        return convert<Pegasus::Real64>(
            literal, isArray, [type](const MofLiteral& l) { return realValue<Pegasus::Real64>(l, type); });
    case Pegasus::CIMTYPE_CHAR16:
        return convert<Pegasus::Char16>(literal, isArray,
                                        [type](const MofLiteral& l) { return char16Value(l, type); });
    case Pegasus::CIMTYPE_STRING:
        return convert<Pegasus::String>(literal, isArray,
                                        [type](const MofLiteral& l) { return stringValue(l, type); });
    case Pegasus::CIMTYPE_DATETIME:
        return convert<Pegasus::CIMDateTime>(literal, isArray,
                                             [type](const MofLiteral& l) { return dateTimeValue(l, type); });
    case Pegasus::CIMTYPE_REFERENCE:
        return convert<Pegasus::CIMObjectPath>(
            literal, isArray, [type](const MofLiteral& l) { return referenceValue(l, type); });
    default:
        throw MofValueError(std::string("values of type ") + Pegasus::cimTypeToString(type) +
                            " cannot be written in MOF here");
    }
}

void inferCIMType(const MofLiteral& literal, CIMType& type, bool& isArray)
{
    isArray = literal.kind == MofLiteral::Kind::Array;
    const MofLiteral* sample = &literal;
    if (isArray)
    {
        if (literal.elements.empty())
        {
            type = Pegasus::CIMTYPE_STRING;
            return;
        }
        sample = &literal.elements.front();
    }
    switch (sample->kind)
    {
    case MofLiteral::Kind::Boolean:
        type = Pegasus::CIMTYPE_BOOLEAN;
        break;
    case MofLiteral::Kind::Integer:
        type = !sample->negative && sample->magnitude >
                                        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                   ? Pegasus::CIMTYPE_UINT64
                   : Pegasus::CIMTYPE_SINT64;
        break;
    case MofLiteral::Kind::Real:
        type = Pegasus::CIMTYPE_REAL64;
        break;
    case MofLiteral::Kind::Char16:
        type = Pegasus::CIMTYPE_CHAR16;
        break;
    default:
        type = Pegasus::CIMTYPE_STRING;
        break;
    }
}

} // namespace cimhost
