#include "StateFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
std::string errnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size())
    {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
} // namespace

FileRead readWholeFile(const std::string& path, std::string& text, std::string& problem)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        if (errno == ENOENT) return FileRead::Missing;
        problem = errnoText("cannot open");
        return FileRead::Failed;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        problem = "not a regular file";
        ::close(fd);
        return FileRead::Failed;
    }
    text.clear();
    char buffer[65536];
    for (;;)
    {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
        {
            problem = errnoText("cannot read");
            ::close(fd);
            return FileRead::Failed;
        }
        if (n == 0) break;
        text.append(buffer, size_t(n));
    }
    ::close(fd);
    return FileRead::Read;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& problem)
{
    std::string temporary = path + ".tmp." + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
    {
        problem = errnoText("cannot create the temporary file");
        return false;
    }
    bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (!written) problem = errnoText("cannot write the temporary file");
    if (::close(fd) != 0 && written)
    {
        problem = errnoText("cannot close the temporary file");
        written = false;
    }
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0)
    {
        if (written) problem = errnoText("cannot rename the temporary file");
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    int dir = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0)
    {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
