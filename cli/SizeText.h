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

// The array's block: the smallest volume it makes, and the step sizes are rounded up to.
const std::uint64_t ARRAY_BLOCK_BYTES = 512;

// A volume size as an operator gives it: a number with its unit. A bare number, zero, or a size
// below one block is refused, "problem" saying why and what to write instead.
struct VolumeSize
{
    std::uint64_t bytes = 0;
    std::string problem; // empty when the size is good
};
VolumeSize readVolumeSize(const std::string& text);

// The largest binary unit in which the size is at least 1: "4 GiB", "1.5 TiB", "512 B". Two
// decimals at most, trailing zeros dropped.
std::string formatSize(std::uint64_t bytes);

} // namespace scsctl

#endif
