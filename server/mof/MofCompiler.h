// Compiles MOF (DMTF DSP0221 subset) into a ClassRepository: class declarations with qualifiers,
// properties, arrays, references and methods with their parameters; instance declarations;
// qualifier declarations (kept per namespace for the types and default flavors of later uses);
// "#pragma include" (relative to the including file) and "#pragma namespace".
//
// Qualifiers: a declared qualifier is typed and flavored by its declaration. The standard
// qualifiers are known without a declaration (their usual types and flavors, e.g. Key is a
// DisableOverride ToSubclass boolean, Abstract is Restricted). Any other undeclared qualifier is
// accepted with the type of its value (boolean true when it has none, sint64 for integers) and
// the EnableOverride ToSubclass flavor. Scopes are recorded but not enforced.
//
// "#pragma namespace" lasts until it is changed again or its file ends; an included file starts
// in the namespace of the including one.
#ifndef CIMHOST_MofCompiler_h
#define CIMHOST_MofCompiler_h

#include <memory>
#include <string>

#include <Pegasus/Common/CIMName.h>

#include "ClassRepository.h"
#include "MofError.h"

namespace cimhost
{

struct MofSession;

class MofCompiler
{
public:
    explicit MofCompiler(ClassRepository& repository);
    ~MofCompiler();
    MofCompiler(const MofCompiler&) = delete;
    MofCompiler& operator=(const MofCompiler&) = delete;

    // Compiles the file (and the files it includes) into the given namespace until a
    // "#pragma namespace" changes it. Throws MofError. Qualifier declarations stay known to
    // later calls on the same compiler.
    void compileFile(const std::string& path, const Pegasus::CIMNamespaceName& nameSpace);
    // The same for text in memory; fileName is used in messages and to resolve includes.
    void compileText(const std::string& text, const std::string& fileName,
                     const Pegasus::CIMNamespaceName& nameSpace);

private:
    std::unique_ptr<MofSession> _session;
};

} // namespace cimhost

#endif
