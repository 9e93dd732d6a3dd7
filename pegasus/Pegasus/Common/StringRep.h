// Representation of String: one block holding the count and the UTF-16 code units with a
// terminating zero, shared copy-on-write. One allocation a string: names and values are made by
// the thousand per request.
#ifndef Pegasus_StringRep_h
#define Pegasus_StringRep_h

#include <atomic>
#include <new>
#include <Pegasus/Common/Char16.h>

PEGASUS_NAMESPACE_BEGIN

struct StringRep
{
    std::atomic<Uint32> refs{1};
    Uint32 size = 0;
    Uint32 capacity = 0; // units that fit before the terminator
    Uint32 owner = 0;    // the thread that made it (String.cpp's threadTag)

    // Empty and terminated, with room for capacity units.
    static StringRep* allocate(Uint32 capacity)
    {
        void* block = ::operator new(sizeof(StringRep) + (size_t(capacity) + 1) * sizeof(Char16));
        StringRep* rep = new (block) StringRep;
        rep->capacity = capacity;
        Char16* units = reinterpret_cast<Char16*>(rep + 1);
        for (Uint32 i = 0; i <= capacity; ++i)
            new (units + i) Char16();
        return rep;
    }

    static void destroy(StringRep* rep)
    {
        rep->~StringRep();
        ::operator delete(rep);
    }

    Char16* units() { return std::launder(reinterpret_cast<Char16*>(this + 1)); }
    const Char16* units() const { return std::launder(reinterpret_cast<const Char16*>(this + 1)); }

    // Sets the count and writes the terminator after it.
    void resize(Uint32 n)
    {
        size = n;
        units()[n] = Char16(0);
    }
};

PEGASUS_NAMESPACE_END

#endif
