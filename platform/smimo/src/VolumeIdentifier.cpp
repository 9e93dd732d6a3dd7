#include "VolumeIdentifier.h"

#include <cstdio>

PEGASUS_NAMESPACE_BEGIN

namespace smimo
{

namespace
{

// NAA 3, "locally assigned": the 60 bits after the type are the array's to choose. The array has
// no IEEE company identifier of its own, which the registered NAA types (5, 6) would need.
const unsigned NAA_LOCALLY_ASSIGNED = 3;

// FNV-1a over the bytes: fixed by its definition, so the same on every build and machine.
Uint32 fnv1a(const std::string& text)
{
    Uint32 hash = 2166136261u;
    for (unsigned char byte : text)
        hash = (hash ^ byte) * 16777619u;
    return hash;
}

} // namespace

// Type (4 bits), then 28 bits that stand for the array (its system name, which its state keeps
// across restarts, folded to 28 bits), then the volume's object ID (32 bits): no two volumes of
// the array share one, and the engine hands out a freed ID again only after 2^24 others.
std::string volumeNaaName(const std::string& systemName, Uint32 volumeID)
{
    const Uint32 hash = fnv1a(systemName);
    const Uint32 arrayBits = (hash ^ (hash >> 28)) & 0x0FFFFFFFu;
    // "%X%07X%08X" of the three, written by hand: it is made for every volume of an enumeration.
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string text(16, '0');
    const auto put = [&](size_t end, Uint32 value, int digits)
    {
        for (int i = 0; i < digits; ++i, value >>= 4)
            text[end - 1 - i] = DIGITS[value & 15];
    };
    put(1, NAA_LOCALLY_ASSIGNED, 1);
    put(8, arrayBits, 7);
    put(16, volumeID, 8);
    return text;
}

} // namespace smimo

PEGASUS_NAMESPACE_END
