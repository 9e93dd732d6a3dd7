// Standard base64 (with padding) over OpenSSL's block codec, strict on input: text that does not
// re-encode to itself is refused, so one value has exactly one accepted spelling.
#ifndef CIMHOST_Base64_h
#define CIMHOST_Base64_h

#include <optional>
#include <string>
#include <string_view>

namespace cimhost
{

std::string encodeBase64(std::string_view bytes);
// nullopt for anything but canonical padded base64 (no whitespace, no line breaks).
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace cimhost

#endif
