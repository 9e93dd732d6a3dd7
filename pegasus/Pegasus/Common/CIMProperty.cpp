#include <memory>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// A declared fixed size must agree with the value. A null array carries no elements to count, so only
// its array flag is checked.
Boolean fitsArraySize(const CIMValue& value, Uint32 arraySize)
{
    if (arraySize == 0) return true;
    return value.isArray() && (value.isNull() || value.getArraySize() == arraySize);
}

} // namespace

struct CIMPropertyRep : CIMSharedRep
{
    CIMPropertyRep(const CIMName& name_, const CIMValue& value_, Uint32 arraySize_,
                   const CIMName& referenceClassName_, const CIMName& classOrigin_, Boolean propagated_)
        : name(requireElementName(name_)), value(value_), arraySize(arraySize_),
          referenceClassName(referenceClassName_), classOrigin(classOrigin_), propagated(propagated_)
    {
        if (!fitsArraySize(value, arraySize)) throw TypeMismatchException();
        if (value.isArray() && value.getType() == CIMTYPE_REFERENCE) throw TypeMismatchException();
        if (!referenceClassName.isNull() && value.getType() != CIMTYPE_REFERENCE)
            throw TypeMismatchException();
    }

    // The type and array flag are fixed at construction, even while the value is null.
    void setValue(const CIMValue& newValue)
    {
        if (!value.typeCompatible(newValue) || !fitsArraySize(newValue, arraySize))
            throw TypeMismatchException();
        value = newValue;
    }

    CIMPropertyRep* clone() const
    {
        std::unique_ptr<CIMPropertyRep> copy(new CIMPropertyRep(*this));
        copy->qualifiers = qualifiers.clone();
        return copy.release();
    }

    Boolean identical(const CIMPropertyRep& x) const
    {
        return this == &x ||
               (name.equal(x.name) && value.equal(x.value) && arraySize == x.arraySize &&
                referenceClassName.equal(x.referenceClassName) && classOrigin.equal(x.classOrigin) &&
                propagated == x.propagated && qualifiers.identical(x.qualifiers));
    }

    CIMName name;
    CIMValue value;
    Uint32 arraySize;
    CIMName referenceClassName;
    CIMName classOrigin;
    Boolean propagated;
    CIMNamedList<CIMQualifier> qualifiers;
};

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
