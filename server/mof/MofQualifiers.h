// Qualifier declarations of one namespace: the ones the MOF declared, over a built-in set of
// the standard qualifiers (their usual types, defaults and flavors), so that schemas that do not
// declare their qualifiers still get Key, Abstract, Override and the like right.
#ifndef CIMHOST_MofQualifiers_h
#define CIMHOST_MofQualifiers_h

#include <map>
#include <string>

#include <Pegasus/Common/CIMFlavor.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMValue.h>

namespace cimhost
{

struct MofQualifierDecl
{
    Pegasus::CIMName name;
    Pegasus::CIMType type = Pegasus::CIMTYPE_BOOLEAN;
    bool isArray = false;
    Pegasus::CIMValue defaultValue;
    Pegasus::CIMFlavor flavor; // always one of OVERRIDABLE/DISABLEOVERRIDE and of TOSUBCLASS/RESTRICTED
};

// Applies one flavor keyword (EnableOverride, DisableOverride, ToSubclass, Restricted,
// Translatable, ToInstance; case ignored) to a flavor; false for an unknown keyword.
bool applyFlavorKeyword(const std::string& keyword, Pegasus::CIMFlavor& flavor);

class MofQualifierTable
{
public:
    // The declaration in effect for a name: declared in MOF, else standard, else null.
    const MofQualifierDecl* find(const Pegasus::CIMName& name) const;
    // Declares (or redeclares) a qualifier.
    void declare(const MofQualifierDecl& decl);

private:
    std::map<std::string, MofQualifierDecl> _declared;
};

} // namespace cimhost

#endif
