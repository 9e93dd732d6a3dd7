#include "UserFile.h"

#include "PasswordHash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace cimhost
{

namespace
{

std::string systemError(const std::string& what, const std::string& path)
{
    return what + " users file " + path + ": " + std::strerror(errno);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : _fd(fd) {}
    ~FileDescriptor()
    {
        if (_fd >= 0) ::close(_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return _fd; }
    // Close errors matter when writing: they can report a failed write-back.
    int close()
    {
        const int result = ::close(_fd);
        _fd = -1;
        return result;
    }

private:
    int _fd;
};

std::string readPrivateFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw UserFileError(systemError("cannot open", path));
    // The mode is checked on the open file, so the file read is the one checked.
    struct stat status;
    if (::fstat(file.get(), &status) != 0) throw UserFileError(systemError("cannot examine", path));
    if (!S_ISREG(status.st_mode)) throw UserFileError("users file " + path + " is not a regular file");
    if ((status.st_mode & 077) != 0)
    {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        throw UserFileError("users file " + path +
                            " must not be readable or writable by group or others (mode " + mode +
                            "); chmod 600 " + path);
    }
    std::string content;
    char buffer[8192];
    for (;;)
    {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) throw UserFileError(systemError("cannot read", path));
        if (count == 0) return content;
        content.append(buffer, static_cast<std::size_t>(count));
    }
}

bool isCommentOrBlank(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

void writeAll(int fd, const std::string& content, const std::string& path)
{
    std::size_t done = 0;
    while (done < content.size())
    {
        const ssize_t count = ::write(fd, content.data() + done, content.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) throw UserFileError(systemError("cannot write", path));
        done += static_cast<std::size_t>(count);
    }
}

} // namespace

bool isValidUserName(const std::string& name)
{
    return !name.empty() && std::none_of(name.begin(), name.end(),
                                         [](char c)
                                         {
                                             const auto byte = static_cast<unsigned char>(c);
                                             return byte <= ' ' || byte == 0x7f || c == ':';
                                         });
}

UserFile UserFile::load(const std::string& path)
{
    const std::string content = readPrivateFile(path);
    UserFile users;
    std::size_t start = 0;
    for (int number = 1; start < content.size(); ++number)
    {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        Line line;
        line.text = content.substr(start, end - start);
        start = end + 1;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (isCommentOrBlank(line.text))
        {
            users._lines.push_back(std::move(line));
            continue;
        }
        // The line is never quoted in a message: a mistaken line may hold a password in clear.
        const std::size_t colon = line.text.find(':');
        line.user = line.text.substr(0, colon);
        if (colon == std::string::npos || !isValidUserName(line.user))
            throw UserFileError(where + "malformed line: expected <user>:<password record>, the user name "
                                        "without whitespace or control characters");
        line.record = line.text.substr(colon + 1);
        try
        {
            parsePasswordRecord(line.record);
        }
        catch (const MalformedPasswordRecord& error)
        {
            throw UserFileError(where + "malformed password record of user " + line.user + ": " +
                                error.what());
        }
        if (users.find(line.user)) throw UserFileError(where + "duplicate user " + line.user);
        users._lines.push_back(std::move(line));
    }
    return users;
}

void UserFile::save(const std::string& path) const
{
    std::string content;
    for (const Line& line : _lines)
        content += (line.user.empty() ? line.text : line.user + ":" + line.record) + "\n";

    // The temporary must be in the same folder for rename() to replace the file atomically.
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) throw UserFileError(systemError("cannot create a temporary file for", path));
    try
    {
        if (::fchmod(file.get(), 0600) != 0) throw UserFileError(systemError("cannot set the mode of", path));
        // Edited by root for a host that runs as another user: the host must still read it.
        struct stat existing;
        if (::geteuid() == 0 && ::stat(path.c_str(), &existing) == 0 &&
            ::fchown(file.get(), existing.st_uid, existing.st_gid) != 0)
            throw UserFileError(systemError("cannot keep the owner of", path));
        writeAll(file.get(), content, path);
        if (::fsync(file.get()) != 0 || file.close() != 0)
            throw UserFileError(systemError("cannot write", path));
        if (::rename(temporary.c_str(), path.c_str()) != 0)
            throw UserFileError(systemError("cannot replace", path));
    }
    catch (...)
    {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself is durable only once the folder is synced; failing that is not worth an error.
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
}

const std::string* UserFile::find(const std::string& user) const
{
    for (const Line& line : _lines)
        if (!user.empty() && line.user == user) return &line.record;
    return nullptr;
}

bool UserFile::set(const std::string& user, const std::string& record)
{
    if (!isValidUserName(user)) throw std::invalid_argument("invalid user name");
    try
    {
        parsePasswordRecord(record);
    }
    catch (const MalformedPasswordRecord& error)
    {
        throw std::invalid_argument(error.what());
    }
    for (Line& line : _lines)
        if (line.user == user)
        {
            line.record = record;
            return false;
        }
    _lines.push_back(Line{user, record, {}});
    return true;
}

bool UserFile::remove(const std::string& user)
{
    const auto found = std::find_if(_lines.begin(), _lines.end(),
                                    [&](const Line& line) { return !user.empty() && line.user == user; });
    if (found == _lines.end()) return false;
    _lines.erase(found);
    return true;
}

std::vector<std::string> UserFile::userNames() const
{
    std::vector<std::string> names;
    for (const Line& line : _lines)
        if (!line.user.empty()) names.push_back(line.user);
    return names;
}

} // namespace cimhost
