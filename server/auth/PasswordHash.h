// Salted password hashing with PBKDF2-HMAC-SHA256, kept as one line of text:
//   pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>
// The iteration count travels in the record, so raising the default later leaves old records valid.
#ifndef CIMHOST_PasswordHash_h
#define CIMHOST_PasswordHash_h

#include <cstddef>
#include <stdexcept>
#include <string>

namespace cimhost
{

constexpr unsigned DEFAULT_PBKDF2_ITERATIONS = 210000;
constexpr unsigned MINIMUM_PBKDF2_ITERATIONS = 100000;
// A record is input too: a huge count would let one login hold a worker for minutes.
constexpr unsigned MAXIMUM_PBKDF2_ITERATIONS = 10000000;
constexpr std::size_t PASSWORD_SALT_BYTES = 16;
constexpr std::size_t PASSWORD_HASH_BYTES = 32; // the SHA-256 size: longer would only cost more

class MalformedPasswordRecord : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct PasswordRecord
{
    unsigned iterations = 0;
    std::string salt; // raw bytes, at least PASSWORD_SALT_BYTES
    std::string hash; // raw bytes, PASSWORD_HASH_BYTES
};

// Throws MalformedPasswordRecord saying which field is wrong.
PasswordRecord parsePasswordRecord(const std::string& text);
std::string formatPasswordRecord(const PasswordRecord& record);

// A new record with a random salt; the iterations must lie within the bounds above.
std::string hashPassword(const std::string& password, unsigned iterations = DEFAULT_PBKDF2_ITERATIONS);

// Recomputes the hash and compares in constant time. A malformed record matches no password.
bool verifyPassword(const std::string& password, const PasswordRecord& record);
bool verifyPassword(const std::string& password, const std::string& record);

} // namespace cimhost

#endif
