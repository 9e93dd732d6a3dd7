// An instance of a class: class name, path, properties and qualifiers. A shared handle.
#ifndef Pegasus_CIMInstance_h
#define Pegasus_CIMInstance_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/CIMObject.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_COMMON_LINKAGE CIMInstance
{
public:
    CIMInstance();
    CIMInstance(const CIMInstance& x);
    explicit CIMInstance(const CIMObject& x);
    CIMInstance(const CIMName& className);
    CIMInstance& operator=(const CIMInstance& x);
    ~CIMInstance();

    const CIMName& getClassName() const;
    const CIMObjectPath& getPath() const;
    void setPath(const CIMObjectPath& path);
    CIMInstance& addQualifier(const CIMQualifier& qualifier);
    Uint32 findQualifier(const CIMName& name) const;
    CIMQualifier getQualifier(Uint32 index);
    CIMConstQualifier getQualifier(Uint32 index) const;
    void removeQualifier(Uint32 index);
    Uint32 getQualifierCount() const;
    CIMInstance& addProperty(const CIMProperty& x);
    Uint32 findProperty(const CIMName& name) const;
    CIMProperty getProperty(Uint32 index);
    CIMConstProperty getProperty(Uint32 index) const;
    void removeProperty(Uint32 index);
    Uint32 getPropertyCount() const;

    CIMObjectPath buildPath(const CIMConstClass& cimClass) const;
    CIMInstance clone() const;
    Boolean identical(const CIMConstInstance& x) const;
    Boolean isUninitialized() const;
#ifdef PEGASUS_USE_DEPRECATED_INTERFACES
    void filter(Boolean includeQualifiers, Boolean includeClassOrigin, const CIMPropertyList& propertyList);
#endif
    void instanceFilter(Boolean includeQualifiers, Boolean includeClassOrigin,
                        const CIMPropertyList& propertyList);

private:
    CIMObjectRep* _rep;
    friend class CIMObject;
    friend class CIMConstObject;
    friend class CIMConstInstance;
    friend class CIMClass;
    friend class CIMConstClass;
    friend struct CIMHandleAccess;
};

class PEGASUS_COMMON_LINKAGE CIMConstInstance
{
public:
    CIMConstInstance();
    CIMConstInstance(const CIMConstInstance& x);
    CIMConstInstance(const CIMInstance& x);
    explicit CIMConstInstance(const CIMObject& x);
    explicit CIMConstInstance(const CIMConstObject& x);
    CIMConstInstance(const CIMName& className);
    CIMConstInstance& operator=(const CIMConstInstance& x);
    CIMConstInstance& operator=(const CIMInstance& x);
    ~CIMConstInstance();

    const CIMName& getClassName() const;
    const CIMObjectPath& getPath() const;
    Uint32 findQualifier(const CIMName& name) const;
    CIMConstQualifier getQualifier(Uint32 index) const;
    Uint32 getQualifierCount() const;
    Uint32 findProperty(const CIMName& name) const;
    CIMConstProperty getProperty(Uint32 index) const;
    Uint32 getPropertyCount() const;

    CIMObjectPath buildPath(const CIMConstClass& cimClass) const;
    CIMInstance clone() const;
    Boolean identical(const CIMConstInstance& x) const;
    Boolean isUninitialized() const;

private:
    CIMObjectRep* _rep;
    friend class CIMObject;
    friend class CIMConstObject;
    friend class CIMInstance;
    friend class CIMClass;
    friend class CIMConstClass;
    friend struct CIMHandleAccess;
};

PEGASUS_NAMESPACE_END

#endif
