// Inheritance: a class with everything its superclass has merged in, as GetClass shows it with
// LocalOnly false. Inherited properties and methods carry propagated=true and keep their class
// origin; a local declaration of the same name overrides the inherited one in its place and
// takes over the inherited qualifiers it does not restate. Only qualifiers whose flavor is
// ToSubclass are inherited (Abstract, Override, Deprecated, Version are not); a DisableOverride
// qualifier may be restated but not changed.
#ifndef CIMHOST_ClassResolver_h
#define CIMHOST_ClassResolver_h

#include <Pegasus/Common/CIMClass.h>

namespace cimhost
{

// declared: the class's own elements with their class origin set; resolvedSuper: the
// superclass already resolved, or an uninitialized handle for a top-level class.
// Throws RepositoryError for an override that changes a type or a DisableOverride qualifier.
Pegasus::CIMClass resolveClass(const Pegasus::CIMClass& declared, const Pegasus::CIMClass& resolvedSuper);

} // namespace cimhost

#endif
