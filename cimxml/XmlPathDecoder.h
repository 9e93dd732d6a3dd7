// Names, namespaces and object paths from their CIM-XML elements. Structural faults throw
// CimXmlError; a bad name or key value is recorded in the DecodeState and decoding goes on.
#ifndef CIMHOST_XmlPathDecoder_h
#define CIMHOST_XmlPathDecoder_h

#include <string>

#include <pugixml.hpp>

#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>

#include "XmlDecodeSupport.h"

namespace cimhost
{

// A legal CIM name, or a null one after recording INVALID_PARAMETER ("what" names the role).
Pegasus::CIMName decodeCimName(const std::string& text, const char* what, DecodeState& state);

Pegasus::CIMNamespaceName decodeLocalNamespacePath(pugi::xml_node element, DecodeState& state);
Pegasus::CIMName decodeClassName(pugi::xml_node element, DecodeState& state); // CLASSNAME

// INSTANCENAME. A lone KEYVALUE or VALUE.REFERENCE (the single key of a class, unnamed) becomes a
// key binding with a null name, for the dispatcher to name from the class.
Pegasus::CIMObjectPath decodeInstanceName(pugi::xml_node element, DecodeState& state);
Pegasus::CIMObjectPath decodeLocalInstancePath(pugi::xml_node element, DecodeState& state);
Pegasus::CIMObjectPath decodeLocalClassPath(pugi::xml_node element, DecodeState& state);
Pegasus::CIMObjectPath decodeInstancePath(pugi::xml_node element, DecodeState& state);
Pegasus::CIMObjectPath decodeClassPath(pugi::xml_node element, DecodeState& state);

// VALUE.REFERENCE with any of its six path forms; host and namespace as given.
Pegasus::CIMObjectPath decodeValueReference(pugi::xml_node element, DecodeState& state);

} // namespace cimhost

#endif
