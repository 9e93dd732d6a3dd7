// What one MofCompiler keeps across the files it compiles: the repository being filled, the
// qualifier declarations per namespace, and the chain of files being included.
#ifndef CIMHOST_MofSession_h
#define CIMHOST_MofSession_h

#include <map>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMName.h>

#include "ClassRepository.h"
#include "MofQualifiers.h"

namespace cimhost
{

struct MofSession
{
    explicit MofSession(ClassRepository& repository_) : repository(repository_) {}

    MofQualifierTable& qualifiersOf(const Pegasus::CIMNamespaceName& nameSpace);

    ClassRepository& repository;
    std::map<std::string, MofQualifierTable> qualifiers; // by namespace key
    std::vector<std::string> includeChain;               // canonical paths, outermost first
};

// Reads and compiles a file. fromFile and fromLine locate the include pragma (empty for a
// top-level file), so that a missing or recursive include is reported where it is written.
void compileMofFile(MofSession& session, const std::string& path, const Pegasus::CIMNamespaceName& nameSpace,
                    const std::string& fromFile, int fromLine);
void compileMofText(MofSession& session, const std::string& text, const std::string& fileName,
                    const Pegasus::CIMNamespaceName& nameSpace);

} // namespace cimhost

#endif
