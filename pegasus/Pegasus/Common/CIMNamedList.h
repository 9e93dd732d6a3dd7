// The ordered element lists of the object model (qualifiers, properties, methods, parameters):
// names are unique ignoring case, and the items are handles, so at() hands out aliases.
#ifndef Pegasus_CIMNamedList_h
#define Pegasus_CIMNamedList_h

#include <vector>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

// Named elements cannot exist without a name.
inline const CIMName& requireElementName(const CIMName& name)
{
    if (name.isNull()) throw UninitializedObjectException();
    return name;
}

template <class Handle> class CIMNamedList
{
public:
    Uint32 size() const { return Uint32(_items.size()); }

    Uint32 find(const CIMName& name) const
    {
        for (Uint32 i = 0; i < size(); i++)
        {
            if (_items[i].getName().equal(name)) return i;
        }
        return PEG_NOT_FOUND;
    }

    // An uninitialized item throws from getName() before anything is stored.
    void add(const Handle& item)
    {
        const CIMName& name = item.getName();
        if (find(name) != PEG_NOT_FOUND) throw AlreadyExistsException(name.getString());
        addChecked(item);
    }

    // Adds an item the caller has found named and not yet in the list.
    void addChecked(const Handle& item)
    {
        // Instances are built a property at a time: room for a typical class at once rather than
        // four regrowths on the way.
        if (_items.empty()) _items.reserve(16);
        _items.push_back(item);
    }

    // The items in order, for the object model's code that reads their representations directly.
    const Handle* data() const { return _items.data(); }

    Handle& at(Uint32 index)
    {
        _checkIndex(index);
        return _items[index];
    }

    const Handle& at(Uint32 index) const
    {
        _checkIndex(index);
        return _items[index];
    }

    void remove(Uint32 index)
    {
        _checkIndex(index);
        _items.erase(_items.begin() + index);
    }

    void clear() { _items.clear(); }

    // Deep copy: every item is cloned, so the copy shares nothing with this list.
    CIMNamedList clone() const
    {
        CIMNamedList copy;
        copy._items.reserve(_items.size());
        for (const Handle& item : _items)
            copy._items.push_back(item.clone());
        return copy;
    }

    // Names are unique, so matching by name makes the comparison independent of order.
    Boolean identical(const CIMNamedList& other) const
    {
        if (size() != other.size()) return false;
        for (const Handle& item : _items)
        {
            Uint32 index = other.find(item.getName());
            if (index == PEG_NOT_FOUND || !item.identical(other._items[index])) return false;
        }
        return true;
    }

private:
    void _checkIndex(Uint32 index) const
    {
        if (index >= size()) throw IndexOutOfBoundsException();
    }

    std::vector<Handle> _items;
};

PEGASUS_NAMESPACE_END

#endif
