#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/CIMPropertyRep.h>
#include <Pegasus/Common/CIMValue.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// Key bindings from the instance's values of the class's key properties; host and namespace stay empty.
CIMObjectPath buildInstancePath(const CIMObjectRep& instance, const CIMConstClass& cimClass)
{
    Array<CIMName> keyNames;
    cimClass.getKeyNames(keyNames);

    Array<CIMKeyBinding> keyBindings;
    for (Uint32 i = 0; i < keyNames.size(); i++)
    {
        Uint32 index = instance.properties.find(keyNames[i]);
        if (index == PEG_NOT_FOUND) throw CIMException(CIM_ERR_NO_SUCH_PROPERTY, keyNames[i].getString());
        keyBindings.append(CIMKeyBinding(keyNames[i], instance.properties.at(index).getValue()));
    }
    return CIMObjectPath(String(), CIMNamespaceName(), instance.className, keyBindings);
}

} // namespace

// CIMInstance

CIMInstance::CIMInstance() : _rep(nullptr) {}

CIMInstance::CIMInstance(const CIMInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMInstance::CIMInstance(const CIMObject& x) : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::INSTANCE))
{
    acquireRep(_rep);
}

CIMInstance::CIMInstance(const CIMName& className) : _rep(new CIMObjectRep(CIMObjectRep::INSTANCE, className))
{
}

CIMInstance& CIMInstance::operator=(const CIMInstance& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMInstance::~CIMInstance()
{
    releaseRep(_rep);
}

const CIMName& CIMInstance::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMInstance::getPath() const
{
    return checkedRep(_rep).path;
}

void CIMInstance::setPath(const CIMObjectPath& path)
{
    checkedRep(_rep).setPath(path);
}

CIMInstance& CIMInstance::addQualifier(const CIMQualifier& qualifier)
{
    checkedRep(_rep).qualifiers.add(qualifier);
    return *this;
}

Uint32 CIMInstance::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMInstance::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMInstance::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMInstance::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMInstance::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

// Reads the names from the representations: an instance is built a property at a time, and each
// is compared with every one before it.
CIMInstance& CIMInstance::addProperty(const CIMProperty& x)
{
    CIMNamedList<CIMProperty>& properties = checkedRep(_rep).properties;
    const CIMName& name = checkedRep(CIMHandleAccess::rep(x)).name;
    const CIMProperty* existing = properties.data();
    for (Uint32 i = 0, n = properties.size(); i < n; ++i)
        if (CIMHandleAccess::rep(existing[i])->name.equal(name))
            throw AlreadyExistsException(name.getString());
    properties.addChecked(x);
    return *this;
}

Uint32 CIMInstance::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMProperty CIMInstance::getProperty(Uint32 index)
{
    return checkedRep(_rep).properties.at(index);
}

CIMConstProperty CIMInstance::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

void CIMInstance::removeProperty(Uint32 index)
{
    checkedRep(_rep).properties.remove(index);
}

Uint32 CIMInstance::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

CIMObjectPath CIMInstance::buildPath(const CIMConstClass& cimClass) const
{
    return buildInstancePath(checkedRep(_rep), cimClass);
}

CIMInstance CIMInstance::clone() const
{
    return CIMHandleAccess::adopt<CIMInstance>(checkedRep(_rep).clone());
}

Boolean CIMInstance::identical(const CIMConstInstance& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMInstance::isUninitialized() const
{
    return _rep == nullptr;
}

void CIMInstance::filter(Boolean includeQualifiers, Boolean includeClassOrigin,
                         const CIMPropertyList& propertyList)
{
    instanceFilter(includeQualifiers, includeClassOrigin, propertyList);
}

void CIMInstance::instanceFilter(Boolean includeQualifiers, Boolean includeClassOrigin,
                                 const CIMPropertyList& propertyList)
{
    checkedRep(_rep).filter(includeQualifiers, includeClassOrigin, propertyList);
}

// CIMConstInstance

CIMConstInstance::CIMConstInstance() : _rep(nullptr) {}

CIMConstInstance::CIMConstInstance(const CIMConstInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstInstance::CIMConstInstance(const CIMInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstInstance::CIMConstInstance(const CIMObject& x)
    : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::INSTANCE))
{
    acquireRep(_rep);
}

CIMConstInstance::CIMConstInstance(const CIMConstObject& x)
    : _rep(CIMObjectRep::cast(x._rep, CIMObjectRep::INSTANCE))
{
    acquireRep(_rep);
}

CIMConstInstance::CIMConstInstance(const CIMName& className)
    : _rep(new CIMObjectRep(CIMObjectRep::INSTANCE, className))
{
}

CIMConstInstance& CIMConstInstance::operator=(const CIMConstInstance& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstInstance& CIMConstInstance::operator=(const CIMInstance& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstInstance::~CIMConstInstance()
{
    releaseRep(_rep);
}

const CIMName& CIMConstInstance::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMConstInstance::getPath() const
{
    return checkedRep(_rep).path;
}

Uint32 CIMConstInstance::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstInstance::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstInstance::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Uint32 CIMConstInstance::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMConstProperty CIMConstInstance::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

Uint32 CIMConstInstance::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

CIMObjectPath CIMConstInstance::buildPath(const CIMConstClass& cimClass) const
{
    return buildInstancePath(checkedRep(_rep), cimClass);
}

CIMInstance CIMConstInstance::clone() const
{
    return CIMHandleAccess::adopt<CIMInstance>(checkedRep(_rep).clone());
}

Boolean CIMConstInstance::identical(const CIMConstInstance& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMConstInstance::isUninitialized() const
{
    return _rep == nullptr;
}

PEGASUS_NAMESPACE_END
