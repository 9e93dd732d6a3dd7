// The users file of HTTP Basic authentication: one "name:record" line per user (record as in
// PasswordHash.h); blank lines and lines starting with '#' are kept as they are. The file holds
// password hashes, so it must be private to its owner: load refuses a file that group or others
// may access, and save always leaves mode 0600.
#ifndef CIMHOST_UserFile_h
#define CIMHOST_UserFile_h

#include <stdexcept>
#include <string>
#include <vector>

namespace cimhost
{

// what() names the file, and the line where there is one: "<file>:<line>: <what is wrong>".
class UserFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Non-empty, without ':', whitespace or control characters.
bool isValidUserName(const std::string& name);

class UserFile
{
public:
    // Throws UserFileError for a file that cannot be read, is open to group or others, has a
    // malformed line or names a user twice.
    static UserFile load(const std::string& path);
    // Replaces the file atomically (a 0600 temporary in the same folder, synced, then renamed).
    void save(const std::string& path) const;

    // The record of the user, or nullptr.
    const std::string* find(const std::string& user) const;
    // Adds the user or replaces its record; true when the user is new. Throws
    // std::invalid_argument for an invalid name or a malformed record.
    bool set(const std::string& user, const std::string& record);
    // False when there is no such user.
    bool remove(const std::string& user);
    // In file order.
    std::vector<std::string> userNames() const;

private:
    struct Line
    {
        std::string user; // empty for a comment or blank line, kept verbatim in text
        std::string record;
        std::string text;
    };
    std::vector<Line> _lines;
};

} // namespace cimhost

#endif
