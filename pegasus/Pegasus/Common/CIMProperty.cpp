#include <memory>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>
#include <Pegasus/Common/CIMPropertyRep.h>

PEGASUS_NAMESPACE_BEGIN

// CIMProperty

CIMProperty::CIMProperty() : _rep(nullptr) {}

CIMProperty::CIMProperty(const CIMProperty& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMProperty::CIMProperty(const CIMName& name, const CIMValue& value, Uint32 arraySize,
                         const CIMName& referenceClassName, const CIMName& classOrigin, Boolean propagated)
    : _rep(new CIMPropertyRep(name, value, arraySize, referenceClassName, classOrigin, propagated))
{
}

CIMProperty::CIMProperty(CIMPropertyRep* rep) : _rep(rep) {}

CIMProperty::~CIMProperty()
{
    releaseRep(_rep);
}

CIMProperty& CIMProperty::operator=(const CIMProperty& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMProperty::getName() const
{
    return checkedRep(_rep).name;
}

void CIMProperty::setName(const CIMName& name)
{
    checkedRep(_rep).name = requireElementName(name);
}

const CIMValue& CIMProperty::getValue() const
{
    return checkedRep(_rep).value;
}

CIMType CIMProperty::getType() const
{
    return checkedRep(_rep).value.getType();
}

Boolean CIMProperty::isArray() const
{
    return checkedRep(_rep).value.isArray();
}

void CIMProperty::setValue(const CIMValue& value)
{
    checkedRep(_rep).setValue(value);
}

Uint32 CIMProperty::getArraySize() const
{
    return checkedRep(_rep).arraySize;
}

const CIMName& CIMProperty::getReferenceClassName() const
{
    return checkedRep(_rep).referenceClassName;
}

const CIMName& CIMProperty::getClassOrigin() const
{
    return checkedRep(_rep).classOrigin;
}

void CIMProperty::setClassOrigin(const CIMName& classOrigin)
{
    checkedRep(_rep).classOrigin = classOrigin;
}

Boolean CIMProperty::getPropagated() const
{
    return checkedRep(_rep).propagated;
}

void CIMProperty::setPropagated(Boolean propagated)
{
    checkedRep(_rep).propagated = propagated;
}

CIMProperty& CIMProperty::addQualifier(const CIMQualifier& x)
{
    checkedRep(_rep).qualifiers.add(x);
    return *this;
}

Uint32 CIMProperty::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMProperty::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMProperty::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMProperty::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMProperty::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Boolean CIMProperty::identical(const CIMConstProperty& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMProperty CIMProperty::clone() const
{
    return CIMProperty(checkedRep(_rep).clone());
}

Boolean CIMProperty::isUninitialized() const
{
    return _rep == nullptr;
}

// CIMConstProperty

CIMConstProperty::CIMConstProperty() : _rep(nullptr) {}

CIMConstProperty::CIMConstProperty(const CIMConstProperty& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstProperty::CIMConstProperty(const CIMProperty& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstProperty::CIMConstProperty(const CIMName& name, const CIMValue& value, Uint32 arraySize,
                                   const CIMName& referenceClassName, const CIMName& classOrigin,
                                   Boolean propagated)
    : _rep(new CIMPropertyRep(name, value, arraySize, referenceClassName, classOrigin, propagated))
{
}

CIMConstProperty::~CIMConstProperty()
{
    releaseRep(_rep);
}

CIMConstProperty& CIMConstProperty::operator=(const CIMConstProperty& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstProperty& CIMConstProperty::operator=(const CIMProperty& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMConstProperty::getName() const
{
    return checkedRep(_rep).name;
}

const CIMValue& CIMConstProperty::getValue() const
{
    return checkedRep(_rep).value;
}

CIMType CIMConstProperty::getType() const
{
    return checkedRep(_rep).value.getType();
}

Boolean CIMConstProperty::isArray() const
{
    return checkedRep(_rep).value.isArray();
}

Uint32 CIMConstProperty::getArraySize() const
{
    return checkedRep(_rep).arraySize;
}

const CIMName& CIMConstProperty::getReferenceClassName() const
{
    return checkedRep(_rep).referenceClassName;
}

const CIMName& CIMConstProperty::getClassOrigin() const
{
    return checkedRep(_rep).classOrigin;
}

Boolean CIMConstProperty::getPropagated() const
{
    return checkedRep(_rep).propagated;
}

Uint32 CIMConstProperty::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstProperty::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstProperty::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Boolean CIMConstProperty::identical(const CIMConstProperty& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMProperty CIMConstProperty::clone() const
{
    return CIMProperty(checkedRep(_rep).clone());
}

Boolean CIMConstProperty::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean isSharedProperty(const CIMProperty& property)
{
    const CIMPropertyRep* rep = CIMHandleAccess::rep(property);
    return rep && rep->refs.load(std::memory_order_acquire) > 1;
}

PEGASUS_NAMESPACE_END
