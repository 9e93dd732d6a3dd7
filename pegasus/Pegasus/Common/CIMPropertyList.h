// The property filter of an operation: null (no filtering) or a list of names (possibly empty).
#ifndef Pegasus_CIMPropertyList_h
#define Pegasus_CIMPropertyList_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMName.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMPropertyListRep;

class PEGASUS_COMMON_LINKAGE CIMPropertyList
{
public:
    CIMPropertyList();
    CIMPropertyList(const CIMPropertyList& x);
    CIMPropertyList(const Array<CIMName>& propertyNames);
    ~CIMPropertyList();

    void set(const Array<CIMName>& propertyNames);
    CIMPropertyList& operator=(const CIMPropertyList& x);
    void clear();
    Boolean isNull() const;
    Uint32 size() const;
    const CIMName& operator[](Uint32 index) const;
    Array<CIMName> getPropertyNameArray() const;
    Uint32 getCIMNameTag(Uint32 index) const;
    void append(Array<String>& propertyListArray);
    void appendCIMNameTag(Uint32 nameTag);
    Boolean contains(const CIMName& name) const;
    Boolean useThisProperty(const CIMName& name) const;
    String toString() const;

private:
    CIMPropertyListRep* _rep;
};

PEGASUS_NAMESPACE_END

#endif
