// HTTP Basic authentication against a users file: parsing the Authorization header, and checking
// credentials from several worker threads at once.
#ifndef CIMHOST_BasicAuthenticator_h
#define CIMHOST_BasicAuthenticator_h

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "PasswordHash.h"

namespace cimhost
{

class UserFile;

struct BasicCredentials
{
    std::string user;
    std::string password; // may contain ':'; only the first ':' ends the user
};

// The credentials of an Authorization header value "Basic <base64 of user:password>" (scheme
// name in any case); nullopt for another scheme, bad base64, no ':' or a control character.
std::optional<BasicCredentials> parseBasicAuthorization(std::string_view headerValue);

class BasicAuthenticator
{
public:
    explicit BasicAuthenticator(const UserFile& users);

    // Thread-safe. A PBKDF2 run costs tens of milliseconds, so a password once verified is
    // remembered as a keyed MAC (never the password); anything else costs one full run, an
    // unknown user included, so the time taken does not tell which users exist.
    bool verify(const std::string& user, const std::string& password);

private:
    std::string macOf(const std::string& password) const;

    std::unordered_map<std::string, PasswordRecord> _records; // read-only after construction
    PasswordRecord _decoy; // verified against for unknown users; matches nothing
    std::string _macKey;   // random, for this process only
    std::mutex _verifiedMutex;
    // Bounded by the users of the file: only correct passwords get in.
    std::unordered_map<std::string, std::string> _verified;
};

} // namespace cimhost

#endif
