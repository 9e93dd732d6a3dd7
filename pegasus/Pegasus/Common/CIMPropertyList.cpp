#include <algorithm>
#include <utility>
#include <vector>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/CIMHandleAccess.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMPropertyListRep : CIMSharedRep
{
    Boolean isNull = true;
    std::vector<CIMName> names;
    std::vector<Uint32> tags; // one per name, as appended by appendCIMNameTag
};

namespace
{

// Copy-on-write: a shared rep is copied before this list changes it.
CIMPropertyListRep& unshare(CIMPropertyListRep*& rep)
{
    if (rep->refs.load(std::memory_order_acquire) != 1)
    {
        CIMPropertyListRep* copy = new CIMPropertyListRep(*rep);
        releaseRep(rep);
        rep = copy;
    }
    return *rep;
}

// Validated up front so a rejected input leaves the list as it was.
std::vector<CIMName> checkedNames(const Array<CIMName>& propertyNames)
{
    std::vector<CIMName> names;
    names.reserve(propertyNames.size());
    for (Uint32 i = 0; i < propertyNames.size(); i++)
    {
        if (propertyNames[i].isNull()) throw UninitializedObjectException();
        names.push_back(propertyNames[i]);
    }
    return names;
}

void replaceNames(CIMPropertyListRep& rep, std::vector<CIMName> names)
{
    rep.isNull = false;
    rep.names = std::move(names);
    rep.tags.clear();
}

} // namespace

CIMPropertyList::CIMPropertyList() : _rep(new CIMPropertyListRep) {}

CIMPropertyList::CIMPropertyList(const CIMPropertyList& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMPropertyList::CIMPropertyList(const Array<CIMName>& propertyNames) : _rep(new CIMPropertyListRep)
{
    try
    {
        replaceNames(*_rep, checkedNames(propertyNames));
    }
    catch (...)
    {
        releaseRep(_rep);
        throw;
    }
}

CIMPropertyList::~CIMPropertyList()
{
    releaseRep(_rep);
}

void CIMPropertyList::set(const Array<CIMName>& propertyNames)
{
    std::vector<CIMName> names = checkedNames(propertyNames);
    replaceNames(unshare(_rep), std::move(names));
}

CIMPropertyList& CIMPropertyList::operator=(const CIMPropertyList& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

void CIMPropertyList::clear()
{
    CIMPropertyListRep& rep = unshare(_rep);
    rep.isNull = true;
    rep.names.clear();
    rep.tags.clear();
}

Boolean CIMPropertyList::isNull() const
{
    return _rep->isNull;
}

Uint32 CIMPropertyList::size() const
{
    return Uint32(_rep->names.size());
}

const CIMName& CIMPropertyList::operator[](Uint32 index) const
{
    if (index >= _rep->names.size()) throw IndexOutOfBoundsException();
    return _rep->names[index];
}

Array<CIMName> CIMPropertyList::getPropertyNameArray() const
{
    return Array<CIMName>(_rep->names.data(), Uint32(_rep->names.size()));
}

Uint32 CIMPropertyList::getCIMNameTag(Uint32 index) const
{
    if (index >= _rep->tags.size()) throw IndexOutOfBoundsException();
    return _rep->tags[index];
}

// Replaces the list: the names, in order, with later duplicates (ignoring case) dropped.
void CIMPropertyList::append(Array<String>& propertyListArray)
{
    std::vector<CIMName> names;
    names.reserve(propertyListArray.size());
    for (Uint32 i = 0; i < propertyListArray.size(); i++)
    {
        CIMName name(propertyListArray[i]);
        auto sameName = [&name](const CIMName& kept) { return kept.equal(name); };
        if (std::none_of(names.begin(), names.end(), sameName)) names.push_back(name);
    }
    replaceNames(unshare(_rep), std::move(names));
}

void CIMPropertyList::appendCIMNameTag(Uint32 nameTag)
{
    unshare(_rep).tags.push_back(nameTag);
}

Boolean CIMPropertyList::contains(const CIMName& name) const
{
    for (const CIMName& listed : _rep->names)
    {
        if (listed.equal(name)) return true;
    }
    return false;
}

Boolean CIMPropertyList::useThisProperty(const CIMName& name) const
{
    return isNull() || contains(name);
}

String CIMPropertyList::toString() const
{
    if (_rep->isNull) return String("NULL");
    if (_rep->names.empty()) return String("EMPTY");
    String text;
    for (size_t i = 0; i < _rep->names.size(); i++)
    {
        if (i != 0) text.append(String(", "));
        text.append(_rep->names[i].getString());
    }
    return text;
}

PEGASUS_NAMESPACE_END
