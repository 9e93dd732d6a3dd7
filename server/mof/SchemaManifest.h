// A schema folder's manifest (manifest.txt): which MOF file goes into which namespace, in load
// order. Lines are "<namespace> <file>" with the file relative to the folder; blank lines and
// lines starting with '#' are skipped. The same mapping is what `cimmof -n<namespace> <file>`
// lines give a real CIM server, so both load the very same files.
#ifndef CIMHOST_SchemaManifest_h
#define CIMHOST_SchemaManifest_h

#include <string>
#include <vector>

#include "ClassRepository.h"

namespace cimhost
{

struct SchemaFile
{
    std::string nameSpace;
    std::string path; // folder + '/' + the file the manifest names
};

// Reads <folder>/manifest.txt. Throws MofError naming the manifest and line when it cannot be
// read, a line does not have exactly two fields or an illegal namespace name, or it names no
// file at all.
std::vector<SchemaFile> readSchemaManifest(const std::string& folder);

// Compiles every file of the manifest into its namespace with one compiler (qualifier
// declarations carry from file to file within a namespace). Throws MofError.
void loadSchema(ClassRepository& repository, const std::string& folder);

} // namespace cimhost

#endif
