// The host's schema: classes (and the instances declared in MOF, such as the provider
// registration) per namespace. Built once at start-up, read-only afterwards, so any request
// thread may read it without locking: every class is resolved when it is added, and what the
// getters return is the caller's own copy, free to change.
#ifndef CIMHOST_ClassRepository_h
#define CIMHOST_ClassRepository_h

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>

namespace cimhost
{

class RepositoryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class ClassRepository
{
public:
    ClassRepository();
    ~ClassRepository();
    ClassRepository(const ClassRepository&) = delete;
    ClassRepository& operator=(const ClassRepository&) = delete;

    // Adds a class declaration (local elements only). Its superclass must be in the namespace
    // already; a second class of the same name (ignoring case) is refused. Throws RepositoryError.
    void addClass(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMClass& cimClass);
    // Adds an instance declared in MOF; its class must be known. Throws RepositoryError.
    void addInstance(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMInstance& instance);

    bool hasNamespace(const Pegasus::CIMNamespaceName& nameSpace) const;
    std::vector<Pegasus::CIMNamespaceName> namespaces() const;

    // The class as declared, or an uninitialized handle when the namespace or class is unknown.
    Pegasus::CIMClass declaredClass(const Pegasus::CIMNamespaceName& nameSpace,
                                    const Pegasus::CIMName& name) const;
    // The class with everything inherited merged in, as GetClass answers with LocalOnly false:
    // inherited properties, methods and (propagating) qualifiers carry propagated=true and their
    // class origin; local overrides win. Uninitialized handle when unknown. Resolved when added; a copy.
    Pegasus::CIMClass resolvedClass(const Pegasus::CIMNamespaceName& nameSpace,
                                    const Pegasus::CIMName& name) const;
    // The same resolved class without a copy: a read-only view of the repository's own object,
    // for lookups on hot paths (method parameter types, key names, buildPath). A copy costs tens
    // to hundreds of microseconds for a class with many methods; a view costs a reference count.
    Pegasus::CIMConstClass resolvedClassView(const Pegasus::CIMNamespaceName& nameSpace,
                                             const Pegasus::CIMName& name) const;

    // Direct subclasses (deep=false) or all descendants (deep=true) of a class, in declaration
    // order; with a null name, the top-level classes (or every class when deep).
    std::vector<Pegasus::CIMName> subclassNames(const Pegasus::CIMNamespaceName& nameSpace,
                                                const Pegasus::CIMName& name, bool deep) const;
    // True when cls is ancestor or derives from it (names compared ignoring case).
    bool isA(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMName& cls,
             const Pegasus::CIMName& ancestor) const;

    // Instances declared in MOF whose class is exactly className.
    std::vector<Pegasus::CIMInstance> declaredInstances(const Pegasus::CIMNamespaceName& nameSpace,
                                                        const Pegasus::CIMName& className) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
