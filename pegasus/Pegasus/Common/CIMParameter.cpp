#include <memory>
#include <Pegasus/Common/CIMParameter.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMParameterRep : CIMSharedRep
{
    CIMParameterRep(const CIMName& name_, CIMType type_, Boolean isArray_, Uint32 arraySize_,
                    const CIMName& referenceClassName_)
        : name(requireElementName(name_)), type(type_), isArray(isArray_), arraySize(arraySize_),
          referenceClassName(referenceClassName_)
    {
        if (arraySize != 0 && !isArray) throw TypeMismatchException();
        if (!referenceClassName.isNull() && type != CIMTYPE_REFERENCE) throw TypeMismatchException();
    }

    CIMParameterRep* clone() const
    {
        std::unique_ptr<CIMParameterRep> copy(new CIMParameterRep(*this));
        copy->qualifiers = qualifiers.clone();
        return copy.release();
    }

    Boolean identical(const CIMParameterRep& x) const
    {
        return this == &x ||
               (name.equal(x.name) && type == x.type && isArray == x.isArray && arraySize == x.arraySize &&
                referenceClassName.equal(x.referenceClassName) && qualifiers.identical(x.qualifiers));
    }

    CIMName name;
    CIMType type;
    Boolean isArray;
    Uint32 arraySize;
    CIMName referenceClassName;
    CIMNamedList<CIMQualifier> qualifiers;
};

// CIMParameter

CIMParameter::CIMParameter() : _rep(nullptr) {}

CIMParameter::CIMParameter(const CIMParameter& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMParameter::CIMParameter(const CIMName& name, CIMType type, Boolean isArray, Uint32 arraySize,
                           const CIMName& referenceClassName)
    : _rep(new CIMParameterRep(name, type, isArray, arraySize, referenceClassName))
{
}

CIMParameter::CIMParameter(CIMParameterRep* rep) : _rep(rep) {}

CIMParameter::~CIMParameter()
{
    releaseRep(_rep);
}

CIMParameter& CIMParameter::operator=(const CIMParameter& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMParameter::getName() const
{
    return checkedRep(_rep).name;
}

void CIMParameter::setName(const CIMName& name)
{
    checkedRep(_rep).name = requireElementName(name);
}

Boolean CIMParameter::isArray() const
{
    return checkedRep(_rep).isArray;
}

Uint32 CIMParameter::getArraySize() const
{
    return checkedRep(_rep).arraySize;
}

const CIMName& CIMParameter::getReferenceClassName() const
{
    return checkedRep(_rep).referenceClassName;
}

CIMType CIMParameter::getType() const
{
    return checkedRep(_rep).type;
}

CIMParameter& CIMParameter::addQualifier(const CIMQualifier& x)
{
    checkedRep(_rep).qualifiers.add(x);
    return *this;
}

Uint32 CIMParameter::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMParameter::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMParameter::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMParameter::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMParameter::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Boolean CIMParameter::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMParameter::identical(const CIMConstParameter& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMParameter CIMParameter::clone() const
{
    return CIMParameter(checkedRep(_rep).clone());
}

// CIMConstParameter

CIMConstParameter::CIMConstParameter() : _rep(nullptr) {}

CIMConstParameter::CIMConstParameter(const CIMConstParameter& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstParameter::CIMConstParameter(const CIMParameter& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstParameter::CIMConstParameter(const CIMName& name, CIMType type, Boolean isArray, Uint32 arraySize,
                                     const CIMName& referenceClassName)
    : _rep(new CIMParameterRep(name, type, isArray, arraySize, referenceClassName))
{
}

CIMConstParameter::~CIMConstParameter()
{
    releaseRep(_rep);
}

CIMConstParameter& CIMConstParameter::operator=(const CIMConstParameter& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstParameter& CIMConstParameter::operator=(const CIMParameter& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMConstParameter::getName() const
{
    return checkedRep(_rep).name;
}

Boolean CIMConstParameter::isArray() const
{
    return checkedRep(_rep).isArray;
}

Uint32 CIMConstParameter::getArraySize() const
{
    return checkedRep(_rep).arraySize;
}

const CIMName& CIMConstParameter::getReferenceClassName() const
{
    return checkedRep(_rep).referenceClassName;
}

CIMType CIMConstParameter::getType() const
{
    return checkedRep(_rep).type;
}

Uint32 CIMConstParameter::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstParameter::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstParameter::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Boolean CIMConstParameter::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMConstParameter::identical(const CIMConstParameter& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMParameter CIMConstParameter::clone() const
{
    return CIMParameter(checkedRep(_rep).clone());
}

PEGASUS_NAMESPACE_END
