#include "BasicAuthenticator.h"

#include "Base64.h"
#include "UserFile.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <algorithm>
#include <stdexcept>

namespace cimhost
{

namespace
{

std::string randomBytes(std::size_t count)
{
    std::string bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1)
        throw std::runtime_error("no random bytes for the credential cache key");
    return bytes;
}

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < ' ' || byte == 0x7f;
}

bool equalInConstantTime(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

std::optional<BasicCredentials> parseBasicAuthorization(std::string_view headerValue)
{
    const std::size_t first = headerValue.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    headerValue.remove_prefix(first);
    headerValue.remove_suffix(headerValue.size() - 1 - headerValue.find_last_not_of(" \t"));

    constexpr std::string_view SCHEME = "basic";
    if (headerValue.size() <= SCHEME.size() ||
        (headerValue[SCHEME.size()] != ' ' && headerValue[SCHEME.size()] != '\t'))
        return std::nullopt;
    for (std::size_t i = 0; i < SCHEME.size(); ++i)
        if ((headerValue[i] | 0x20) != SCHEME[i]) return std::nullopt;
    std::string_view token = headerValue.substr(SCHEME.size());
    token.remove_prefix(token.find_first_not_of(" \t"));

    const auto decoded = decodeBase64(token);
    if (!decoded) return std::nullopt;
    const std::size_t colon = decoded->find(':');
    if (colon == std::string::npos || std::any_of(decoded->begin(), decoded->end(), isControl))
        return std::nullopt;
    return BasicCredentials{decoded->substr(0, colon), decoded->substr(colon + 1)};
}

BasicAuthenticator::BasicAuthenticator(const UserFile& users) : _macKey(randomBytes(32))
{
    for (const std::string& name : users.userNames())
        _records.emplace(name, parsePasswordRecord(*users.find(name)));
    // The decoy costs what a real record costs; its result is never used.
    _decoy.iterations = _records.empty() ? DEFAULT_PBKDF2_ITERATIONS : _records.begin()->second.iterations;
    _decoy.salt = randomBytes(PASSWORD_SALT_BYTES);
    _decoy.hash.assign(PASSWORD_HASH_BYTES, '\0');
}

std::string BasicAuthenticator::macOf(const std::string& password) const
{
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), _macKey.data(), static_cast<int>(_macKey.size()),
              reinterpret_cast<const unsigned char*>(password.data()), password.size(), mac, &length))
        throw std::runtime_error("HMAC-SHA256 failed");
    return std::string(reinterpret_cast<const char*>(mac), length);
}

bool BasicAuthenticator::verify(const std::string& user, const std::string& password)
{
    const auto record = _records.find(user);
    if (record == _records.end())
    {
        [[maybe_unused]] const bool ignored = verifyPassword(password, _decoy);
        return false;
    }
    const std::string mac = macOf(password);
    {
        std::lock_guard<std::mutex> lock(_verifiedMutex);
        const auto known = _verified.find(user);
        if (known != _verified.end() && equalInConstantTime(known->second, mac)) return true;
    }
    // Outside the lock: other users' logins must not wait for this one's PBKDF2 run.
    if (!verifyPassword(password, record->second)) return false;
    std::lock_guard<std::mutex> lock(_verifiedMutex);
    _verified[user] = mac;
    return true;
}

} // namespace cimhost
