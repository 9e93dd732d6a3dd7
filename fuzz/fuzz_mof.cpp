// libFuzzer target: the MOF lexer and parser, compiling text into a scratch repository. Text
// either compiles or is refused with MofError (RepositoryError where a declaration clashes with
// the repository); anything else is a bug.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include <Pegasus/Common/CIMName.h>

#include "ClassRepository.h"
#include "MofCompiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // "#pragma include" reads any file it names (MOF comes from the administrator), and a name
    // such as /dev/zero never ends: text that could include is left out.
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower.find("include") != std::string::npos) return 0;
    cimhost::ClassRepository repository;
    cimhost::MofCompiler compiler(repository);
    try
    {
        compiler.compileText(text, "/nonexistent/fuzz.mof", Pegasus::CIMNamespaceName("root/fuzz"));
    }
    catch (const cimhost::MofError&)
    {
    }
    catch (const cimhost::RepositoryError&)
    {
    }
    return 0;
}
