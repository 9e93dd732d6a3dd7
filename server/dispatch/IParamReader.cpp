#include "IParamReader.h"

#include <string>
#include <string_view>

#include <strings.h>

namespace cimhost
{

namespace
{

bool isAscii(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80) return false;
    return true;
}

Pegasus::String toString(std::string_view text)
{
    return Pegasus::String(text.data(), Pegasus::Uint32(text.size()));
}

std::string_view trimmed(std::string_view text)
{
    const char* space = " \t\r\n";
    size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

} // namespace

bool sameName(const std::string& a, const char* b)
{
    if (isAscii(a.c_str()) && isAscii(b)) return ::strcasecmp(a.c_str(), b) == 0;
    return Pegasus::String::equalNoCase(Pegasus::String(a.c_str()), Pegasus::String(b));
}

Pegasus::CIMException invalidParameter(const char* name, const char* problem)
{
    return Pegasus::CIMException(Pegasus::CIM_ERR_INVALID_PARAMETER,
                                 (std::string("parameter ") + name + ": " + problem).c_str());
}

IParamReader::IParamReader(const CimRequest& request, std::initializer_list<const char*> accepted)
    : _request(request)
{
    for (size_t i = 0; i < request.iparams.size(); ++i)
    {
        const std::string& name = request.iparams[i].name;
        bool known = false;
        for (const char* candidate : accepted)
            known = known || sameName(name, candidate);
        if (!known) throw invalidParameter(name.c_str(), "not a parameter of this operation");
        for (size_t j = 0; j < i; ++j)
            if (sameName(request.iparams[j].name, name.c_str()))
                throw invalidParameter(name.c_str(), "given more than once");
    }
}

const IParamValue* IParamReader::find(const char* name) const
{
    for (const IParam& param : _request.iparams)
        if (sameName(param.name, name)) return param.value.kind == IParamValue::Null ? nullptr : &param.value;
    return nullptr;
}

const IParamValue& IParamReader::required(const char* name) const
{
    const IParamValue* value = find(name);
    if (!value) throw invalidParameter(name, "missing");
    return *value;
}

bool IParamReader::flag(const char* name, bool defaultValue) const
{
    const IParamValue* value = find(name);
    if (!value) return defaultValue;
    if (value->kind == IParamValue::Text)
    {
        // Read in place, as ASCII: most requests carry three flags.
        const std::string_view text = trimmed(value->text);
        if (text.size() == 4 && ::strncasecmp(text.data(), "TRUE", 4) == 0) return true;
        if (text.size() == 5 && ::strncasecmp(text.data(), "FALSE", 5) == 0) return false;
    }
    throw invalidParameter(name, "TRUE or FALSE expected");
}

Pegasus::CIMName IParamReader::className(const char* name, bool isRequired) const
{
    const IParamValue* value = isRequired ? &required(name) : find(name);
    if (!value) return Pegasus::CIMName();
    if (value->kind != IParamValue::ClassName || value->className.isNull())
        throw invalidParameter(name, "a class name expected");
    return value->className;
}

Pegasus::CIMObjectPath IParamReader::instanceName(const char* name) const
{
    const IParamValue& value = required(name);
    if (value.kind != IParamValue::ObjectPath || value.path.getClassName().isNull())
        throw invalidParameter(name, "an instance name expected");
    return value.path;
}

Pegasus::CIMInstance IParamReader::instance(const char* name) const
{
    const IParamValue& value = required(name);
    if (value.kind != IParamValue::Instance || value.instance.isUninitialized())
        throw invalidParameter(name, "an instance expected");
    return value.instance;
}

Pegasus::CIMInstance IParamReader::namedInstance(const char* name) const
{
    const IParamValue& value = required(name);
    if (value.kind != IParamValue::NamedInstance || value.instance.isUninitialized())
        throw invalidParameter(name, "a named instance expected");
    return value.instance;
}

Pegasus::CIMPropertyList IParamReader::propertyList(const char* name) const
{
    const IParamValue* value = find(name);
    if (!value) return Pegasus::CIMPropertyList();
    if (value->kind != IParamValue::TextArray)
        throw invalidParameter(name, "an array of property names expected");
    Pegasus::Array<Pegasus::CIMName> names;
    for (const std::string& text : value->texts)
    {
        Pegasus::String propertyName = toString(trimmed(text));
        if (!Pegasus::CIMName::legal(propertyName))
            throw invalidParameter(name, ("\"" + text + "\" is not a property name").c_str());
        names.append(Pegasus::CIMName(propertyName));
    }
    return Pegasus::CIMPropertyList(names);
}

Pegasus::String IParamReader::text(const char* name) const
{
    const IParamValue* value = find(name);
    if (!value) return Pegasus::String();
    if (value->kind != IParamValue::Text) throw invalidParameter(name, "a single value expected");
    return toString(value->text);
}

Pegasus::CIMName IParamReader::nameValue(const char* name) const
{
    const IParamValue& value = required(name);
    Pegasus::String text =
        value.kind == IParamValue::Text ? toString(trimmed(value.text)) : Pegasus::String();
    if (!Pegasus::CIMName::legal(text)) throw invalidParameter(name, "a name expected");
    return Pegasus::CIMName(text);
}

} // namespace cimhost
