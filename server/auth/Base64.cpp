#include "Base64.h"

#include <openssl/evp.h>

namespace cimhost
{

std::string encodeBase64(std::string_view bytes)
{
    // EVP_EncodeBlock writes a terminating NUL after the text.
    std::string buffer(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int written =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(buffer.data()),
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    buffer.resize(static_cast<std::size_t>(written));
    return buffer;
}

std::optional<std::string> decodeBase64(std::string_view text)
{
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes(text.size() / 4 * 3, '\0');
    // EVP_DecodeBlock skips surrounding whitespace and counts padding as zero bytes; the
    // re-encoding check below rejects the first and the padding count trims the second.
    const int decoded =
        EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') padding = text[text.size() - 2] == '=' ? 2 : 1;
    if (decoded < static_cast<int>(padding)) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(decoded) - padding);
    if (encodeBase64(bytes) != text) return std::nullopt;
    return bytes;
}

} // namespace cimhost
