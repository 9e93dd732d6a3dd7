#include "SizeText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include <fmt/format.h>

namespace scsctl
{

namespace
{

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The factor of a unit, or 0 for a unit this does not know.
double unitFactor(const std::string& unit)
{
    static const char prefixes[] = "kmgtp";
    if (unit.empty() || unit == "b") return 1;
    const char* prefix = unit.size() <= 3 ? std::strchr(prefixes, unit[0]) : nullptr;
    if (!prefix || *prefix == '\0') return 0;
    const int power = int(prefix - prefixes) + 1;
    const std::string rest = unit.substr(1);
    if (rest.empty() || rest == "ib") return std::pow(1024.0, power);
    if (rest == "b") return std::pow(1000.0, power);
    return 0;
}

} // namespace

std::optional<std::uint64_t> parseSize(const std::string& text)
{
    size_t end = 0;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
    const std::string number = text.substr(0, end);
    if (number.empty() || number.find('.') != number.rfind('.') || number == ".") return std::nullopt;
    std::string unit = lower(text.substr(end));
    if (!unit.empty() && unit[0] == ' ') unit.erase(0, 1);
    const double factor = unitFactor(unit);
    if (factor == 0) return std::nullopt;
    if (factor == 1 && number.find('.') == std::string::npos)
    {
        // Whole bytes are read exactly, beyond what a double holds.
        errno = 0;
        const unsigned long long bytes = std::strtoull(number.c_str(), nullptr, 10);
        if (errno == ERANGE || bytes == 0) return std::nullopt;
        return std::uint64_t(bytes);
    }
    const double bytes = std::round(std::strtod(number.c_str(), nullptr) * factor);
    if (!(bytes >= 1) || bytes >= 18446744073709551616.0) return std::nullopt;
    return std::uint64_t(bytes);
}

VolumeSize readVolumeSize(const std::string& text)
{
    VolumeSize size;
    const std::string number = text.substr(0, text.find_first_not_of("0123456789."));
    const bool zero =
        number.find('0') != std::string::npos && number.find_first_not_of("0.") == std::string::npos;
    if (zero)
        size.problem = "a volume cannot be of size " + text;
    else if (!number.empty() && number == text)
        size.problem = "\"" + text + "\" has no unit: write for example " + text + "GiB, " + text +
                       "MiB or " + text + "TB (" + text + "B if you mean bytes)";
    else if (const auto bytes = parseSize(text))
    {
        if (*bytes < ARRAY_BLOCK_BYTES)
            size.problem = formatSize(*bytes) +
                           " is below the smallest volume the array makes, one block of " +
                           std::to_string(ARRAY_BLOCK_BYTES) + " bytes";
        else
            size.bytes = *bytes;
    }
    else
        size.problem = "not a size: \"" + text + "\" (for example 4GiB, 500MiB or 2TB)";
    return size;
}

std::string formatSize(std::uint64_t bytes)
{
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    int unit = 0;
    double value = double(bytes);
    while (value >= 1024 && unit < 6)
    {
        value /= 1024;
        ++unit;
    }
    std::string number = fmt::format("{:.2f}", value);
    while (number.back() == '0')
        number.pop_back();
    if (number.back() == '.') number.pop_back();
    return number + " " + units[unit];
}

} // namespace scsctl
