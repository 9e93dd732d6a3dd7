#include <memory>
#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMMethodRep : CIMSharedRep
{
    CIMMethodRep(const CIMName& name_, CIMType type_, const CIMName& classOrigin_, Boolean propagated_)
        : name(requireElementName(name_)), type(type_), classOrigin(classOrigin_), propagated(propagated_)
    {
    }

    CIMMethodRep* clone() const
    {
        std::unique_ptr<CIMMethodRep> copy(new CIMMethodRep(*this));
        copy->qualifiers = qualifiers.clone();
        copy->parameters = parameters.clone();
        return copy.release();
    }

    Boolean identical(const CIMMethodRep& x) const
    {
        return this == &x || (name.equal(x.name) && type == x.type && classOrigin.equal(x.classOrigin) &&
                              propagated == x.propagated && qualifiers.identical(x.qualifiers) &&
                              parameters.identical(x.parameters));
    }

    CIMName name;
    CIMType type;
    CIMName classOrigin;
    Boolean propagated;
    CIMNamedList<CIMQualifier> qualifiers;
    CIMNamedList<CIMParameter> parameters;
};

// CIMMethod

CIMMethod::CIMMethod() : _rep(nullptr) {}

CIMMethod::CIMMethod(const CIMMethod& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMMethod::CIMMethod(const CIMName& name, CIMType type, const CIMName& classOrigin, Boolean propagated)
    : _rep(new CIMMethodRep(name, type, classOrigin, propagated))
{
}

CIMMethod::CIMMethod(CIMMethodRep* rep) : _rep(rep) {}

CIMMethod::~CIMMethod()
{
    releaseRep(_rep);
}

CIMMethod& CIMMethod::operator=(const CIMMethod& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMMethod::getName() const
{
    return checkedRep(_rep).name;
}

void CIMMethod::setName(const CIMName& name)
{
    checkedRep(_rep).name = requireElementName(name);
}

CIMType CIMMethod::getType() const
{
    return checkedRep(_rep).type;
}

void CIMMethod::setType(CIMType type)
{
    checkedRep(_rep).type = type;
}

const CIMName& CIMMethod::getClassOrigin() const
{
    return checkedRep(_rep).classOrigin;
}

void CIMMethod::setClassOrigin(const CIMName& classOrigin)
{
    checkedRep(_rep).classOrigin = classOrigin;
}

Boolean CIMMethod::getPropagated() const
{
    return checkedRep(_rep).propagated;
}

void CIMMethod::setPropagated(Boolean propagated)
{
    checkedRep(_rep).propagated = propagated;
}

CIMMethod& CIMMethod::addQualifier(const CIMQualifier& x)
{
    checkedRep(_rep).qualifiers.add(x);
    return *this;
}

Uint32 CIMMethod::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMMethod::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMMethod::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMMethod::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMMethod::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

CIMMethod& CIMMethod::addParameter(const CIMParameter& x)
{
    checkedRep(_rep).parameters.add(x);
    return *this;
}

Uint32 CIMMethod::findParameter(const CIMName& name) const
{
    return checkedRep(_rep).parameters.find(name);
}

CIMParameter CIMMethod::getParameter(Uint32 index)
{
    return checkedRep(_rep).parameters.at(index);
}

CIMConstParameter CIMMethod::getParameter(Uint32 index) const
{
    return checkedRep(_rep).parameters.at(index);
}

void CIMMethod::removeParameter(Uint32 index)
{
    checkedRep(_rep).parameters.remove(index);
}

Uint32 CIMMethod::getParameterCount() const
{
    return checkedRep(_rep).parameters.size();
}

Boolean CIMMethod::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMMethod::identical(const CIMConstMethod& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMMethod CIMMethod::clone() const
{
    return CIMMethod(checkedRep(_rep).clone());
}

// CIMConstMethod

CIMConstMethod::CIMConstMethod() : _rep(nullptr) {}

CIMConstMethod::CIMConstMethod(const CIMConstMethod& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstMethod::CIMConstMethod(const CIMMethod& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstMethod::CIMConstMethod(const CIMName& name, CIMType type, const CIMName& classOrigin,
                               Boolean propagated)
    : _rep(new CIMMethodRep(name, type, classOrigin, propagated))
{
}

CIMConstMethod::~CIMConstMethod()
{
    releaseRep(_rep);
}

CIMConstMethod& CIMConstMethod::operator=(const CIMConstMethod& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstMethod& CIMConstMethod::operator=(const CIMMethod& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMConstMethod::getName() const
{
    return checkedRep(_rep).name;
}

CIMType CIMConstMethod::getType() const
{
    return checkedRep(_rep).type;
}

const CIMName& CIMConstMethod::getClassOrigin() const
{
    return checkedRep(_rep).classOrigin;
}

Boolean CIMConstMethod::getPropagated() const
{
    return checkedRep(_rep).propagated;
}

Uint32 CIMConstMethod::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstMethod::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstMethod::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Uint32 CIMConstMethod::findParameter(const CIMName& name) const
{
    return checkedRep(_rep).parameters.find(name);
}

CIMConstParameter CIMConstMethod::getParameter(Uint32 index) const
{
    return checkedRep(_rep).parameters.at(index);
}

Uint32 CIMConstMethod::getParameterCount() const
{
    return checkedRep(_rep).parameters.size();
}

Boolean CIMConstMethod::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMConstMethod::identical(const CIMConstMethod& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMMethod CIMConstMethod::clone() const
{
    return CIMMethod(checkedRep(_rep).clone());
}

PEGASUS_NAMESPACE_END
