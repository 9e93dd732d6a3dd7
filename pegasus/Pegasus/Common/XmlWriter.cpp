#include <Pegasus/Common/XmlWriter.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <Pegasus/Common/CIMPropertyRep.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// Element names are written with explicit end tags throughout, never self-closed: some client
// parsers (wbemcli's among them) only accept the long form, and one rule keeps output uniform.

template <class T> struct TypeTag
{
    using type = T;
};

// Calls action(TypeTag<T>()) with the C++ type that holds values of the given CIM type.
template <class Action> decltype(auto) withValueType(CIMType type, Action&& action)
{
    switch (type)
    {
    case CIMTYPE_BOOLEAN:
        return action(TypeTag<Boolean>());
    case CIMTYPE_UINT8:
        return action(TypeTag<Uint8>());
    case CIMTYPE_SINT8:
        return action(TypeTag<Sint8>());
    case CIMTYPE_UINT16:
        return action(TypeTag<Uint16>());
    case CIMTYPE_SINT16:
        return action(TypeTag<Sint16>());
    case CIMTYPE_UINT32:
        return action(TypeTag<Uint32>());
    case CIMTYPE_SINT32:
        return action(TypeTag<Sint32>());
    case CIMTYPE_UINT64:
        return action(TypeTag<Uint64>());
    case CIMTYPE_SINT64:
        return action(TypeTag<Sint64>());
    case CIMTYPE_REAL32:
        return action(TypeTag<Real32>());
    case CIMTYPE_REAL64:
        return action(TypeTag<Real64>());
    case CIMTYPE_CHAR16:
        return action(TypeTag<Char16>());
    case CIMTYPE_STRING:
        return action(TypeTag<String>());
    case CIMTYPE_DATETIME:
        return action(TypeTag<CIMDateTime>());
    case CIMTYPE_REFERENCE:
        return action(TypeTag<CIMObjectPath>());
    case CIMTYPE_OBJECT:
        return action(TypeTag<CIMObject>());
    case CIMTYPE_INSTANCE:
        return action(TypeTag<CIMInstance>());
    }
    throw TypeMismatchException();
}

// Nearly every name and value is ASCII: its units are its bytes, copied without the CString round
// trip. Anything else (and a NUL, at which the C string ends) takes the full conversion.
std::string utf8(const String& text)
{
    const Char16* units = text.getChar16Data();
    const Uint32 size = text.size();
    std::string out(size, '\0');
    for (Uint32 i = 0; i < size; ++i)
    {
        const Uint16 unit = units[i];
        if (unit == 0 || unit >= 0x80)
        {
            CString bytes = text.getCString();
            const char* p = bytes;
            return p ? std::string(p) : std::string();
        }
        out[i] = char(unit);
    }
    return out;
}

// Markup characters become entity references; the runs between them are appended whole.
void appendEscapedBytes(std::string& out, std::string_view text)
{
    size_t runStart = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const auto code = static_cast<unsigned char>(text[i]);
        const char* entity;
        switch (code)
        {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\'':
            entity = "&apos;";
            break;
        default:
            // Tab, LF and CR too: as references they survive attribute-value normalisation
            // and line-end translation, so the receiver gets the exact characters back.
            // UTF-8 sequences pass through unchanged.
            if (code >= 0x20) continue;
            entity = nullptr;
        }
        out.append(text.data() + runStart, i - runStart);
        runStart = i + 1;
        if (entity)
            out += entity;
        else
        {
            out += "&#";
            out += std::to_string(code);
            out += ';';
        }
    }
    out.append(text.data() + runStart, text.size() - runStart);
}

void appendAttribute(std::string& out, const char* name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendEscapedBytes(out, value);
    out += '"';
}

void appendAttribute(std::string& out, const char* name, const char* value)
{
    appendAttribute(out, name, std::string_view(value));
}

// Escaped text of a String copied straight from its units in one pass when all are printable
// ASCII other than the five markup characters - nearly every name and value; otherwise through
// its UTF-8 form.
void appendEscapedString(std::string& out, const String& text)
{
    const Char16* units = text.getChar16Data();
    const Uint32 size = text.size();
    const size_t start = out.size();
    out.resize(start + size);
    char* copy = &out[start];
    for (Uint32 i = 0; i < size; ++i)
    {
        const Uint16 unit = units[i];
        if (unit < 0x20 || unit >= 0x7F || unit == '&' || unit == '<' || unit == '>' || unit == '"' ||
            unit == '\'')
        {
            out.resize(start);
            appendEscapedBytes(out, utf8(text));
            return;
        }
        copy[i] = char(unit);
    }
}

void appendAttribute(std::string& out, const char* name, const String& value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendEscapedString(out, value);
    out += '"';
}

void appendAttribute(std::string& out, const char* name, const CIMName& value)
{
    appendAttribute(out, name, value.getString());
}

// Appends a text whose length the compiler knows: no length count, a copy it can inline.
template <size_t N> void appendLiteral(std::string& out, const char (&text)[N])
{
    out.append(text, N - 1);
}

void appendEndTag(std::string& out, const char* element)
{
    out += "</";
    out += element;
    out += '>';
}

// TYPE and PARAMTYPE know no object types: embedded objects travel as strings, marked by the
// EmbeddedObject attribute or qualifier.
const char* xmlTypeName(CIMType type)
{
    return type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE ? "string" : cimTypeToString(type);
}

void appendEmbeddedObjectAttribute(std::string& out, CIMType type)
{
    if (type == CIMTYPE_OBJECT)
        appendAttribute(out, "EmbeddedObject", "object");
    else if (type == CIMTYPE_INSTANCE)
        appendAttribute(out, "EmbeddedObject", "instance");
}

void appendClassOriginAndPropagated(std::string& out, const CIMName& classOrigin, Boolean propagated)
{
    if (!classOrigin.isNull()) appendAttribute(out, "CLASSORIGIN", classOrigin);
    if (propagated) appendAttribute(out, "PROPAGATED", "true");
}

// Only flavors that differ from the defaults (OVERRIDABLE and TOSUBCLASS true, TOINSTANCE and
// TRANSLATABLE false) are written.
void appendFlavorAttributes(std::string& out, const CIMFlavor& flavor)
{
    const bool overridable =
        flavor.hasFlavor(CIMFlavor::OVERRIDABLE) && !flavor.hasFlavor(CIMFlavor::DISABLEOVERRIDE);
    const bool toSubclass =
        flavor.hasFlavor(CIMFlavor::TOSUBCLASS) && !flavor.hasFlavor(CIMFlavor::RESTRICTED);
    if (!overridable) appendAttribute(out, "OVERRIDABLE", "false");
    if (!toSubclass) appendAttribute(out, "TOSUBCLASS", "false");
    if (flavor.hasFlavor(CIMFlavor::TOINSTANCE)) appendAttribute(out, "TOINSTANCE", "true");
    if (flavor.hasFlavor(CIMFlavor::TRANSLATABLE)) appendAttribute(out, "TRANSLATABLE", "true");
}

template <class Element> void appendQualifiers(std::string& out, const Element& element)
{
    for (Uint32 i = 0, n = element.getQualifierCount(); i < n; ++i)
        XmlWriter::appendQualifierElement(out, element.getQualifier(i));
}

// PARAMETER and METHOD have no EmbeddedObject attribute, so an object-typed one that lacks the
// qualifier gets it here; otherwise a client would see a plain string.
template <class Element> void appendEmbeddedObjectQualifierIfMissing(std::string& out, const Element& element)
{
    const CIMType type = element.getType();
    if (type != CIMTYPE_OBJECT && type != CIMTYPE_INSTANCE) return;
    if (element.findQualifier(CIMName("EmbeddedObject")) != PEG_NOT_FOUND ||
        element.findQualifier(CIMName("EmbeddedInstance")) != PEG_NOT_FOUND)
        return;
    XmlWriter::appendQualifierElement(
        out, CIMConstQualifier(CIMName("EmbeddedObject"), CIMValue(true), CIMFlavor::DEFAULTS));
}

// --- text of one scalar ---

std::string textOf(Boolean x)
{
    return x ? "TRUE" : "FALSE";
}
std::string textOf(Uint8 x)
{
    return std::to_string(x);
}
std::string textOf(Sint8 x)
{
    return std::to_string(x);
}
std::string textOf(Uint16 x)
{
    return std::to_string(x);
}
std::string textOf(Sint16 x)
{
    return std::to_string(x);
}
std::string textOf(Uint32 x)
{
    return std::to_string(x);
}
std::string textOf(Sint32 x)
{
    return std::to_string(x);
}
std::string textOf(Uint64 x)
{
    return std::to_string(x);
}
std::string textOf(Sint64 x)
{
    return std::to_string(x);
}

// Shortest text that reads back to the same value; non-finite values use the XML Schema names.
template <class Real> std::string realText(Real x)
{
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::string textOf(Real32 x)
{
    return realText(x);
}
std::string textOf(Real64 x)
{
    return realText(x);
}
std::string textOf(const Char16& x)
{
    return utf8(String(&x, 1));
}
std::string textOf(const String& x)
{
    return utf8(x);
}
std::string textOf(const CIMDateTime& x)
{
    return utf8(x.toString());
}
std::string textOf(const CIMObjectPath& x)
{
    return utf8(x.toString());
}

std::string textOf(const CIMObject& x)
{
    std::string xml;
    XmlWriter::appendObjectElement(xml, x);
    return xml;
}

std::string textOf(const CIMInstance& x)
{
    std::string xml;
    XmlWriter::appendInstanceElement(xml, x);
    return xml;
}

template <class T> std::string elementText(const CIMValue& value, Uint32 index)
{
    if (!value.isArray())
    {
        T item;
        value.get(item);
        return textOf(item);
    }
    Array<T> items;
    value.get(items);
    return textOf(items[index]);
}

// One scalar as element content, written straight into the output: numbers and booleans need no
// escaping, text is escaped from its units.
template <class Integer, class = std::enable_if_t<std::is_integral_v<Integer>>>
void appendScalar(std::string& out, Integer x)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    out.append(buffer, result.ptr);
}
void appendScalar(std::string& out, Boolean x)
{
    out += x ? "TRUE" : "FALSE";
}
void appendScalar(std::string& out, Real32 x)
{
    out += realText(x);
}
void appendScalar(std::string& out, Real64 x)
{
    out += realText(x);
}
void appendScalar(std::string& out, const Char16& x)
{
    appendEscapedString(out, String(&x, 1));
}
void appendScalar(std::string& out, const String& x)
{
    appendEscapedString(out, x);
}
void appendScalar(std::string& out, const CIMDateTime& x)
{
    appendEscapedString(out, x.toString());
}
void appendScalar(std::string& out, const CIMObjectPath& x)
{
    appendEscapedString(out, x.toString());
}
void appendScalar(std::string& out, const CIMObject& x)
{
    appendEscapedBytes(out, textOf(x));
}
void appendScalar(std::string& out, const CIMInstance& x)
{
    appendEscapedBytes(out, textOf(x));
}

template <class T> void appendScalarValueElement(std::string& out, const CIMValue& value)
{
    T item;
    value.get(item);
    appendLiteral(out, "<VALUE>");
    appendScalar(out, item);
    appendLiteral(out, "</VALUE>");
}

void appendValueTextElement(std::string& out, std::string_view text)
{
    out += "<VALUE>";
    appendEscapedBytes(out, text);
    appendEndTag(out, "VALUE");
}

template <class T> void appendValueArrayElement(std::string& out, const CIMValue& value)
{
    Array<T> items;
    value.get(items);
    out += "<VALUE.ARRAY>";
    for (Uint32 i = 0; i < items.size(); ++i)
        appendValueTextElement(out, textOf(items[i]));
    appendEndTag(out, "VALUE.ARRAY");
}

void appendValueRefArrayElement(std::string& out, const CIMValue& value)
{
    Array<CIMObjectPath> paths;
    value.get(paths);
    out += "<VALUE.REFARRAY>";
    for (Uint32 i = 0; i < paths.size(); ++i)
        XmlWriter::appendValueReferenceElement(out, paths[i]);
    appendEndTag(out, "VALUE.REFARRAY");
}

void appendKeyValueElement(std::string& out, const char* valueType, const String& text)
{
    out += "<KEYVALUE";
    appendAttribute(out, "VALUETYPE", valueType);
    out += '>';
    appendEscapedString(out, text);
    appendEndTag(out, "KEYVALUE");
}

void appendKeyBindingElement(std::string& out, const CIMKeyBinding& key)
{
    out += "<KEYBINDING";
    appendAttribute(out, "NAME", key.getName());
    out += '>';
    switch (key.getType())
    {
    case CIMKeyBinding::BOOLEAN:
        appendKeyValueElement(out, "boolean", key.getValue());
        break;
    case CIMKeyBinding::NUMERIC:
        appendKeyValueElement(out, "numeric", key.getValue());
        break;
    case CIMKeyBinding::STRING:
        appendKeyValueElement(out, "string", key.getValue());
        break;
    case CIMKeyBinding::REFERENCE:
    {
        // A reference key holds the path as text. If that text does not parse, sending it as
        // a string key keeps the answer well-formed and the value intact.
        CIMObjectPath reference;
        bool parsed = true;
        try
        {
            reference = CIMObjectPath(key.getValue());
        }
        catch (const Exception&)
        {
            parsed = false;
        }
        if (parsed)
            XmlWriter::appendValueReferenceElement(out, reference);
        else
            appendKeyValueElement(out, "string", key.getValue());
        break;
    }
    }
    appendEndTag(out, "KEYBINDING");
}

bool hasNameSpace(const CIMObjectPath& path)
{
    return !path.getNameSpace().isNull();
}
bool hasHostAndNameSpace(const CIMObjectPath& path)
{
    return hasNameSpace(path) && path.getHost().size() > 0;
}
bool isInstancePath(const CIMObjectPath& path)
{
    return path.getKeyBindings().size() > 0;
}

// A path whose class name was never set names the object's own class.
CIMObjectPath pathOf(const CIMConstObject& object)
{
    CIMObjectPath path = object.getPath();
    if (path.getClassName().isNull()) path.setClassName(object.getClassName());
    return path;
}

} // namespace

void XmlWriter::appendEscaped(std::string& out, const String& text)
{
    appendEscapedString(out, text);
}

void XmlWriter::appendEscaped(std::string& out, const char* utf8Text)
{
    if (utf8Text) appendEscapedBytes(out, utf8Text);
}

std::string XmlWriter::scalarValueText(const CIMValue& value, Uint32 arrayIndex)
{
    if (value.isNull()) return std::string();
    return withValueType(value.getType(), [&](auto tag)
                         { return elementText<typename decltype(tag)::type>(value, arrayIndex); });
}

void XmlWriter::appendValueElement(std::string& out, const CIMValue& value)
{
    if (value.isNull()) return;
    const CIMType type = value.getType();
    if (type == CIMTYPE_REFERENCE)
    {
        if (value.isArray())
            appendValueRefArrayElement(out, value);
        else
        {
            CIMObjectPath reference;
            value.get(reference);
            appendValueReferenceElement(out, reference);
        }
    }
    else if (value.isArray())
        withValueType(type,
                      [&](auto tag) { appendValueArrayElement<typename decltype(tag)::type>(out, value); });
    else
        withValueType(type,
                      [&](auto tag) { appendScalarValueElement<typename decltype(tag)::type>(out, value); });
}

void XmlWriter::appendValueReferenceElement(std::string& out, const CIMObjectPath& reference)
{
    out += "<VALUE.REFERENCE>";
    if (isInstancePath(reference))
    {
        if (hasHostAndNameSpace(reference))
            appendInstancePathElement(out, reference);
        else if (hasNameSpace(reference))
            appendLocalInstancePathElement(out, reference);
        else
            appendInstanceNameElement(out, reference);
    }
    else
    {
        if (hasHostAndNameSpace(reference))
            appendClassPathElement(out, reference);
        else if (hasNameSpace(reference))
            appendLocalClassPathElement(out, reference);
        else
            appendClassNameElement(out, reference.getClassName());
    }
    appendEndTag(out, "VALUE.REFERENCE");
}

void XmlWriter::appendInstancePathElement(std::string& out, const CIMObjectPath& path)
{
    out += "<INSTANCEPATH>";
    appendNameSpacePathElement(out, path.getHost(), path.getNameSpace());
    appendInstanceNameElement(out, path);
    appendEndTag(out, "INSTANCEPATH");
}

void XmlWriter::appendLocalInstancePathElement(std::string& out, const CIMObjectPath& path)
{
    out += "<LOCALINSTANCEPATH>";
    appendLocalNameSpacePathElement(out, path.getNameSpace());
    appendInstanceNameElement(out, path);
    appendEndTag(out, "LOCALINSTANCEPATH");
}

void XmlWriter::appendInstanceNameElement(std::string& out, const CIMObjectPath& path)
{
    out += "<INSTANCENAME";
    appendAttribute(out, "CLASSNAME", path.getClassName());
    out += '>';
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        appendKeyBindingElement(out, keys[i]);
    appendEndTag(out, "INSTANCENAME");
}

void XmlWriter::appendClassPathElement(std::string& out, const CIMObjectPath& path)
{
    out += "<CLASSPATH>";
    appendNameSpacePathElement(out, path.getHost(), path.getNameSpace());
    appendClassNameElement(out, path.getClassName());
    appendEndTag(out, "CLASSPATH");
}

void XmlWriter::appendLocalClassPathElement(std::string& out, const CIMObjectPath& path)
{
    out += "<LOCALCLASSPATH>";
    appendLocalNameSpacePathElement(out, path.getNameSpace());
    appendClassNameElement(out, path.getClassName());
    appendEndTag(out, "LOCALCLASSPATH");
}

void XmlWriter::appendClassNameElement(std::string& out, const CIMName& className)
{
    out += "<CLASSNAME";
    appendAttribute(out, "NAME", className);
    out += '>';
    appendEndTag(out, "CLASSNAME");
}

void XmlWriter::appendNameSpacePathElement(std::string& out, const String& host,
                                           const CIMNamespaceName& nameSpace)
{
    out += "<NAMESPACEPATH><HOST>";
    appendEscaped(out, host);
    appendEndTag(out, "HOST");
    appendLocalNameSpacePathElement(out, nameSpace);
    appendEndTag(out, "NAMESPACEPATH");
}

void XmlWriter::appendLocalNameSpacePathElement(std::string& out, const CIMNamespaceName& nameSpace)
{
    out += "<LOCALNAMESPACEPATH>";
    const std::string full = utf8(nameSpace.getString());
    std::string_view rest = full;
    while (!rest.empty())
    {
        const size_t slash = rest.find('/');
        const std::string_view element = rest.substr(0, slash);
        if (!element.empty())
        {
            out += "<NAMESPACE";
            appendAttribute(out, "NAME", element);
            out += '>';
            appendEndTag(out, "NAMESPACE");
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    appendEndTag(out, "LOCALNAMESPACEPATH");
}

void XmlWriter::appendObjectPathElement(std::string& out, const CIMObjectPath& path)
{
    out += "<OBJECTPATH>";
    if (isInstancePath(path))
        appendInstancePathElement(out, path);
    else
        appendClassPathElement(out, path);
    appendEndTag(out, "OBJECTPATH");
}

void XmlWriter::appendQualifierElement(std::string& out, const CIMConstQualifier& qualifier)
{
    out += "<QUALIFIER";
    appendAttribute(out, "NAME", qualifier.getName());
    appendAttribute(out, "TYPE", xmlTypeName(qualifier.getType()));
    if (qualifier.getPropagated()) appendAttribute(out, "PROPAGATED", "true");
    appendFlavorAttributes(out, qualifier.getFlavor());
    out += '>';
    appendValueElement(out, qualifier.getValue());
    appendEndTag(out, "QUALIFIER");
}

namespace
{

// The start tag of a plain property - no qualifiers, class origin, propagation, embedded object
// or array size, a short name needing no escape: nearly every property of an answer - put
// together on the stack and appended at once. False, with nothing written, for any other.
bool appendPlainPropertyStart(std::string& out, const CIMPropertyRep& property, CIMType type, bool isArray)
{
    if (type == CIMTYPE_REFERENCE || type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE) return false;
    if ((isArray && property.arraySize > 0) || property.propagated || !property.classOrigin.isNull() ||
        property.qualifiers.size() > 0)
        return false;
    const String& name = property.name.getString();
    const Uint32 nameSize = name.size();
    const char* typeName = cimTypeToString(type);
    const size_t typeSize = std::strlen(typeName);
    const char arrayHead[] = "<PROPERTY.ARRAY NAME=\"";
    const char scalarHead[] = "<PROPERTY NAME=\"";
    const char middle[] = "\" TYPE=\"";
    const size_t headSize = isArray ? sizeof arrayHead - 1 : sizeof scalarHead - 1;
    char tag[128];
    if (headSize + nameSize + (sizeof middle - 1) + typeSize + 2 > sizeof tag) return false;
    std::memcpy(tag, isArray ? arrayHead : scalarHead, headSize);
    size_t used = headSize;
    const Char16* units = name.getChar16Data();
    for (Uint32 i = 0; i < nameSize; ++i)
    {
        const Uint16 unit = units[i];
        if (unit < 0x20 || unit >= 0x7F || unit == '&' || unit == '<' || unit == '>' || unit == '"' ||
            unit == '\'')
            return false;
        tag[used++] = char(unit);
    }
    std::memcpy(tag + used, middle, sizeof middle - 1);
    used += sizeof middle - 1;
    std::memcpy(tag + used, typeName, typeSize);
    used += typeSize;
    tag[used++] = '"';
    tag[used++] = '>';
    out.append(tag, used);
    return true;
}

// The whole element of a plain property (see above); false, with nothing written, for any other.
bool appendPlainProperty(std::string& out, const CIMPropertyRep& property)
{
    const CIMType type = property.value.getType();
    const bool isArray = property.value.isArray();
    if (!appendPlainPropertyStart(out, property, type, isArray)) return false;
    XmlWriter::appendValueElement(out, property.value);
    if (isArray)
        appendLiteral(out, "</PROPERTY.ARRAY>");
    else
        appendLiteral(out, "</PROPERTY>");
    return true;
}

} // namespace

void XmlWriter::appendPropertyElement(std::string& out, const CIMProperty& property)
{
    if (!appendPlainProperty(out, checkedRep(CIMHandleAccess::rep(property))))
        appendPropertyElement(out, CIMConstProperty(property));
}

void XmlWriter::appendPropertyElement(std::string& out, const CIMConstProperty& property)
{
    if (appendPlainProperty(out, checkedRep(CIMHandleAccess::rep(property)))) return;
    const CIMType type = property.getType();
    const char* element = type == CIMTYPE_REFERENCE ? "PROPERTY.REFERENCE"
                          : property.isArray()      ? "PROPERTY.ARRAY"
                                                    : "PROPERTY";
    out += '<';
    out += element;
    appendAttribute(out, "NAME", property.getName());
    if (type == CIMTYPE_REFERENCE)
    {
        if (!property.getReferenceClassName().isNull())
            appendAttribute(out, "REFERENCECLASS", property.getReferenceClassName());
    }
    else
    {
        appendAttribute(out, "TYPE", xmlTypeName(type));
        if (property.isArray() && property.getArraySize() > 0)
            appendAttribute(out, "ARRAYSIZE", std::to_string(property.getArraySize()));
    }
    appendClassOriginAndPropagated(out, property.getClassOrigin(), property.getPropagated());
    appendEmbeddedObjectAttribute(out, type);
    out += '>';
    appendQualifiers(out, property);
    appendValueElement(out, property.getValue());
    appendEndTag(out, element);
}

void XmlWriter::appendMethodElement(std::string& out, const CIMConstMethod& method)
{
    out += "<METHOD";
    appendAttribute(out, "NAME", method.getName());
    appendAttribute(out, "TYPE", xmlTypeName(method.getType()));
    appendClassOriginAndPropagated(out, method.getClassOrigin(), method.getPropagated());
    out += '>';
    appendQualifiers(out, method);
    appendEmbeddedObjectQualifierIfMissing(out, method);
    for (Uint32 i = 0, n = method.getParameterCount(); i < n; ++i)
        appendParameterElement(out, method.getParameter(i));
    appendEndTag(out, "METHOD");
}

void XmlWriter::appendParameterElement(std::string& out, const CIMConstParameter& parameter)
{
    const bool isReference = parameter.getType() == CIMTYPE_REFERENCE;
    const bool isArray = parameter.isArray();
    const char* element = isReference ? (isArray ? "PARAMETER.REFARRAY" : "PARAMETER.REFERENCE")
                                      : (isArray ? "PARAMETER.ARRAY" : "PARAMETER");
    out += '<';
    out += element;
    appendAttribute(out, "NAME", parameter.getName());
    if (isReference)
    {
        if (!parameter.getReferenceClassName().isNull())
            appendAttribute(out, "REFERENCECLASS", parameter.getReferenceClassName());
    }
    else
        appendAttribute(out, "TYPE", xmlTypeName(parameter.getType()));
    if (isArray && parameter.getArraySize() > 0)
        appendAttribute(out, "ARRAYSIZE", std::to_string(parameter.getArraySize()));
    out += '>';
    appendQualifiers(out, parameter);
    appendEmbeddedObjectQualifierIfMissing(out, parameter);
    appendEndTag(out, element);
}

void XmlWriter::appendInstanceElement(std::string& out, const CIMConstInstance& instance)
{
    out += "<INSTANCE";
    appendAttribute(out, "CLASSNAME", instance.getClassName());
    out += '>';
    appendQualifiers(out, instance);
    for (Uint32 i = 0, n = instance.getPropertyCount(); i < n; ++i)
        appendPropertyElement(out, instance.getProperty(i));
    appendEndTag(out, "INSTANCE");
}

void XmlWriter::appendClassElement(std::string& out, const CIMConstClass& cimClass)
{
    out += "<CLASS";
    appendAttribute(out, "NAME", cimClass.getClassName());
    if (!cimClass.getSuperClassName().isNull())
        appendAttribute(out, "SUPERCLASS", cimClass.getSuperClassName());
    out += '>';
    appendQualifiers(out, cimClass);
    for (Uint32 i = 0, n = cimClass.getPropertyCount(); i < n; ++i)
        appendPropertyElement(out, cimClass.getProperty(i));
    for (Uint32 i = 0, n = cimClass.getMethodCount(); i < n; ++i)
        appendMethodElement(out, cimClass.getMethod(i));
    appendEndTag(out, "CLASS");
}

void XmlWriter::appendObjectElement(std::string& out, const CIMConstObject& object)
{
    if (object.isClass())
        appendClassElement(out, CIMConstClass(object));
    else
        appendInstanceElement(out, CIMConstInstance(object));
}

void XmlWriter::appendValueNamedInstanceElement(std::string& out, const CIMConstInstance& instance)
{
    out += "<VALUE.NAMEDINSTANCE>";
    appendInstanceNameElement(out, pathOf(instance));
    appendInstanceElement(out, instance);
    appendEndTag(out, "VALUE.NAMEDINSTANCE");
}

void XmlWriter::appendValueObjectWithPathElement(std::string& out, const CIMConstObject& object)
{
    out += "<VALUE.OBJECTWITHPATH>";
    if (object.isClass())
    {
        appendClassPathElement(out, pathOf(object));
        appendClassElement(out, CIMConstClass(object));
    }
    else
    {
        appendInstancePathElement(out, pathOf(object));
        appendInstanceElement(out, CIMConstInstance(object));
    }
    appendEndTag(out, "VALUE.OBJECTWITHPATH");
}

void XmlWriter::appendParamValueElement(std::string& out, const CIMParamValue& paramValue)
{
    const CIMValue value = paramValue.getValue();
    out += "<PARAMVALUE";
    appendAttribute(out, "NAME", paramValue.getParameterName());
    // An untyped parameter value (as a client sends it) carries no type worth announcing.
    if (paramValue.isTyped()) appendAttribute(out, "PARAMTYPE", xmlTypeName(value.getType()));
    appendEmbeddedObjectAttribute(out, value.getType());
    out += '>';
    appendValueElement(out, value);
    appendEndTag(out, "PARAMVALUE");
}

void XmlWriter::appendReturnValueElement(std::string& out, const CIMValue& value)
{
    out += "<RETURNVALUE";
    appendAttribute(out, "PARAMTYPE", xmlTypeName(value.getType()));
    appendEmbeddedObjectAttribute(out, value.getType());
    out += '>';
    appendValueElement(out, value);
    appendEndTag(out, "RETURNVALUE");
}

PEGASUS_NAMESPACE_END
