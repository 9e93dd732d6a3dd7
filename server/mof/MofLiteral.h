// A MOF value as written, before its type is known, and its conversion to a CIMValue of the type
// that the declaration of the property, parameter or qualifier gives it.
#ifndef CIMHOST_MofLiteral_h
#define CIMHOST_MofLiteral_h

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/String.h>

namespace cimhost
{

struct MofLiteral
{
    enum class Kind
    {
        Null,
        Boolean,
        Integer,
        Real,
        String,
        Char16,
        Array
    };

    Kind kind = Kind::Null;
    int line = 0;
    bool boolean = false;
    bool negative = false; // integers as sign and magnitude
    std::uint64_t magnitude = 0;
    double real = 0;
    Pegasus::String text;             // strings, and the one unit of a char16
    std::vector<MofLiteral> elements; // arrays: scalar, non-null elements
};

// A literal that does not fit the declared type; the parser adds file and line.
class MofValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The CIM type named by a MOF data type keyword (case ignored); false when it is none.
bool cimTypeFromMof(const std::string& word, Pegasus::CIMType& type);

// The literal as a value of the type: integers range-checked, datetimes and references parsed,
// null as a typed null. Throws MofValueError.
Pegasus::CIMValue toCIMValue(const MofLiteral& literal, Pegasus::CIMType type, bool isArray);

// The type a literal has on its own, for qualifiers used without a declaration: boolean,
// sint64 (uint64 beyond its range), real64, string, char16; arrays by their first element.
void inferCIMType(const MofLiteral& literal, Pegasus::CIMType& type, bool& isArray);

} // namespace cimhost

#endif
