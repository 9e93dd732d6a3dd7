// Typing a value that a client sent as text (an untyped method parameter, a SetProperty value):
// the text, or each element of a text array, is converted to the declared CIM type.
#ifndef CIMHOST_ValueFromText_h
#define CIMHOST_ValueFromText_h

#include <stdexcept>

#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMValue.h>

namespace cimhost
{

// what() says why the text does not fit the type.
class ValueConversionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// untyped is a String, an Array<String> or null. A null value becomes a null of the declared type;
// a scalar declared as an array (or the reverse) is refused. Each text is converted as
// scalarFromText (CimValueText.h) converts it. Throws ValueConversionError.
Pegasus::CIMValue valueFromText(const Pegasus::CIMValue& untyped, Pegasus::CIMType type, bool isArray);

} // namespace cimhost

#endif
