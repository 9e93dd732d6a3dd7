// Shared pieces of the CIM-XML decoders: walking element content strictly, attribute and text
// access, and the record of the first bad value of a request.
#ifndef CIMHOST_XmlDecodeSupport_h
#define CIMHOST_XmlDecodeSupport_h

#include <string>

#include <pugixml.hpp>

#include <Pegasus/Common/CIMStatusCode.h>
#include <Pegasus/Common/String.h>

#include "RequestDecoder.h"

namespace cimhost
{

// A request keeps decoding after a bad value, so that a structural fault later in the document
// still becomes the HTTP fault it is; the first bad value is what the client is told about.
struct DecodeState
{
    size_t maxDepth = DecoderLimits().maxDepth;
    // Element depth at which the document being decoded sits: non-zero inside an embedded object,
    // whose text is a document of its own but counts against the same nesting limit.
    size_t depthOffset = 0;
    bool failed = false;
    Pegasus::CIMStatusCode code = Pegasus::CIM_ERR_SUCCESS;
    std::string text;

    void fail(Pegasus::CIMStatusCode failureCode, const std::string& failureText);
};

[[noreturn]] void throwNotValid(const std::string& message);
[[noreturn]] void throwNotWellFormed(const std::string& message);

// pugixml parse options: no DOCTYPE is accepted, so it is kept as a node to be seen and refused.
unsigned xmlParseOptions();

// Parses a document (a request or an embedded object) and checks it for a DOCTYPE and for
// element nesting deeper than maxDepth. Throws CimXmlError.
void parseDocument(pugi::xml_document& document, const char* data, size_t size, size_t maxDepth,
                   size_t maxElements = 100000);

// Number of elements from the document element down to this one (the document element is 1).
size_t elementDepth(pugi::xml_node element);

// UTF-8 to String; text that is no UTF-8 (including character references to surrogates) makes the
// document not well-formed.
Pegasus::String toPegasusString(const std::string& utf8);

// Character data of a text-only element (PCDATA and CDATA joined); a child element is not valid.
std::string textContent(pugi::xml_node element);

// The attribute's value, or throws request-not-valid when the element lacks it.
std::string requiredAttribute(pugi::xml_node element, const char* name);

bool isElement(pugi::xml_node node, const char* name);

// The child elements of an element-only element, read in order. Non-blank text between them is not
// valid; so is a child that no call asked for.
class ElementReader
{
public:
    explicit ElementReader(pugi::xml_node parent);

    // The next child, which must be this element.
    pugi::xml_node required(const char* name);
    // The next child if it is this element; null otherwise (nothing consumed).
    pugi::xml_node optional(const char* name);
    // The next child whatever its name, or null at the end.
    pugi::xml_node next();
    pugi::xml_node peek() const;
    // Skips any run of these elements (content the decoder accepts but has no use for).
    void skip(const char* name);
    // No child may remain.
    void finish();

private:
    pugi::xml_node _parent;
    pugi::xml_node _next; // the first child element not yet taken
};

} // namespace cimhost

#endif
