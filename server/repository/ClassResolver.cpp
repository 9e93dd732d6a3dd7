#include "ClassResolver.h"

#include <string>
#include <vector>

#include "ClassRepository.h"
#include "NameKey.h"

namespace cimhost
{

using Pegasus::CIMClass;
using Pegasus::CIMName;
using Pegasus::Uint32;

namespace
{

bool flavorPropagates(const Pegasus::CIMFlavor& flavor)
{
    return flavor.hasFlavor(Pegasus::CIMFlavor::TOSUBCLASS) &&
           !flavor.hasFlavor(Pegasus::CIMFlavor::RESTRICTED);
}

std::string quoted(const CIMName& name)
{
    return "'" + utf8(name.getString()) + "'";
}

// Drops what an element's qualifiers do not pass on, and marks the rest as inherited.
template <class Element> void keepInheritedQualifiers(Element& element)
{
    for (Uint32 i = element.getQualifierCount(); i-- > 0;)
    {
        Pegasus::CIMQualifier qualifier = element.getQualifier(i);
        if (!flavorPropagates(qualifier.getFlavor()))
            element.removeQualifier(i);
        else
            qualifier.setPropagated(true);
    }
}

// Merges the inherited element's propagating qualifiers into a local element: inherited order
// first (restated ones in their place), then the local additions.
template <class Target, class Source>
void inheritQualifiers(Target& target, const Source& inherited, const std::string& where)
{
    std::vector<Pegasus::CIMQualifier> merged;
    std::vector<bool> restated(target.getQualifierCount(), false);
    for (Uint32 i = 0; i < inherited.getQualifierCount(); ++i)
    {
        Pegasus::CIMConstQualifier qualifier = inherited.getQualifier(i);
        if (!flavorPropagates(qualifier.getFlavor())) continue;
        const Uint32 local = target.findQualifier(qualifier.getName());
        if (local == PEG_NOT_FOUND)
        {
            Pegasus::CIMQualifier copy = qualifier.clone();
            copy.setPropagated(true);
            merged.push_back(copy);
            continue;
        }
        Pegasus::CIMQualifier restatement = target.getQualifier(local);
        if (qualifier.getFlavor().hasFlavor(Pegasus::CIMFlavor::DISABLEOVERRIDE) &&
            !restatement.getValue().equal(qualifier.getValue()))
            throw RepositoryError("qualifier " + quoted(qualifier.getName()) + " of " + where +
                                  " cannot be overridden with a different value");
        merged.push_back(restatement);
        restated[local] = true;
    }
    for (Uint32 i = 0; i < restated.size(); ++i)
        if (!restated[i]) merged.push_back(target.getQualifier(i));
    while (target.getQualifierCount() != 0)
        target.removeQualifier(0);
    for (const Pegasus::CIMQualifier& qualifier : merged)
        target.addQualifier(qualifier);
}

void resolveProperties(CIMClass& result, const CIMClass& super)
{
    std::vector<Pegasus::CIMProperty> merged;
    std::vector<bool> overriding(result.getPropertyCount(), false);
    for (Uint32 i = 0; i < super.getPropertyCount(); ++i)
    {
        Pegasus::CIMConstProperty inherited = super.getProperty(i);
        const Uint32 local = result.findProperty(inherited.getName());
        if (local == PEG_NOT_FOUND)
        {
            Pegasus::CIMProperty copy = inherited.clone();
            copy.setPropagated(true);
            keepInheritedQualifiers(copy);
            merged.push_back(copy);
            continue;
        }
        Pegasus::CIMProperty own = result.getProperty(local);
        const std::string where =
            "property " + quoted(own.getName()) + " of class " + quoted(result.getClassName());
        if (own.getType() != inherited.getType() || own.isArray() != inherited.isArray())
            throw RepositoryError(where + " changes the type of the inherited property");
        inheritQualifiers(own, inherited, where);
        merged.push_back(own);
        overriding[local] = true;
    }
    for (Uint32 i = 0; i < overriding.size(); ++i)
        if (!overriding[i]) merged.push_back(result.getProperty(i));
    while (result.getPropertyCount() != 0)
        result.removeProperty(0);
    for (const Pegasus::CIMProperty& property : merged)
        result.addProperty(property);
}

void resolveMethods(CIMClass& result, const CIMClass& super)
{
    std::vector<Pegasus::CIMMethod> merged;
    std::vector<bool> overriding(result.getMethodCount(), false);
    for (Uint32 i = 0; i < super.getMethodCount(); ++i)
    {
        Pegasus::CIMConstMethod inherited = super.getMethod(i);
        const Uint32 local = result.findMethod(inherited.getName());
        if (local == PEG_NOT_FOUND)
        {
            Pegasus::CIMMethod copy = inherited.clone();
            copy.setPropagated(true);
            keepInheritedQualifiers(copy);
            for (Uint32 p = 0; p < copy.getParameterCount(); ++p)
            {
                Pegasus::CIMParameter parameter = copy.getParameter(p);
                keepInheritedQualifiers(parameter);
            }
            merged.push_back(copy);
            continue;
        }
        Pegasus::CIMMethod own = result.getMethod(local);
        const std::string where =
            "method " + quoted(own.getName()) + " of class " + quoted(result.getClassName());
        if (own.getType() != inherited.getType())
            throw RepositoryError(where + " changes the return type of the inherited method");
        inheritQualifiers(own, inherited, where);
        for (Uint32 p = 0; p < own.getParameterCount(); ++p)
        {
            Pegasus::CIMParameter parameter = own.getParameter(p);
            const Uint32 match = inherited.findParameter(parameter.getName());
            if (match != PEG_NOT_FOUND)
                inheritQualifiers(parameter, inherited.getParameter(match),
                                  "parameter " + quoted(parameter.getName()) + " of " + where);
        }
        merged.push_back(own);
        overriding[local] = true;
    }
    for (Uint32 i = 0; i < overriding.size(); ++i)
        if (!overriding[i]) merged.push_back(result.getMethod(i));
    while (result.getMethodCount() != 0)
        result.removeMethod(0);
    for (const Pegasus::CIMMethod& method : merged)
        result.addMethod(method);
}

} // namespace

CIMClass resolveClass(const CIMClass& declared, const CIMClass& resolvedSuper)
{
    CIMClass result = declared.clone();
    if (resolvedSuper.isUninitialized()) return result;
    inheritQualifiers(result, resolvedSuper, "class " + quoted(result.getClassName()));
    resolveProperties(result, resolvedSuper);
    resolveMethods(result, resolvedSuper);
    return result;
}

} // namespace cimhost
