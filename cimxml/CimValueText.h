// Typed CIM values from the character data of VALUE and KEYVALUE elements.
#ifndef CIMHOST_CimValueText_h
#define CIMHOST_CimValueText_h

#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMValue.h>

namespace cimhost
{

// The text is not a value of the type; the message says which text and which type.
class ValueTextError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// "uint32" -> CIMTYPE_UINT32, ..., "reference". False for anything else (the object types have no
// name of their own in CIM-XML: they travel as strings).
bool cimTypeFromName(const std::string& name, Pegasus::CIMType& type);

// Integers in decimal or 0x-hexadecimal with an optional sign, range-checked; reals in decimal or
// exponent form, INF, -INF, NaN; booleans TRUE/FALSE in any case; char16 one UTF-16 unit;
// date-times in the 25-character form; references as object path text. Surrounding whitespace is
// ignored except for strings and char16. Embedded objects are not text: ValueTextError.
Pegasus::CIMValue scalarFromText(Pegasus::CIMType type, const std::string& text);
Pegasus::CIMValue arrayFromTexts(Pegasus::CIMType type, const std::vector<std::string>& texts);

// Normal text of an integer key value (decimal), or ValueTextError.
std::string normalIntegerText(const std::string& text);

// Normal text of a boolean key value ("TRUE"/"FALSE"), or ValueTextError.
std::string normalBooleanText(const std::string& text);

} // namespace cimhost

#endif
