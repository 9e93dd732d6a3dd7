#include "MofCompiler.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "MofLexer.h"
#include "MofParser.h"
#include "MofSession.h"
#include "NameKey.h"

namespace cimhost
{

namespace
{

// Deep enough for any real schema, small enough to stop include cycles through symlinks or
// spellings that canonicalisation misses.
const std::size_t kMaxIncludeDepth = 32;

std::string canonicalPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

// Keeps the chain of files being compiled while one is.
class IncludeScope
{
public:
    IncludeScope(std::vector<std::string>& chain, std::string path) : _chain(chain)
    {
        _chain.push_back(std::move(path));
    }
    ~IncludeScope() { _chain.pop_back(); }
    IncludeScope(const IncludeScope&) = delete;
    IncludeScope& operator=(const IncludeScope&) = delete;

private:
    std::vector<std::string>& _chain;
};

} // namespace

MofError::MofError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message), _file(file), _line(line),
      _message(message)
{
}

MofQualifierTable& MofSession::qualifiersOf(const Pegasus::CIMNamespaceName& nameSpace)
{
    return qualifiers[nameKey(nameSpace.getString())];
}

void compileMofFile(MofSession& session, const std::string& path, const Pegasus::CIMNamespaceName& nameSpace,
                    const std::string& fromFile, int fromLine)
{
    const std::string& reportFile = fromFile.empty() ? path : fromFile;
    const int reportLine = fromFile.empty() ? 0 : fromLine;
    const std::string canonical = canonicalPath(path);
    const auto& chain = session.includeChain;
    if (std::find(chain.begin(), chain.end(), canonical) != chain.end())
        throw MofError(reportFile, reportLine, "recursive include of '" + path + "'");
    if (chain.size() >= kMaxIncludeDepth)
        throw MofError(reportFile, reportLine, "includes nested too deeply");

    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error))
        throw MofError(reportFile, reportLine, "cannot open MOF file '" + path + "'");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw MofError(reportFile, reportLine, "cannot read MOF file '" + path + "'");
    compileMofText(session, text.str(), path, nameSpace);
}

void compileMofText(MofSession& session, const std::string& text, const std::string& fileName,
                    const Pegasus::CIMNamespaceName& nameSpace)
{
    IncludeScope scope(session.includeChain, canonicalPath(fileName));
    MofLexer lexer(text, fileName);
    MofParser parser(session, lexer, nameSpace);
    parser.parse();
}

MofCompiler::MofCompiler(ClassRepository& repository) : _session(std::make_unique<MofSession>(repository)) {}

MofCompiler::~MofCompiler() = default;

void MofCompiler::compileFile(const std::string& path, const Pegasus::CIMNamespaceName& nameSpace)
{
    compileMofFile(*_session, path, nameSpace, std::string(), 0);
}

void MofCompiler::compileText(const std::string& text, const std::string& fileName,
                              const Pegasus::CIMNamespaceName& nameSpace)
{
    compileMofText(*_session, text, fileName, nameSpace);
}

} // namespace cimhost
