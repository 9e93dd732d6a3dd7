// Sizes as people write and read them.
#ifndef SCSCTL_SizeText_h
#define SCSCTL_SizeText_h

#include <cstdint>
#include <optional>
#include <string>

namespace scsctl
{

// "4GiB", "500MiB", "1.5TiB", "4G" (K, M, G, T, P alone are binary), "2TB" (KB ... PB are decimal),
// "1048576" or "1048576B": bytes, rounded to a whole byte. Units in any case. Nothing for text
// that is no size, a size of zero, or one beyond 2^64 - 1.
std::optional<std::uint64_t> parseSize(const std::string& text);

// The largest binary unit in which the size is at least 1: "4 GiB", "1.5 TiB", "512 B". Two
// decimals at most, trailing zeros dropped.
std::string formatSize(std::uint64_t bytes);

} // namespace scsctl

#endif
