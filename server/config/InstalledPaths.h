// Where cimhost finds its schema and provider modules when no option names them: beside the
// executable when it runs installed (PREFIX/bin/cimhost reads PREFIX/share/cimhost/schema and
// PREFIX/lib/cimhost), else where the build tree that made it has them.
#ifndef CIMHOST_InstalledPaths_h
#define CIMHOST_InstalledPaths_h

#include <string>

namespace cimhost
{

struct SearchPaths
{
    std::string schemaDirectory;
    std::string providerDirectory;
};

// executable: the running program's path (/proc/self/exe). installed: the two folders relative to
// the installation prefix. An installation counts when its schema holds manifest.txt.
SearchPaths defaultSearchPaths(const std::string& executable, const SearchPaths& installed,
                               const SearchPaths& buildTree);

// The running program's path, or empty when it cannot be read.
std::string runningExecutable();

} // namespace cimhost

#endif
