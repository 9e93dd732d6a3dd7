#include "InstalledPaths.h"

#include <filesystem>

namespace cimhost
{

namespace fs = std::filesystem;

SearchPaths defaultSearchPaths(const std::string& executable, const SearchPaths& installed,
                               const SearchPaths& buildTree)
{
    if (executable.empty()) return buildTree;
    const fs::path prefix = fs::path(executable).parent_path().parent_path();
    std::error_code error;
    if (!fs::is_regular_file(prefix / installed.schemaDirectory / "manifest.txt", error)) return buildTree;
    return {(prefix / installed.schemaDirectory).string(), (prefix / installed.providerDirectory).string()};
}

std::string runningExecutable()
{
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

} // namespace cimhost
