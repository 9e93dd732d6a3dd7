#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

inline bool isNameStart(Uint16 c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0x80 && c <= 0xFFEF);
}

inline bool isNamePart(Uint16 c)
{
    return isNameStart(c) || (c >= '0' && c <= '9');
}

bool legalName(const Char16* p, Uint32 n)
{
    if (n == 0 || !isNameStart(p[0])) return false;
    for (Uint32 i = 1; i < n; ++i)
        if (!isNamePart(p[i])) return false;
    return true;
}

// A namespace without its one optional leading '/'.
String stripLeadingSlash(const String& name)
{
    if (name.size() > 0 && name[0] == '/') return name.subString(1);
    return name;
}

} // namespace

// ---- CIMName ------------------------------------------------------------------------------------

CIMName::CIMName() {}

CIMName::CIMName(const String& name) : cimName(name)
{
    if (!legal(name)) throw InvalidNameException(name);
}

CIMName::CIMName(const char* name) : CIMName(String(name)) {}

CIMName& CIMName::operator=(const CIMName& name)
{
    cimName = name.cimName;
    return *this;
}

CIMName& CIMName::operator=(const String& name)
{
    if (!legal(name)) throw InvalidNameException(name);
    cimName = name;
    return *this;
}

void CIMName::clear()
{
    cimName.clear();
}

Boolean CIMName::legal(const String& name)
{
    return legalName(name.getChar16Data(), name.size());
}

Boolean CIMName::equal(const char* name) const
{
    return String::equalNoCase(cimName, String(name));
}

CIMName& CIMName::operator=(const char* name)
{
    return *this = String(name);
}

Boolean operator==(const CIMName& name1, const CIMName& name2)
{
    return name1.equal(name2);
}

Boolean operator!=(const CIMName& name1, const CIMName& name2)
{
    return !name1.equal(name2);
}

// ---- CIMNamespaceName ---------------------------------------------------------------------------

CIMNamespaceName::CIMNamespaceName() {}

CIMNamespaceName::CIMNamespaceName(const String& name)
{
    *this = name;
}

CIMNamespaceName::CIMNamespaceName(const char* name) : CIMNamespaceName(String(name)) {}

CIMNamespaceName& CIMNamespaceName::operator=(const CIMNamespaceName& name)
{
    cimNamespaceName = name.cimNamespaceName;
    return *this;
}

CIMNamespaceName& CIMNamespaceName::operator=(const String& name)
{
    if (!legal(name)) throw InvalidNamespaceNameException(name);
    cimNamespaceName = stripLeadingSlash(name);
    return *this;
}

const String& CIMNamespaceName::getString() const
{
    return cimNamespaceName;
}

Boolean CIMNamespaceName::isNull() const
{
    return cimNamespaceName.size() == 0;
}

void CIMNamespaceName::clear()
{
    cimNamespaceName.clear();
}

Boolean CIMNamespaceName::equal(const CIMNamespaceName& name) const
{
    return String::equalNoCase(cimNamespaceName, name.cimNamespaceName);
}

Boolean CIMNamespaceName::legal(const String& name)
{
    String path = stripLeadingSlash(name);
    const Char16* p = path.getChar16Data();
    Uint32 n = path.size(), start = 0;
    if (n == 0) return false;
    for (Uint32 i = 0; i <= n; ++i)
    {
        if (i == n || p[i] == '/')
        {
            if (!legalName(p + start, i - start)) return false;
            start = i + 1;
        }
    }
    return true;
}

Boolean CIMNamespaceName::equal(const char* name) const
{
    return String::equalNoCase(cimNamespaceName, stripLeadingSlash(String(name)));
}

CIMNamespaceName& CIMNamespaceName::operator=(const char* name)
{
    return *this = String(name);
}

Boolean operator==(const CIMNamespaceName& name1, const CIMNamespaceName& name2)
{
    return name1.equal(name2);
}

Boolean operator!=(const CIMNamespaceName& name1, const CIMNamespaceName& name2)
{
    return !name1.equal(name2);
}

PEGASUS_NAMESPACE_END
