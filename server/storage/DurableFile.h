// Files the host keeps across restarts: written whole or not at all, and on the disk once the
// write returns (a temporary in the same folder, synced, renamed over the file, the folder synced).
#ifndef CIMHOST_DurableFile_h
#define CIMHOST_DurableFile_h

#include <optional>
#include <stdexcept>
#include <string>

namespace cimhost
{

class DurableFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The file's content; nothing when it does not exist. Throws DurableFileError naming the file when
// it exists but cannot be read.
std::optional<std::string> readDurableFile(const std::string& path);

// Replaces the file's content (mode 0600 when it is created). Throws DurableFileError naming the
// file, leaving the old content in place, when that fails.
void writeDurableFile(const std::string& path, const std::string& content);

} // namespace cimhost

#endif
