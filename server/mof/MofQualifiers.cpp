#include "MofQualifiers.h"

#include "NameKey.h"

namespace cimhost
{

using Pegasus::CIMFlavor;

namespace
{

enum class Kind
{
    Boolean,
    True, // boolean whose default is true
    String,
    Strings,
    Uint32,
    Sint64
};

MofQualifierDecl standard(const char* name, Kind kind, const CIMFlavor& flavor)
{
    MofQualifierDecl decl;
    decl.name = Pegasus::CIMName(name);
    decl.flavor = flavor;
    switch (kind)
    {
    case Kind::Boolean:
    case Kind::True:
        decl.type = Pegasus::CIMTYPE_BOOLEAN;
        decl.defaultValue = Pegasus::CIMValue(kind == Kind::True);
        break;
    case Kind::String:
        decl.type = Pegasus::CIMTYPE_STRING;
        break;
    case Kind::Strings:
        decl.type = Pegasus::CIMTYPE_STRING;
        decl.isArray = true;
        break;
    case Kind::Uint32:
        decl.type = Pegasus::CIMTYPE_UINT32;
        break;
    case Kind::Sint64:
        decl.type = Pegasus::CIMTYPE_SINT64;
        break;
    }
    if (kind != Kind::Boolean && kind != Kind::True)
        decl.defaultValue = Pegasus::CIMValue(decl.type, decl.isArray);
    return decl;
}

const std::map<std::string, MofQualifierDecl>& standardQualifiers()
{
    static const std::map<std::string, MofQualifierDecl> table = []
    {
        const CIMFlavor kDefault = CIMFlavor::ENABLEOVERRIDE + CIMFlavor::TOSUBCLASS;
        const CIMFlavor kFixed = CIMFlavor::DISABLEOVERRIDE + CIMFlavor::TOSUBCLASS;
        const CIMFlavor kRestricted = CIMFlavor::ENABLEOVERRIDE + CIMFlavor::RESTRICTED;
        const CIMFlavor kTranslatable = kDefault + CIMFlavor::TRANSLATABLE;
        const CIMFlavor kRestrictedTranslatable = kRestricted + CIMFlavor::TRANSLATABLE;
        const MofQualifierDecl decls[] = {
            standard("Abstract", Kind::Boolean, kRestricted),
            standard("Aggregate", Kind::Boolean, kFixed),
            standard("Aggregation", Kind::Boolean, kFixed),
            standard("ArrayType", Kind::String, kFixed),
            standard("Association", Kind::Boolean, kFixed),
            standard("BitMap", Kind::Strings, kDefault),
            standard("BitValues", Kind::Strings, kTranslatable),
            standard("ClassConstraint", Kind::Strings, kDefault),
            standard("Composition", Kind::Boolean, kFixed),
            standard("Correlatable", Kind::Strings, kDefault),
            standard("Counter", Kind::Boolean, kDefault),
            standard("Deprecated", Kind::Strings, kRestricted),
            standard("Description", Kind::String, kTranslatable),
            standard("DisplayDescription", Kind::String, kTranslatable),
            standard("DisplayName", Kind::String, kTranslatable),
            standard("DN", Kind::Boolean, kFixed),
            standard("EmbeddedInstance", Kind::String, kDefault),
            standard("EmbeddedObject", Kind::Boolean, kFixed),
            standard("Exception", Kind::Boolean, kFixed),
            standard("Experimental", Kind::Boolean, kRestricted),
            standard("Gauge", Kind::Boolean, kDefault),
            standard("In", Kind::True, kFixed),
            standard("Indication", Kind::Boolean, kFixed),
            standard("IsPUnit", Kind::Boolean, kDefault),
            standard("Key", Kind::Boolean, kFixed),
            standard("MappingStrings", Kind::Strings, kDefault),
            standard("Max", Kind::Uint32, kDefault),
            standard("MaxLen", Kind::Uint32, kDefault),
            standard("MaxValue", Kind::Sint64, kDefault),
            standard("MethodConstraint", Kind::Strings, kDefault),
            standard("Min", Kind::Uint32, kDefault),
            standard("MinLen", Kind::Uint32, kDefault),
            standard("MinValue", Kind::Sint64, kDefault),
            standard("ModelCorrespondence", Kind::Strings, kDefault),
            standard("NullValue", Kind::String, kFixed),
            standard("OctetString", Kind::Boolean, kFixed),
            standard("Out", Kind::Boolean, kFixed),
            standard("Override", Kind::String, kRestricted),
            standard("Propagated", Kind::String, kFixed),
            standard("PropertyConstraint", Kind::Strings, kDefault),
            standard("PUnit", Kind::String, kDefault),
            standard("Read", Kind::True, kDefault),
            standard("Required", Kind::Boolean, kFixed),
            standard("Revision", Kind::String, kRestrictedTranslatable),
            standard("Static", Kind::Boolean, kFixed),
            standard("Terminal", Kind::Boolean, kDefault),
            standard("UMLPackagePath", Kind::String, kDefault),
            standard("Units", Kind::String, kTranslatable),
            standard("ValueMap", Kind::Strings, kDefault),
            standard("Values", Kind::Strings, kTranslatable),
            standard("Version", Kind::String, kRestrictedTranslatable),
            standard("Weak", Kind::Boolean, kFixed),
            standard("Write", Kind::Boolean, kDefault),
        };
        std::map<std::string, MofQualifierDecl> byName;
        for (const MofQualifierDecl& decl : decls)
            byName.emplace(nameKey(decl.name.getString()), decl);
        return byName;
    }();
    return table;
}

} // namespace

bool applyFlavorKeyword(const std::string& keyword, CIMFlavor& flavor)
{
    const std::string key = nameKey(Pegasus::String(keyword.c_str()));
    if (key == "enableoverride")
    {
        flavor.removeFlavor(CIMFlavor::DISABLEOVERRIDE);
        flavor.addFlavor(CIMFlavor::ENABLEOVERRIDE);
    }
    else if (key == "disableoverride")
    {
        flavor.removeFlavor(CIMFlavor::ENABLEOVERRIDE);
        flavor.addFlavor(CIMFlavor::DISABLEOVERRIDE);
    }
    else if (key == "tosubclass")
    {
        flavor.removeFlavor(CIMFlavor::RESTRICTED);
        flavor.addFlavor(CIMFlavor::TOSUBCLASS);
    }
    else if (key == "restricted")
    {
        flavor.removeFlavor(CIMFlavor::TOSUBCLASS);
        flavor.addFlavor(CIMFlavor::RESTRICTED);
    }
    else if (key == "translatable")
        flavor.addFlavor(CIMFlavor::TRANSLATABLE);
    else if (key == "toinstance")
        flavor.addFlavor(CIMFlavor::TOINSTANCE);
    else
        return false;
    return true;
}

const MofQualifierDecl* MofQualifierTable::find(const Pegasus::CIMName& name) const
{
    const std::string key = nameKey(name.getString());
    auto declared = _declared.find(key);
    if (declared != _declared.end()) return &declared->second;
    const auto& builtIn = standardQualifiers();
    auto standardDecl = builtIn.find(key);
    return standardDecl != builtIn.end() ? &standardDecl->second : nullptr;
}

void MofQualifierTable::declare(const MofQualifierDecl& decl)
{
    _declared[nameKey(decl.name.getString())] = decl;
}

} // namespace cimhost
