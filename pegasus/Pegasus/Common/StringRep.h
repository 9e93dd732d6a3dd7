// Representation of String: UTF-16 code units with a terminating zero, shared copy-on-write.
#ifndef Pegasus_StringRep_h
#define Pegasus_StringRep_h

#include <atomic>
#include <vector>
#include <Pegasus/Common/Char16.h>

PEGASUS_NAMESPACE_BEGIN

struct StringRep
{
    StringRep() = default;
    // Empty, not even terminated, with room for capacity units: for a writer that fills it at once.
    explicit StringRep(size_t capacity) : units() { units.reserve(capacity); }

    std::atomic<Uint32> refs{1};
    std::vector<Char16> units{Char16(0)}; // always ends with one zero unit

    Uint32 size() const { return Uint32(units.size() - 1); }
};

PEGASUS_NAMESPACE_END

#endif
