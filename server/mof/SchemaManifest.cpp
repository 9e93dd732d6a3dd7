#include "SchemaManifest.h"

#include <fstream>
#include <sstream>

#include "MofCompiler.h"
#include "MofError.h"

namespace cimhost
{

std::vector<SchemaFile> readSchemaManifest(const std::string& folder)
{
    const std::string manifest = folder + "/manifest.txt";
    std::ifstream in(manifest);
    if (!in) throw MofError(manifest, 0, "cannot open the schema manifest");

    std::vector<SchemaFile> files;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number)
    {
        std::istringstream fields(line);
        std::string nameSpace, file, extra;
        if (!(fields >> nameSpace) || nameSpace[0] == '#') continue;
        if (!(fields >> file) || (fields >> extra))
            throw MofError(manifest, number, "expected \"<namespace> <file>\"");
        if (!Pegasus::CIMNamespaceName::legal(nameSpace.c_str()))
            throw MofError(manifest, number, "\"" + nameSpace + "\" is not a namespace name");
        files.push_back({nameSpace, folder + "/" + file});
    }
    if (files.empty()) throw MofError(manifest, 0, "names no MOF file");
    return files;
}

void loadSchema(ClassRepository& repository, const std::string& folder)
{
    MofCompiler compiler(repository);
    for (const SchemaFile& file : readSchemaManifest(folder))
        compiler.compileFile(file.path, Pegasus::CIMNamespaceName(file.nameSpace.c_str()));
}

} // namespace cimhost
