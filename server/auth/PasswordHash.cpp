#include "PasswordHash.h"

#include "Base64.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <charconv>

namespace cimhost
{

namespace
{

const char SCHEME[] = "pbkdf2-sha256";

std::string derive(const std::string& password, const std::string& salt, unsigned iterations)
{
    std::string hash(PASSWORD_HASH_BYTES, '\0');
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                          static_cast<int>(iterations), EVP_sha256(), static_cast<int>(hash.size()),
                          reinterpret_cast<unsigned char*>(hash.data())) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return hash;
}

// Splits "a$b$c$d" into exactly four fields.
bool splitFields(const std::string& text, std::string_view (&fields)[4])
{
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i)
    {
        const std::size_t end = text.find('$', start);
        if (end == std::string::npos) return false;
        fields[i] = std::string_view(text).substr(start, end - start);
        start = end + 1;
    }
    fields[3] = std::string_view(text).substr(start);
    return fields[3].find('$') == std::string_view::npos;
}

} // namespace

PasswordRecord parsePasswordRecord(const std::string& text)
{
    std::string_view fields[4];
    if (!splitFields(text, fields))
        throw MalformedPasswordRecord("a password record has four fields separated by '$'");
    if (fields[0] != SCHEME)
        throw MalformedPasswordRecord("unknown password scheme (expected " + std::string(SCHEME) + ")");

    PasswordRecord record;
    const auto [end, error] =
        std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), record.iterations);
    if (error != std::errc() || end != fields[1].data() + fields[1].size() || fields[1][0] == '0')
        throw MalformedPasswordRecord("the iteration count is not a number");
    if (record.iterations < MINIMUM_PBKDF2_ITERATIONS || record.iterations > MAXIMUM_PBKDF2_ITERATIONS)
        throw MalformedPasswordRecord("the iteration count must lie between " +
                                      std::to_string(MINIMUM_PBKDF2_ITERATIONS) + " and " +
                                      std::to_string(MAXIMUM_PBKDF2_ITERATIONS));

    auto salt = decodeBase64(fields[2]);
    if (!salt || salt->size() < PASSWORD_SALT_BYTES)
        throw MalformedPasswordRecord("the salt is not base64 of at least " +
                                      std::to_string(PASSWORD_SALT_BYTES) + " bytes");
    auto hash = decodeBase64(fields[3]);
    if (!hash || hash->size() != PASSWORD_HASH_BYTES)
        throw MalformedPasswordRecord("the hash is not base64 of " + std::to_string(PASSWORD_HASH_BYTES) +
                                      " bytes");
    record.salt = std::move(*salt);
    record.hash = std::move(*hash);
    return record;
}

std::string formatPasswordRecord(const PasswordRecord& record)
{
    return std::string(SCHEME) + "$" + std::to_string(record.iterations) + "$" + encodeBase64(record.salt) +
           "$" + encodeBase64(record.hash);
}

std::string hashPassword(const std::string& password, unsigned iterations)
{
    if (iterations < MINIMUM_PBKDF2_ITERATIONS || iterations > MAXIMUM_PBKDF2_ITERATIONS)
        throw std::invalid_argument("PBKDF2 iteration count out of range: " + std::to_string(iterations));
    PasswordRecord record;
    record.iterations = iterations;
    record.salt.resize(PASSWORD_SALT_BYTES);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(record.salt.data()),
                   static_cast<int>(PASSWORD_SALT_BYTES)) != 1)
        throw std::runtime_error("no random bytes for a password salt");
    record.hash = derive(password, record.salt, iterations);
    return formatPasswordRecord(record);
}

bool verifyPassword(const std::string& password, const PasswordRecord& record)
{
    const std::string hash = derive(password, record.salt, record.iterations);
    return hash.size() == record.hash.size() &&
           CRYPTO_memcmp(hash.data(), record.hash.data(), hash.size()) == 0;
}

bool verifyPassword(const std::string& password, const std::string& record)
{
    PasswordRecord parsed;
    try
    {
        parsed = parsePasswordRecord(record);
    }
    catch (const MalformedPasswordRecord&)
    {
        return false;
    }
    return verifyPassword(password, parsed);
}

} // namespace cimhost
