#include <memory>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMObjectRep.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// Boolean qualifiers (Key, Association, Abstract) count only when present, scalar and true.
Boolean isTrueBoolean(const CIMValue& value)
{
    if (value.getType() != CIMTYPE_BOOLEAN || value.isArray() || value.isNull()) return false;
    Boolean flag = false;
    value.get(flag);
    return flag;
}

Boolean hasTrueQualifier(const CIMObjectRep& cimClass, const char* name)
{
    Uint32 index = cimClass.qualifiers.find(CIMName(name));
    return index != PEG_NOT_FOUND && isTrueBoolean(cimClass.qualifiers.at(index).getValue());
}

void collectKeyNames(const CIMObjectRep& cimClass, Array<CIMName>& keyNames)
{
    static const CIMName key("Key");
    keyNames.clear();
    for (Uint32 i = 0; i < cimClass.properties.size(); i++)
    {
        const CIMProperty& property = cimClass.properties.at(i);
        Uint32 index = property.findQualifier(key);
        if (index != PEG_NOT_FOUND && isTrueBoolean(property.getQualifier(index).getValue()))
            keyNames.append(property.getName());
    }
}

Boolean hasKeyProperty(const CIMObjectRep& cimClass)
{
    Array<CIMName> keyNames;
    collectKeyNames(cimClass, keyNames);
    return keyNames.size() != 0;
}

// A new instance holding clones of the class's (listed) properties, so it shares nothing with the class.
CIMObjectRep* buildInstanceRep(const CIMObjectRep& cimClass, Boolean includeQualifiers,
                               Boolean includeClassOrigin, const CIMPropertyList& propertyList)
{
    std::unique_ptr<CIMObjectRep> instance(new CIMObjectRep(CIMObjectRep::INSTANCE, cimClass.className));
    if (includeQualifiers) instance->qualifiers = cimClass.qualifiers.clone();
    for (Uint32 i = 0; i < cimClass.properties.size(); i++)
    {
        const CIMProperty& property = cimClass.properties.at(i);
        if (propertyList.useThisProperty(property.getName())) instance->properties.add(property.clone());
    }
    instance->filter(includeQualifiers, includeClassOrigin, CIMPropertyList());
    return instance.release();
}

} // namespace

// CIMClass

CIMClass::CIMClass() : _rep(nullptr) {}

CIMClass::CIMClass(const CIMClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMClass::CIMClass(const CIMObject& x) : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::CLASS))
{
    acquireRep(_rep);
}

CIMClass::CIMClass(const CIMName& className, const CIMName& superClassName)
    : _rep(new CIMObjectRep(CIMObjectRep::CLASS, className, superClassName))
{
}

CIMClass& CIMClass::operator=(const CIMClass& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMClass::~CIMClass()
{
    releaseRep(_rep);
}

Boolean CIMClass::isAssociation() const
{
    return hasTrueQualifier(checkedRep(_rep), "Association");
}

Boolean CIMClass::isAbstract() const
{
    return hasTrueQualifier(checkedRep(_rep), "Abstract");
}

const CIMName& CIMClass::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMClass::getPath() const
{
    return checkedRep(_rep).path;
}

void CIMClass::setPath(const CIMObjectPath& path)
{
    checkedRep(_rep).setPath(path);
}

CIMClass& CIMClass::addQualifier(const CIMQualifier& qualifier)
{
    checkedRep(_rep).qualifiers.add(qualifier);
    return *this;
}

Uint32 CIMClass::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMClass::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMClass::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMClass::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMClass::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

CIMClass& CIMClass::addProperty(const CIMProperty& x)
{
    checkedRep(_rep).properties.add(x);
    return *this;
}

Uint32 CIMClass::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMProperty CIMClass::getProperty(Uint32 index)
{
    return checkedRep(_rep).properties.at(index);
}

CIMConstProperty CIMClass::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

void CIMClass::removeProperty(Uint32 index)
{
    checkedRep(_rep).properties.remove(index);
}

Uint32 CIMClass::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

const CIMName& CIMClass::getSuperClassName() const
{
    return checkedRep(_rep).superClassName;
}

void CIMClass::setSuperClassName(const CIMName& superClassName)
{
    checkedRep(_rep).superClassName = superClassName;
}

CIMClass& CIMClass::addMethod(const CIMMethod& x)
{
    checkedRep(_rep).methods.add(x);
    return *this;
}

Uint32 CIMClass::findMethod(const CIMName& name) const
{
    return checkedRep(_rep).methods.find(name);
}

CIMMethod CIMClass::getMethod(Uint32 index)
{
    return checkedRep(_rep).methods.at(index);
}

CIMConstMethod CIMClass::getMethod(Uint32 index) const
{
    return checkedRep(_rep).methods.at(index);
}

void CIMClass::removeMethod(Uint32 index)
{
    checkedRep(_rep).methods.remove(index);
}

Uint32 CIMClass::getMethodCount() const
{
    return checkedRep(_rep).methods.size();
}

void CIMClass::getKeyNames(Array<CIMName>& keyNames) const
{
    collectKeyNames(checkedRep(_rep), keyNames);
}

Boolean CIMClass::hasKeys() const
{
    return hasKeyProperty(checkedRep(_rep));
}

CIMClass CIMClass::clone() const
{
    return CIMHandleAccess::adopt<CIMClass>(checkedRep(_rep).clone());
}

Boolean CIMClass::identical(const CIMConstClass& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMClass::isUninitialized() const
{
    return _rep == nullptr;
}

CIMInstance CIMClass::buildInstance(Boolean includeQualifiers, Boolean includeClassOrigin,
                                    const CIMPropertyList& propertyList) const
{
    return CIMHandleAccess::adopt<CIMInstance>(
        buildInstanceRep(checkedRep(_rep), includeQualifiers, includeClassOrigin, propertyList));
}

// CIMConstClass

CIMConstClass::CIMConstClass() : _rep(nullptr) {}

CIMConstClass::CIMConstClass(const CIMConstClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstClass::CIMConstClass(const CIMClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstClass::CIMConstClass(const CIMObject& x) : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::CLASS))
{
    acquireRep(_rep);
}

CIMConstClass::CIMConstClass(const CIMConstObject& x) : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::CLASS))
{
    acquireRep(_rep);
}

CIMConstClass::CIMConstClass(const CIMName& className, const CIMName& superClassName)
    : _rep(new CIMObjectRep(CIMObjectRep::CLASS, className, superClassName))
{
}

CIMConstClass& CIMConstClass::operator=(const CIMConstClass& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstClass& CIMConstClass::operator=(const CIMClass& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstClass::~CIMConstClass()
{
    releaseRep(_rep);
}

Boolean CIMConstClass::isAssociation() const
{
    return hasTrueQualifier(checkedRep(_rep), "Association");
}

Boolean CIMConstClass::isAbstract() const
{
    return hasTrueQualifier(checkedRep(_rep), "Abstract");
}

const CIMName& CIMConstClass::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMConstClass::getPath() const
{
    return checkedRep(_rep).path;
}

Uint32 CIMConstClass::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstClass::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstClass::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Uint32 CIMConstClass::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMConstProperty CIMConstClass::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

Uint32 CIMConstClass::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

const CIMName& CIMConstClass::getSuperClassName() const
{
    return checkedRep(_rep).superClassName;
}

Uint32 CIMConstClass::findMethod(const CIMName& name) const
{
    return checkedRep(_rep).methods.find(name);
}

CIMConstMethod CIMConstClass::getMethod(Uint32 index) const
{
    return checkedRep(_rep).methods.at(index);
}

Uint32 CIMConstClass::getMethodCount() const
{
    return checkedRep(_rep).methods.size();
}

void CIMConstClass::getKeyNames(Array<CIMName>& keyNames) const
{
    collectKeyNames(checkedRep(_rep), keyNames);
}

Boolean CIMConstClass::hasKeys() const
{
    return hasKeyProperty(checkedRep(_rep));
}

CIMClass CIMConstClass::clone() const
{
    return CIMHandleAccess::adopt<CIMClass>(checkedRep(_rep).clone());
}

Boolean CIMConstClass::identical(const CIMConstClass& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMConstClass::isUninitialized() const
{
    return _rep == nullptr;
}

PEGASUS_NAMESPACE_END
