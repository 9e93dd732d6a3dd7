// Class, property, method and qualifier names, and namespace names; both compare ignoring case.
#ifndef Pegasus_CIMName_h
#define Pegasus_CIMName_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Array.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_COMMON_LINKAGE CIMName
{
public:
    CIMName();
    CIMName(const String& name);
    CIMName(const char* name);
    CIMName(const CIMName& name) = default;
    CIMName& operator=(const CIMName& name);
    CIMName& operator=(const String& name);

    const String& getString() const;
    Boolean isNull() const;
    void clear();
    Boolean equal(const CIMName& name) const;
    static Boolean legal(const String& name);

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
    Boolean equal(const char* name) const;
    CIMName& operator=(const char* name);
#endif

private:
    String cimName;
};

// Inline: names are read and compared by the thousand per request. Names of another length
// differ without a case-folding comparison.
inline const String& CIMName::getString() const
{
    return cimName;
}

inline Boolean CIMName::isNull() const
{
    return cimName.size() == 0;
}

inline Boolean CIMName::equal(const CIMName& name) const
{
    return cimName.size() == name.cimName.size() && String::equalNoCase(cimName, name.cimName);
}

PEGASUS_COMMON_LINKAGE Boolean operator==(const CIMName& name1, const CIMName& name2);
PEGASUS_COMMON_LINKAGE Boolean operator!=(const CIMName& name1, const CIMName& name2);

class PEGASUS_COMMON_LINKAGE CIMNamespaceName
{
public:
    CIMNamespaceName();
    CIMNamespaceName(const String& name);
    CIMNamespaceName(const char* name);
    CIMNamespaceName(const CIMNamespaceName& name) = default;
    CIMNamespaceName& operator=(const CIMNamespaceName& name);
    CIMNamespaceName& operator=(const String& name);

    const String& getString() const;
    Boolean isNull() const;
    void clear();
    Boolean equal(const CIMNamespaceName& name) const;
    static Boolean legal(const String& name);

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
    Boolean equal(const char* name) const;
    CIMNamespaceName& operator=(const char* name);
#endif

private:
    String cimNamespaceName;
};

PEGASUS_COMMON_LINKAGE Boolean operator==(const CIMNamespaceName& name1, const CIMNamespaceName& name2);
PEGASUS_COMMON_LINKAGE Boolean operator!=(const CIMNamespaceName& name1, const CIMNamespaceName& name2);

PEGASUS_NAMESPACE_END

#endif
