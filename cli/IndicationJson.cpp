#include "IndicationJson.h"

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>

#include "IndicationText.h"
#include "InstanceFields.h"

namespace scsctl
{

using namespace Pegasus;
using Json = nlohmann::ordered_json;

namespace
{

template <class T> Json scalar(const CIMValue& value)
{
    T item;
    value.get(item);
    return Json(item);
}

template <class T> Json array(const CIMValue& value)
{
    Array<T> items;
    value.get(items);
    Json list = Json::array();
    for (Uint32 i = 0; i < items.size(); ++i)
        list.push_back(items[i]);
    return list;
}

template <class T> Json numbers(const CIMValue& value)
{
    return value.isArray() ? array<T>(value) : scalar<T>(value);
}

Json objectJson(const CIMObject& object)
{
    return object.isInstance() ? instanceJson(CIMInstance(object)) : Json(utf8(object.toString()));
}

Json embeddedJson(const CIMValue& value)
{
    if (value.getType() == CIMTYPE_INSTANCE)
    {
        if (!value.isArray())
        {
            CIMInstance instance;
            value.get(instance);
            return instanceJson(instance);
        }
        Array<CIMInstance> instances;
        value.get(instances);
        Json list = Json::array();
        for (Uint32 i = 0; i < instances.size(); ++i)
            list.push_back(instanceJson(instances[i]));
        return list;
    }
    if (!value.isArray())
    {
        CIMObject object;
        value.get(object);
        return objectJson(object);
    }
    Array<CIMObject> objects;
    value.get(objects);
    Json list = Json::array();
    for (Uint32 i = 0; i < objects.size(); ++i)
        list.push_back(objectJson(objects[i]));
    return list;
}

std::string textOf(const String& item)
{
    return utf8(item);
}
std::string textOf(const Char16& item)
{
    return utf8(String(&item, 1));
}
template <class T> std::string textOf(const T& item)
{
    return utf8(item.toString());
}

// Date-times, references, strings and characters as their text.
template <class T> Json texts(const CIMValue& value)
{
    if (!value.isArray()) return utf8(value.toString());
    Array<T> items;
    value.get(items);
    Json list = Json::array();
    for (Uint32 i = 0; i < items.size(); ++i)
        list.push_back(textOf(items[i]));
    return list;
}

} // namespace

Json valueJson(const CIMValue& value)
{
    if (value.isNull()) return nullptr;
    switch (value.getType())
    {
    case CIMTYPE_BOOLEAN:
        return numbers<Boolean>(value);
    case CIMTYPE_UINT8:
        return numbers<Uint8>(value);
    case CIMTYPE_SINT8:
        return numbers<Sint8>(value);
    case CIMTYPE_UINT16:
        return numbers<Uint16>(value);
    case CIMTYPE_SINT16:
        return numbers<Sint16>(value);
    case CIMTYPE_UINT32:
        return numbers<Uint32>(value);
    case CIMTYPE_SINT32:
        return numbers<Sint32>(value);
    case CIMTYPE_UINT64:
        return numbers<Uint64>(value);
    case CIMTYPE_SINT64:
        return numbers<Sint64>(value);
    case CIMTYPE_REAL32:
        return numbers<Real32>(value);
    case CIMTYPE_REAL64:
        return numbers<Real64>(value);
    case CIMTYPE_CHAR16:
        return texts<Char16>(value);
    case CIMTYPE_DATETIME:
        return texts<CIMDateTime>(value);
    case CIMTYPE_REFERENCE:
        return texts<CIMObjectPath>(value);
    case CIMTYPE_OBJECT:
    case CIMTYPE_INSTANCE:
        return embeddedJson(value);
    default:
        return texts<String>(value);
    }
}

Json instanceJson(const CIMConstInstance& instance)
{
    Json properties = Json::object();
    for (Uint32 i = 0; i < instance.getPropertyCount(); ++i)
    {
        const CIMConstProperty property = instance.getProperty(i);
        properties[utf8(property.getName().getString())] = valueJson(property.getValue());
    }
    return {{"class", utf8(instance.getClassName().getString())}, {"properties", properties}};
}

Json indicationJson(const CIMConstInstance& indication, const std::string& received)
{
    Json object = {{"received", received}, {"kind", indicationKind(indication)}};
    Json whole = instanceJson(indication);
    object["class"] = std::move(whole["class"]);
    object["properties"] = std::move(whole["properties"]);
    if (indicationKind(indication) == "modified")
    {
        const CIMConstInstance source = embeddedInstance(indication, "SourceInstance");
        const CIMConstInstance previous = embeddedInstance(indication, "PreviousInstance");
        if (!source.isUninitialized() && !previous.isUninitialized())
            object["changed"] = changedProperties(previous, source);
    }
    return object;
}

} // namespace scsctl
