// Internal plumbing between the object-model handles and the representations they share: the
// atomic reference count every representation carries, and friend access to a handle's rep.
#ifndef Pegasus_CIMHandleAccess_h
#define Pegasus_CIMHandleAccess_h

#include <atomic>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

// Base of every shared representation. A copied representation is a new object with its own count.
struct CIMSharedRep
{
    CIMSharedRep() = default;
    CIMSharedRep(const CIMSharedRep&) {}
    CIMSharedRep& operator=(const CIMSharedRep&) = delete;

    std::atomic<Uint32> refs{1};
};

template <class Rep> inline void acquireRep(Rep* rep) noexcept
{
    if (rep) rep->refs.fetch_add(1, std::memory_order_relaxed);
}

template <class Rep> inline void releaseRep(Rep* rep) noexcept
{
    if (rep && rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
}

// The new rep is acquired before the old one is released, so self-assignment cannot free it.
template <class Rep> inline void assignRep(Rep*& target, Rep* source) noexcept
{
    acquireRep(source);
    releaseRep(target);
    target = source;
}

// Every handle member except isUninitialized() needs a representation.
template <class Rep> inline Rep& checkedRep(Rep* rep)
{
    if (!rep) throw UninitializedObjectException();
    return *rep;
}

// Every handle class names this struct a friend, so internal code can reach or wrap a rep.
struct CIMHandleAccess
{
    template <class Handle> static auto rep(const Handle& handle) { return handle._rep; }

    // Wraps a representation in a handle, taking over the reference the caller holds.
    template <class Handle, class Rep> static Handle adopt(Rep* rep)
    {
        Handle handle;
        handle._rep = rep;
        return handle;
    }
};

PEGASUS_NAMESPACE_END

#endif
