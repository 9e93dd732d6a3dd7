#include "DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace cimhost
{

namespace
{

std::string failure(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

std::optional<std::string> readDurableFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        if (errno == ENOENT) return std::nullopt;
        throw DurableFileError(failure("cannot open", path));
    }
    std::string content;
    char buffer[65536];
    for (;;)
    {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
        {
            const std::string message = failure("cannot read", path);
            ::close(fd);
            throw DurableFileError(message);
        }
        if (n == 0) break;
        content.append(buffer, size_t(n));
    }
    ::close(fd);
    return content;
}

void writeDurableFile(const std::string& path, const std::string& content)
{
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) throw DurableFileError(failure("cannot create a temporary file for", path));
    bool written = ::fchmod(fd, 0600) == 0;
    for (size_t done = 0; written && done < content.size();)
    {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += size_t(n);
    }
    written = written && ::fsync(fd) == 0;
    std::string message = written ? std::string() : failure("cannot write", path);
    if (::close(fd) != 0 && written)
    {
        message = failure("cannot write", path);
        written = false;
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) != 0)
    {
        message = failure("cannot replace", path);
        written = false;
    }
    if (!written)
    {
        ::unlink(temporary.c_str());
        throw DurableFileError(message);
    }
    // The rename reaches the disk with the folder.
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0)
    {
        ::fsync(directory);
        ::close(directory);
    }
}

} // namespace cimhost
