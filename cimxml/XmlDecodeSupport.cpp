#include "XmlDecodeSupport.h"

#include <cstring>

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

void DecodeState::fail(Pegasus::CIMStatusCode failureCode, const std::string& failureText)
{
    if (failed) return;
    failed = true;
    code = failureCode;
    text = failureText;
}

void throwNotValid(const std::string& message)
{
    throw CimXmlError(400, "request-not-valid", message);
}

void throwNotWellFormed(const std::string& message)
{
    throw CimXmlError(400, "request-not-well-formed", message);
}

unsigned xmlParseOptions()
{
    // parse_default expands only the predefined entities and character references; pugixml
    // never reads external entities.
    return pugi::parse_default | pugi::parse_doctype;
}

namespace
{

std::string elementName(pugi::xml_node element)
{
    return std::string("<") + element.name() + ">";
}

bool isBlank(const char* text)
{
    for (; *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    return true;
}

// Iterative, so a hostile nesting depth costs no stack.
void checkShape(const pugi::xml_document& document, size_t maxDepth, size_t maxElements)
{
    pugi::xml_node node = document.first_child();
    size_t depth = 1;
    size_t elements = 0;
    while (node)
    {
        if (node.type() == pugi::node_element && depth > maxDepth)
            throwNotValid("elements are nested deeper than " + std::to_string(maxDepth) + " levels");
        if (node.type() == pugi::node_element && ++elements > maxElements)
            throwNotValid("more than " + std::to_string(maxElements) + " elements");
        if (node.first_child())
        {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling())
        {
            node = node.parent();
            --depth;
        }
        if (node) node = node.next_sibling();
    }
}

} // namespace

void parseDocument(pugi::xml_document& document, const char* data, size_t size, size_t maxDepth,
                   size_t maxElements)
{
    const pugi::xml_parse_result result =
        document.load_buffer(data, size, xmlParseOptions(), pugi::encoding_utf8);
    if (!result)
        throwNotWellFormed(std::string("XML error at offset ") + std::to_string(result.offset) + ": " +
                           result.description());
    size_t elements = 0;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling())
    {
        if (node.type() == pugi::node_doctype) throwNotValid("a DOCTYPE declaration is not accepted");
        if (node.type() == pugi::node_element) ++elements;
        if ((node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) && !isBlank(node.value()))
            throwNotWellFormed("text outside the document element");
    }
    if (elements != 1) throwNotWellFormed("a document needs exactly one document element");
    checkShape(document, maxDepth, maxElements);
}

size_t elementDepth(pugi::xml_node element)
{
    size_t depth = 0;
    for (pugi::xml_node node = element; node && node.type() == pugi::node_element; node = node.parent())
        ++depth;
    return depth;
}

Pegasus::String toPegasusString(const std::string& utf8)
{
    try
    {
        return Pegasus::String(utf8.data(), Pegasus::Uint32(utf8.size()));
    }
    catch (const Pegasus::Exception&)
    {
        throwNotWellFormed("text is not valid UTF-8");
    }
}

std::string textContent(pugi::xml_node element)
{
    std::string text;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
    {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
        else if (child.type() == pugi::node_element)
            throwNotValid(elementName(child) + " is not allowed in " + elementName(element));
    }
    return text;
}

std::string requiredAttribute(pugi::xml_node element, const char* name)
{
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) throwNotValid(elementName(element) + " lacks the " + name + " attribute");
    return attribute.value();
}

bool isElement(pugi::xml_node node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

namespace
{

// The node itself when it is an element, else its next sibling that is; null when none is.
pugi::xml_node elementFrom(pugi::xml_node node)
{
    while (node && node.type() != pugi::node_element)
        node = node.next_sibling();
    return node;
}

} // namespace

ElementReader::ElementReader(pugi::xml_node parent)
    : _parent(parent), _next(elementFrom(parent.first_child()))
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) &&
            !isBlank(child.value()))
            throwNotValid("text is not allowed in " + elementName(parent));
}

pugi::xml_node ElementReader::required(const char* name)
{
    const pugi::xml_node child = optional(name);
    if (!child) throwNotValid(elementName(_parent) + " needs <" + name + "> here");
    return child;
}

pugi::xml_node ElementReader::optional(const char* name)
{
    return _next && isElement(_next, name) ? next() : pugi::xml_node();
}

pugi::xml_node ElementReader::next()
{
    const pugi::xml_node child = _next;
    if (child) _next = elementFrom(child.next_sibling());
    return child;
}

pugi::xml_node ElementReader::peek() const
{
    return _next;
}

void ElementReader::skip(const char* name)
{
    while (optional(name))
    {
    }
}

void ElementReader::finish()
{
    if (_next) throwNotValid(elementName(_next) + " is not allowed here in " + elementName(_parent));
}

} // namespace cimhost
