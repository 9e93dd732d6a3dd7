#include "XmlValueDecoder.h"

#include <cstring>

#include <Pegasus/Common/Exception.h>

#include "CimValueText.h"
#include "XmlPathDecoder.h"

namespace cimhost
{

using namespace Pegasus;

namespace
{

bool isEmbeddedType(CIMType type)
{
    return type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE;
}

bool isArrayElement(pugi::xml_node element)
{
    return isElement(element, "VALUE.ARRAY") || isElement(element, "VALUE.REFARRAY");
}

// The escaped text of an embedded object parsed as a document of its own. Only instances are
// taken; whatever is wrong inside is a bad value of the enclosing request, not an HTTP fault.
CIMInstance decodeEmbeddedInstance(const std::string& text, pugi::xml_node valueElement,
                                   const std::string& what, DecodeState& state)
{
    const size_t outerDepth = state.depthOffset + elementDepth(valueElement);
    if (outerDepth >= state.maxDepth)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER, what + ": embedded objects are nested too deeply");
        return CIMInstance();
    }
    const size_t savedOffset = state.depthOffset;
    CIMInstance instance;
    try
    {
        pugi::xml_document document;
        parseDocument(document, text.data(), text.size(), state.maxDepth - outerDepth);
        const pugi::xml_node root = document.document_element();
        if (!isElement(root, "INSTANCE"))
        {
            state.fail(CIM_ERR_INVALID_PARAMETER,
                       what + ": an embedded <" + root.name() + "> is not accepted, only <INSTANCE>");
            return CIMInstance();
        }
        state.depthOffset = outerDepth;
        instance = decodeInstance(root, state);
    }
    catch (const CimXmlError& error)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER, what + ": embedded object: " + error.what());
    }
    state.depthOffset = savedOffset;
    return instance;
}

CIMValue embeddedScalar(pugi::xml_node valueElement, CIMType type, const std::string& what,
                        DecodeState& state)
{
    const CIMInstance instance = decodeEmbeddedInstance(textContent(valueElement), valueElement, what, state);
    if (instance.isUninitialized()) return CIMValue(type, false);
    return type == CIMTYPE_INSTANCE ? CIMValue(instance) : CIMValue(CIMObject(instance));
}

CIMValue embeddedArray(pugi::xml_node arrayElement, CIMType type, const std::string& what, DecodeState& state)
{
    Array<CIMInstance> instances;
    Array<CIMObject> objects;
    bool complete = true;
    ElementReader reader(arrayElement);
    while (pugi::xml_node item = reader.optional("VALUE"))
    {
        const CIMInstance instance = decodeEmbeddedInstance(textContent(item), item, what, state);
        if (instance.isUninitialized())
            complete = false;
        else if (type == CIMTYPE_INSTANCE)
            instances.append(instance);
        else
            objects.append(CIMObject(instance));
    }
    reader.finish();
    if (!complete) return CIMValue(type, true);
    return type == CIMTYPE_INSTANCE ? CIMValue(instances) : CIMValue(objects);
}

CIMValue referenceArray(pugi::xml_node element, DecodeState& state)
{
    Array<CIMObjectPath> paths;
    ElementReader reader(element);
    while (pugi::xml_node item = reader.next())
    {
        if (isElement(item, "VALUE.REFERENCE"))
            paths.append(decodeValueReference(item, state));
        else if (isElement(item, "VALUE.NULL"))
            state.fail(CIM_ERR_INVALID_PARAMETER, "null elements in a reference array are not supported");
        else
            throwNotValid(std::string("<") + item.name() + "> is not allowed in <VALUE.REFARRAY>");
    }
    return CIMValue(paths);
}

std::string typeName(CIMType type)
{
    return isEmbeddedType(type) ? "embedded object" : cimTypeToString(type);
}

// PROPERTY, PROPERTY.ARRAY or PROPERTY.REFERENCE; false when it cannot be built (the reason is
// recorded).
bool decodeProperty(pugi::xml_node element, DecodeState& state, CIMProperty& property)
{
    const std::string nameText = requiredAttribute(element, "NAME");
    const CIMName name = decodeCimName(nameText, "property name", state);
    const std::string what = "property " + nameText;
    const bool isReference = isElement(element, "PROPERTY.REFERENCE");
    const bool isArray = isElement(element, "PROPERTY.ARRAY");

    CIMType type = CIMTYPE_STRING; // lenient: a PROPERTY without TYPE is read as a string
    CIMName referenceClass;
    if (isReference)
    {
        type = CIMTYPE_REFERENCE;
        if (pugi::xml_attribute attribute = element.attribute("REFERENCECLASS"))
            referenceClass = decodeCimName(attribute.value(), "reference class", state);
    }
    else if (!embeddedObjectType(element, type))
    {
        const pugi::xml_attribute attribute = element.attribute("TYPE");
        if (attribute && (!cimTypeFromName(attribute.value(), type) || type == CIMTYPE_REFERENCE))
            throwNotValid(std::string("property TYPE \"") + attribute.value() + "\" is not a CIM value type");
    }
    CIMName classOrigin;
    if (pugi::xml_attribute attribute = element.attribute("CLASSORIGIN"))
        classOrigin = decodeCimName(attribute.value(), "class origin", state);
    const bool propagated = std::strcmp(element.attribute("PROPAGATED").as_string("false"), "true") == 0;

    ElementReader reader(element);
    reader.skip("QUALIFIER");
    const pugi::xml_node valueElement = reader.optional(isReference ? "VALUE.REFERENCE"
                                                        : isArray   ? "VALUE.ARRAY"
                                                                    : "VALUE");
    reader.finish();
    const CIMValue value =
        valueElement ? decodeTypedValue(valueElement, type, what, state) : CIMValue(type, isArray);
    if (name.isNull()) return false;
    try
    {
        property = CIMProperty(name, value, 0, referenceClass, classOrigin, propagated);
        return true;
    }
    catch (const Exception& error)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER,
                   what + ": " + static_cast<const char*>(error.getMessage().getCString()));
    }
    return false;
}

} // namespace

bool embeddedObjectType(pugi::xml_node element, CIMType& type)
{
    pugi::xml_attribute attribute = element.attribute("EmbeddedObject");
    if (!attribute) attribute = element.attribute("EMBEDDEDOBJECT"); // older clients' spelling
    if (!attribute) return false;
    if (std::strcmp(attribute.value(), "instance") == 0)
        type = CIMTYPE_INSTANCE;
    else if (std::strcmp(attribute.value(), "object") == 0)
        type = CIMTYPE_OBJECT;
    else
        throwNotValid(std::string("EmbeddedObject=\"") + attribute.value() + "\" is not instance or object");
    return true;
}

std::vector<std::string> decodeValueArrayTexts(pugi::xml_node element, DecodeState& state)
{
    std::vector<std::string> texts;
    ElementReader reader(element);
    while (pugi::xml_node item = reader.next())
    {
        if (isElement(item, "VALUE"))
            texts.push_back(textContent(item));
        else if (isElement(item, "VALUE.NULL"))
            state.fail(CIM_ERR_INVALID_PARAMETER, "null array elements are not supported");
        else
            throwNotValid(std::string("<") + item.name() + "> is not allowed in <VALUE.ARRAY>");
    }
    return texts;
}

CIMValue decodeTypedValue(pugi::xml_node element, CIMType type, const std::string& what, DecodeState& state)
{
    const bool isArray = isArrayElement(element);
    const bool isReferenceForm =
        isElement(element, "VALUE.REFERENCE") || isElement(element, "VALUE.REFARRAY");
    if (!isReferenceForm && !isArray && !isElement(element, "VALUE"))
        throwNotValid(std::string("<") + element.name() + "> is not a value");

    if (isReferenceForm)
    {
        const CIMValue reference =
            isArray ? referenceArray(element, state) : CIMValue(decodeValueReference(element, state));
        if (type == CIMTYPE_REFERENCE) return reference;
        state.fail(CIM_ERR_INVALID_PARAMETER, what + ": a reference is not a " + typeName(type) + " value");
        return CIMValue(type, isArray);
    }
    if (isEmbeddedType(type))
        return isArray ? embeddedArray(element, type, what, state)
                       : embeddedScalar(element, type, what, state);
    try
    {
        return isArray ? arrayFromTexts(type, decodeValueArrayTexts(element, state))
                       : scalarFromText(type, textContent(element));
    }
    catch (const ValueTextError& error)
    {
        state.fail(CIM_ERR_INVALID_PARAMETER, what + ": " + error.what());
    }
    return CIMValue(type, isArray);
}

CIMInstance decodeInstance(pugi::xml_node element, DecodeState& state)
{
    const CIMName className = decodeCimName(requiredAttribute(element, "CLASSNAME"), "class name", state);
    CIMInstance instance;
    if (!className.isNull()) instance = CIMInstance(className);
    ElementReader reader(element);
    reader.skip("QUALIFIER");
    while (pugi::xml_node child = reader.next())
    {
        if (!isElement(child, "PROPERTY") && !isElement(child, "PROPERTY.ARRAY") &&
            !isElement(child, "PROPERTY.REFERENCE"))
            throwNotValid(std::string("<") + child.name() + "> is not allowed in <INSTANCE>");
        CIMProperty property;
        if (!decodeProperty(child, state, property) || instance.isUninitialized()) continue;
        if (instance.findProperty(property.getName()) != PEG_NOT_FOUND)
            state.fail(CIM_ERR_INVALID_PARAMETER,
                       std::string("property ") + child.attribute("NAME").value() + " is given twice");
        else
            instance.addProperty(property);
    }
    return instance;
}

CIMInstance decodeNamedInstance(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const CIMObjectPath path = decodeInstanceName(reader.required("INSTANCENAME"), state);
    CIMInstance instance = decodeInstance(reader.required("INSTANCE"), state);
    reader.finish();
    if (instance.isUninitialized() || path.getClassName().isNull()) return instance;
    if (!path.getClassName().equal(instance.getClassName()))
        state.fail(CIM_ERR_INVALID_PARAMETER, "the instance name and the instance are of different classes");
    else
        instance.setPath(path);
    return instance;
}

} // namespace cimhost
