#include "XmlPathDecoder.h"

#include <Pegasus/Common/Exception.h>

#include "CimValueText.h"

namespace cimhost
{

using namespace Pegasus;

namespace
{

std::string utf8(const String& text)
{
    const CString bytes = text.getCString();
    return static_cast<const char*>(bytes);
}

// KEYVALUE VALUETYPE of a CIM type: what kind of key its values make.
const char* keyCategory(CIMType type)
{
    switch (type)
    {
    case CIMTYPE_BOOLEAN:
        return "boolean";
    case CIMTYPE_CHAR16:
    case CIMTYPE_STRING:
    case CIMTYPE_DATETIME:
        return "string";
    case CIMTYPE_REFERENCE:
    case CIMTYPE_OBJECT:
    case CIMTYPE_INSTANCE:
        return "";
    default:
        return "numeric";
    }
}

bool isReal(CIMType type)
{
    return type == CIMTYPE_REAL32 || type == CIMTYPE_REAL64;
}

std::string keyLabel(const CIMName& name)
{
    return name.isNull() ? std::string("key") : "key " + utf8(name.getString());
}

// KEYVALUE: its VALUETYPE (string when absent, or taken from TYPE) and, when TYPE is given, a
// value that must be of that type. Integer and boolean keys are stored in their normal text.
CIMKeyBinding decodeKeyValue(const CIMName& name, pugi::xml_node element, DecodeState& state)
{
    const std::string text = textContent(element);
    const pugi::xml_attribute typeAttribute = element.attribute("TYPE");
    CIMType type = CIMTYPE_STRING;
    if (typeAttribute && !cimTypeFromName(typeAttribute.value(), type))
        throwNotValid(std::string("KEYVALUE TYPE \"") + typeAttribute.value() + "\" is not a CIM type");
    std::string valueType =
        element.attribute("VALUETYPE").as_string(typeAttribute ? keyCategory(type) : "string");
    if (valueType != "string" && valueType != "boolean" && valueType != "numeric")
        throwNotValid("KEYVALUE VALUETYPE \"" + valueType + "\" is not string, boolean or numeric");

    try
    {
        if (typeAttribute)
        {
            if (valueType != keyCategory(type))
                throw ValueTextError(std::string("a ") + typeAttribute.value() + " value is not a " +
                                     valueType + " key");
            scalarFromText(type, text);
        }
        if (valueType == "boolean")
            return CIMKeyBinding(name, String(normalBooleanText(text).c_str()), CIMKeyBinding::BOOLEAN);
        if (valueType == "numeric")
        {
            // A real key keeps its text: there is no single normal form worth imposing.
            const std::string number = typeAttribute && isReal(type) ? text : normalIntegerText(text);
            return CIMKeyBinding(name, toPegasusString(number), CIMKeyBinding::NUMERIC);
        }
    }
    catch (const ValueTextError& error)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER, keyLabel(name) + ": " + error.what());
    }
    return CIMKeyBinding(name, toPegasusString(text), CIMKeyBinding::STRING);
}

CIMKeyBinding referenceKey(const CIMName& name, pugi::xml_node element, DecodeState& state)
{
    return CIMKeyBinding(name, decodeValueReference(element, state).toString(), CIMKeyBinding::REFERENCE);
}

CIMKeyBinding decodeKeyBinding(pugi::xml_node element, DecodeState& state)
{
    const CIMName name = decodeCimName(requiredAttribute(element, "NAME"), "key name", state);
    ElementReader reader(element);
    pugi::xml_node value = reader.optional("KEYVALUE");
    CIMKeyBinding key = value ? decodeKeyValue(name, value, state)
                              : referenceKey(name, reader.required("VALUE.REFERENCE"), state);
    reader.finish();
    return key;
}

bool hasKey(const Array<CIMKeyBinding>& keys, const CIMName& name)
{
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(name)) return true;
    return false;
}

// A path from its parts; a host that is no host name or address is a bad value, and the path
// goes on without it.
CIMObjectPath makePath(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                       const Array<CIMKeyBinding>& keys, DecodeState& state)
{
    try
    {
        return CIMObjectPath(host, nameSpace, className, keys);
    }
    catch (const Exception&)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER, "\"" + utf8(host) + "\" is not a valid host");
    }
    return CIMObjectPath(String(), nameSpace, className, keys);
}

struct NamespacePath
{
    String host;
    CIMNamespaceName nameSpace;
};

NamespacePath decodeNamespacePath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    NamespacePath result;
    const std::string host = textContent(reader.required("HOST"));
    const size_t first = host.find_first_not_of(" \t\r\n");
    result.host = toPegasusString(first == std::string::npos
                                      ? std::string()
                                      : host.substr(first, host.find_last_not_of(" \t\r\n") - first + 1));
    result.nameSpace = decodeLocalNamespacePath(reader.required("LOCALNAMESPACEPATH"), state);
    reader.finish();
    return result;
}

CIMObjectPath withNamespace(const CIMObjectPath& path, const String& host, const CIMNamespaceName& nameSpace,
                            DecodeState& state)
{
    return makePath(host, nameSpace, path.getClassName(), path.getKeyBindings(), state);
}

} // namespace

CIMName decodeCimName(const std::string& text, const char* what, DecodeState& state)
{
    try
    {
        return CIMName(toPegasusString(text)); // checks the name once
    }
    catch (const InvalidNameException&)
    {
    }
    state.fail(CIM_ERR_INVALID_PARAMETER, std::string(what) + " \"" + text + "\" is not a valid CIM name");
    return CIMName();
}

CIMNamespaceName decodeLocalNamespacePath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    std::string joined = requiredAttribute(reader.required("NAMESPACE"), "NAME");
    while (pugi::xml_node part = reader.optional("NAMESPACE"))
        joined += "/" + requiredAttribute(part, "NAME");
    reader.finish();
    try
    {
        return CIMNamespaceName(toPegasusString(joined));
    }
    catch (const InvalidNamespaceNameException&)
    {
    }
    state.fail(CIM_ERR_INVALID_NAMESPACE, "\"" + joined + "\" is not a valid namespace name");
    return CIMNamespaceName();
}

CIMName decodeClassName(pugi::xml_node element, DecodeState& state)
{
    ElementReader(element).finish();
    return decodeCimName(requiredAttribute(element, "NAME"), "class name", state);
}

CIMObjectPath decodeInstanceName(pugi::xml_node element, DecodeState& state)
{
    const CIMName className = decodeCimName(requiredAttribute(element, "CLASSNAME"), "class name", state);
    ElementReader reader(element);
    Array<CIMKeyBinding> keys;
    if (pugi::xml_node value = reader.optional("KEYVALUE"))
        keys.append(decodeKeyValue(CIMName(), value, state));
    else if (pugi::xml_node reference = reader.optional("VALUE.REFERENCE"))
        keys.append(referenceKey(CIMName(), reference, state));
    else
        while (pugi::xml_node binding = reader.optional("KEYBINDING"))
        {
            CIMKeyBinding key = decodeKeyBinding(binding, state);
            if (!key.getName().isNull() && hasKey(keys, key.getName()))
                state.fail(CIM_ERR_INVALID_PARAMETER,
                           "key " + utf8(key.getName().getString()) + " is given twice");
            else
                keys.append(key);
        }
    reader.finish();
    return makePath(String(), CIMNamespaceName(), className, keys, state);
}

CIMObjectPath decodeLocalInstancePath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const CIMNamespaceName nameSpace = decodeLocalNamespacePath(reader.required("LOCALNAMESPACEPATH"), state);
    CIMObjectPath path = decodeInstanceName(reader.required("INSTANCENAME"), state);
    reader.finish();
    path.setNameSpace(nameSpace);
    return path;
}

CIMObjectPath decodeLocalClassPath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const CIMNamespaceName nameSpace = decodeLocalNamespacePath(reader.required("LOCALNAMESPACEPATH"), state);
    const CIMName className = decodeClassName(reader.required("CLASSNAME"), state);
    reader.finish();
    return CIMObjectPath(String(), nameSpace, className);
}

CIMObjectPath decodeInstancePath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const NamespacePath where = decodeNamespacePath(reader.required("NAMESPACEPATH"), state);
    const CIMObjectPath path = decodeInstanceName(reader.required("INSTANCENAME"), state);
    reader.finish();
    return withNamespace(path, where.host, where.nameSpace, state);
}

CIMObjectPath decodeClassPath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const NamespacePath where = decodeNamespacePath(reader.required("NAMESPACEPATH"), state);
    const CIMName className = decodeClassName(reader.required("CLASSNAME"), state);
    reader.finish();
    return makePath(where.host, where.nameSpace, className, Array<CIMKeyBinding>(), state);
}

CIMObjectPath decodeValueReference(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const pugi::xml_node form = reader.next();
    reader.finish();
    if (isElement(form, "INSTANCEPATH")) return decodeInstancePath(form, state);
    if (isElement(form, "LOCALINSTANCEPATH")) return decodeLocalInstancePath(form, state);
    if (isElement(form, "INSTANCENAME")) return decodeInstanceName(form, state);
    if (isElement(form, "CLASSPATH")) return decodeClassPath(form, state);
    if (isElement(form, "LOCALCLASSPATH")) return decodeLocalClassPath(form, state);
    if (isElement(form, "CLASSNAME"))
        return CIMObjectPath(String(), CIMNamespaceName(), decodeClassName(form, state));
    throwNotValid(form ? std::string("<") + form.name() + "> is not a reference form"
                       : std::string("<VALUE.REFERENCE> is empty"));
}

} // namespace cimhost
