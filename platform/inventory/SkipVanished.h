// Answers list elements first and describe them after; an element that vanishes in between (a
// volume finished deleting, a setting became a volume) is passed over instead of failing the answer.
#ifndef INVENTORY_SkipVanished_h
#define INVENTORY_SkipVanished_h

#include <Pegasus/Provider/ProviderException.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

template <class Deliver> void unlessVanished(Deliver&& deliver)
{
    try
    {
        deliver();
    }
    catch (const CIMObjectNotFoundException&)
    {
    }
}

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
