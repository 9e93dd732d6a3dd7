// Values and instances from their CIM-XML elements: VALUE, VALUE.ARRAY, VALUE.REFERENCE,
// VALUE.REFARRAY, INSTANCE, VALUE.NAMEDINSTANCE and embedded objects carried as escaped text.
// Structural faults throw CimXmlError; a bad value is recorded in the DecodeState and comes back
// as a null value of the expected type.
#ifndef CIMHOST_XmlValueDecoder_h
#define CIMHOST_XmlValueDecoder_h

#include <string>
#include <vector>

#include <pugixml.hpp>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMValue.h>

#include "XmlDecodeSupport.h"

namespace cimhost
{

// The EmbeddedObject attribute of a PROPERTY, PROPERTY.ARRAY or PARAMVALUE: CIMTYPE_INSTANCE or
// CIMTYPE_OBJECT, false when the element has none.
bool embeddedObjectType(pugi::xml_node element, Pegasus::CIMType& type);

// The texts of a VALUE.ARRAY.
std::vector<std::string> decodeValueArrayTexts(pugi::xml_node element, DecodeState& state);

// A VALUE, VALUE.ARRAY, VALUE.REFERENCE or VALUE.REFARRAY element as a value of the type (the
// object types take their objects from the escaped text). "what" names the value in messages.
Pegasus::CIMValue decodeTypedValue(pugi::xml_node element, Pegasus::CIMType type, const std::string& what,
                                   DecodeState& state);

// INSTANCE, typed from the TYPE attributes of its properties. Qualifiers are skipped.
Pegasus::CIMInstance decodeInstance(pugi::xml_node element, DecodeState& state);

// VALUE.NAMEDINSTANCE: the instance with its path set.
Pegasus::CIMInstance decodeNamedInstance(pugi::xml_node element, DecodeState& state);

} // namespace cimhost

#endif
